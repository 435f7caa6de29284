// The unit's routines, and the items and owning lists of the tree. TGIFItem::Warning and
// TGIFList::Warning forward to the owning picture and are defined with it (gif_model.cpp).
#include "gif_item.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Unit routines

namespace GIFImage {

void Error(const String& Message) { throw GIFException(Message); }

void ReadCheck(TStream& Stream, void* Buffer, int64_t Size) {
  if (Stream.Read(Buffer, Size) != Size) Error(gifmsg::PrematureEOF);
}

void WriteByte(TStream& Stream, uint8_t Value) { Stream.WriteBuffer(&Value, 1); }

uint8_t ReadByte(TStream& Stream) {
  uint8_t b = 0;
  if (Stream.Read(&b, 1) != 1) b = 0;
  return b;
}

void WriteStrings(TStream& Stream, const TStrings& Lines) {
  for (int i = 0; i < Lines.Count(); ++i) {
    const String line = Lines.Strings(i);
    size_t pos = 0;
    while (pos < line.size()) {
      const size_t n = std::min<size_t>(255, line.size() - pos);
      WriteByte(Stream, static_cast<uint8_t>(n));
      Stream.WriteBuffer(line.data() + pos, static_cast<int64_t>(n));
      pos += n;
    }
  }
  WriteByte(Stream, 0);
}

void ReadStrings(TStream& Stream, TStrings& Lines) {
  Lines.Clear();
  for (;;) {
    uint8_t size = 0;
    if (Stream.Read(&size, 1) != 1 || size == 0) break;
    char buf[255];
    const int64_t got = Stream.Read(buf, size);
    if (got > 0) Lines.Add(String(buf, static_cast<size_t>(got)));
    if (got != size) break;
  }
}

int BitsPerColors(int Count) {
  int n = 0;
  while (n < 8 && (1 << n) < Count) ++n;
  if (Count > 0 && n == 0) n = 1;
  return n;
}

int ScanLineBytes(int Width, int BitsPerPixel, int Alignment) {
  return ((Width * BitsPerPixel + Alignment - 1) & ~(Alignment - 1)) / 8;
}

TLogPalette CreateWebPalette() {
  TLogPalette p;
  p.reserve(216);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) {
        TPaletteEntry e;
        e.peRed = uint8_t(r * 51);
        e.peGreen = uint8_t(g * 51);
        e.peBlue = uint8_t(b * 51);
        p.push_back(e);
      }
  return p;
}

}  // namespace GIFImage

// ---------------------------------------------------------------------------------------------
// Items and lists

void TGIFItem::SaveToFile(const String& FileName) {
  TSaveFileStream s(FileName);
  SaveToStream(s);
  s.Commit();
}

void TGIFItem::LoadFromFile(const String& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(s);
}

TGIFList::~TGIFList() { Clear(); }

int TGIFList::Add(TGIFItem* Item) {
  FItems.push_back(Item);
  return Count() - 1;
}

void TGIFList::Insert(int Index, TGIFItem* Item) {
  Index = std::max(0, std::min(Index, Count()));
  FItems.insert(FItems.begin() + Index, Item);
}

int TGIFList::IndexOf(const TGIFItem* Item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[size_t(i)] == Item) return i;
  return -1;
}

void TGIFList::Delete(int Index) {
  TGIFItem* item = Items(Index);
  FItems.erase(FItems.begin() + Index);
  delete item;
}

void TGIFList::Remove(TGIFItem* Item) {
  // From the back: items are mostly freed last first.
  for (size_t i = FItems.size(); i-- > 0;)
    if (FItems[i] == Item) {
      FItems.erase(FItems.begin() + std::ptrdiff_t(i));
      return;
    }
}

void TGIFList::Clear() {
  // Items take themselves out of their list while they are freed; the list is emptied first, so
  // each of those removals finds an empty list instead of searching all the items left.
  std::vector<TGIFItem*> items;
  items.swap(FItems);
  while (!items.empty()) {
    TGIFItem* item = items.back();
    items.pop_back();
    delete item;
  }
}

void TGIFList::SaveToStream(TStream& Stream) {
  for (TGIFItem* item : FItems) item->SaveToStream(Stream);
}
