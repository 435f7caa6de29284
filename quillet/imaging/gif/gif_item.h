// What every block object of the GIF object model is built on: the unit's texts, versions and block
// bytes, its stream routines, the item that knows its owning picture, and the owning list of items.
//
// The colour table (gif_color_map.h) stands on this alone; the extensions with their registries
// (gif_extension.h) on this and the colour table (a frame's active table); the tree of header,
// frames and trailer (gif_model.h) holds them all. None of them reaches up into the tree.
#pragma once

#include <cstdint>
#include <vector>

#include "gif_dib.h"
#include "gif_exception.h"
#include "lists.h"
#include "streams.h"

class TGIFImageOwner;

// The texts of the object model.
namespace gifmsg {
constexpr const char* InvalidData = "Invalid GIF data";
constexpr const char* ImageHeight = "Image height too small for contained frames";
constexpr const char* ImageWidth = "Image width too small for contained frames";
constexpr const char* ScreenSize = "Image exceeds Logical Screen size";
constexpr const char* NoColorTable = "No global or local color table defined";
constexpr const char* PixelCoord = "Invalid pixel coordinates";
constexpr const char* EmptyColorMap = "Color table is empty";
constexpr const char* EmptyImage = "Image is empty";
constexpr const char* TooManyColors = "Color table overflow";
constexpr const char* BadColorIndexMap = "Invalid color index";
constexpr const char* BadVersion = "Unsupported GIF version";
constexpr const char* BadSignature = "Invalid GIF signature";
constexpr const char* BadScreenColors = "Invalid number of colors specified in Screen Descriptor";
constexpr const char* BadSubImageColors = "Invalid number of colors specified in Image Descriptor";
constexpr const char* UnknownExtension = "Unknown extension type";
constexpr const char* BadExtensionLabel = "Invalid extension introducer";
constexpr const char* BadTrailer = "Invalid Image trailer";
constexpr const char* BadExtensionInstance = "Internal error: Extension Instance does not match Extension Label";
constexpr const char* BadAppExtBlockSize = "Unsupported Application Extension block size";
constexpr const char* BadBlock = "Unknown GIF block type";
constexpr const char* Optimizing = "Optimizing...";
constexpr const char* Loading = "Loading...";
constexpr const char* Saving = "Saving...";
}  // namespace gifmsg

// GIF versions as the objects report them; the written signature texts are "87a" and "89a".
enum TGIFVersion { gvUnknown = 0, gv87a = 1, gv89a = 2 };

enum TGIFProgressStage { gpsStarting, gpsRunning, gpsEnding };

// Block introducers and extension labels.
constexpr uint8_t bsPlainTextExtension = 0x01;
constexpr uint8_t bsGraphicControlExtension = 0xF9;
constexpr uint8_t bsCommentExtension = 0xFE;
constexpr uint8_t bsApplicationExtension = 0xFF;
constexpr uint8_t bsExtensionIntroducer = 0x21;  // "!"
constexpr uint8_t bsImageDescriptor = 0x2C;      // ","
constexpr uint8_t bsTrailer = 0x3B;              // ";"

// The unit's routines.
namespace GIFImage {
// A * B / C through a 64-bit product, rounded to the nearest integer (a half away from zero); -1
// when C is 0 or the result does not fit, as the window system's MulDiv.
int MulDiv(int A, int B, int C);
[[noreturn]] void Error(const String& Message);
// Reads Size bytes; fewer raise "Premature end of data".
void ReadCheck(TStream& Stream, void* Buffer, int64_t Size);
void WriteByte(TStream& Stream, uint8_t Value);
// One byte; at the end of the data the value is 0, which ends every sub-block loop.
uint8_t ReadByte(TStream& Stream);
// Reads one byte; false at the end of the data (the walks that must tell the end from a 0 byte).
inline bool TryReadByte(TStream& Stream, uint8_t& Value) { return Stream.Read(&Value, 1) == 1; }
// Moves the stream back over bytes just read (a peek, or a block left to the next reader).
inline void StepBack(TStream& Stream, int64_t Count = 1) { Stream.Seek(-Count, soFromCurrent); }
// Every line as data sub-blocks of at most 255 bytes, and one 0 byte after the last line.
void WriteStrings(TStream& Stream, const TStrings& Lines);
// Clears Lines, then reads sub-blocks up to a 0 length byte or the end of the data; each sub-block
// becomes one line.
void ReadStrings(TStream& Stream, TStrings& Lines);
// The smallest n with 2^n >= Count; 0 for no colours, 1 for one or two.
int BitsPerColors(int Count);
int ScanLineBytes(int Width, int BitsPerPixel, int Alignment);
// The fixed 216-colour palette: red outermost, then green, then blue, each level index x 51;
// flags 0. The Windows layer makes a palette handle of it.
TLogPalette CreateWebPalette();
}  // namespace GIFImage

// An item of the tree: knows its owning picture.
class TGIFItem : public TPersistent {
public:
  explicit TGIFItem(TGIFImageOwner* Image) : FImage(Image) {}
  const char* ClassName() const override { return "TGIFItem"; }
  TGIFImageOwner* Image() const { return FImage; }

  virtual TGIFVersion GetVersion() const { return gv87a; }
  // Forwards to the owning picture's Warning with this item as sender.
  virtual void Warning(int Severity, const String& Message);
  virtual void SaveToStream(TStream& Stream) = 0;
  virtual void LoadFromStream(TStream& Stream) = 0;
  void SaveToFile(const String& FileName);
  void LoadFromFile(const String& FileName);

protected:
  TGIFImageOwner* FImage;
};

// An owning list of items.
class TGIFList : public TPersistent {
public:
  explicit TGIFList(TGIFImageOwner* Image) : FImage(Image) {}
  ~TGIFList() override;
  const char* ClassName() const override { return "TGIFList"; }
  TGIFImageOwner* Image() const { return FImage; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TGIFItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  int Add(TGIFItem* Item);
  void Insert(int Index, TGIFItem* Item);
  int IndexOf(const TGIFItem* Item) const;
  // Frees the item at Index.
  void Delete(int Index);
  // Takes the item out of the list without freeing it; nothing when it is not in the list.
  void Remove(TGIFItem* Item);
  void Clear();

  virtual void Warning(int Severity, const String& Message);
  virtual void SaveToStream(TStream& Stream);
  virtual void LoadFromStream(TStream& Stream, TObject* Parent) = 0;

protected:
  TGIFImageOwner* FImage;
  std::vector<TGIFItem*> FItems;
};
