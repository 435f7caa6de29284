// The GIF object model: a tree of block objects that mirrors the file.
//
// One header (signature, logical screen descriptor, global colour table), a list of frames (each
// with the extensions in front of it, its image descriptor, an optional local colour table and its
// pixels) and a trailer. Every block object writes itself to a stream and reads itself back:
// loading walks the stream and lets the object that the next introducer byte announces read
// itself; saving lets every object write itself in order.
//
// The owning picture is a TGIFImageOwner. It holds the header, the frame list and the trailer,
// receives the warnings of every object of the tree and the progress notifications, and chooses the
// pixel encoder. Errors are raised as GIFException with the unit's English texts.
#pragma once

#include <cstdint>
#include <vector>

#include "color_lookup.h"
#include "colors.h"
#include "gif_encoder.h"
#include "gif_exception.h"
#include "gif_lzw_decoder.h"
#include "lists.h"
#include "streams.h"

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

class TGIFImageOwner;
class TGIFSubImage;
class TGIFHeader;
class TGIFImageList;
class TGIFTrailer;
class TGIFExtension;
class TGIFGraphicControlExtension;

// A rectangle in pixels; Right and Bottom lie one past the last column and row.
struct TGIFRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TGIFRect& R) const {
    return Left == R.Left && Top == R.Top && Right == R.Right && Bottom == R.Bottom;
  }
  bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
};

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

class TGIFImageList : public TGIFList {
public:
  using TGIFList::TGIFList;
  const char* ClassName() const override { return "TGIFImageList"; }
  TGIFSubImage* SubImages(int Index) const;
  TGIFSubImage* operator[](int Index) const { return SubImages(Index); }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream, TObject* Parent) override;
};

class TGIFExtensionList : public TGIFList {
public:
  using TGIFList::TGIFList;
  const char* ClassName() const override { return "TGIFExtensionList"; }
  TGIFExtension* Extensions(int Index) const;
  TGIFExtension* operator[](int Index) const { return Extensions(Index); }
  void LoadFromStream(TStream& Stream, TObject* Parent) override;
};

// A colour table: entries of three bytes red, green, blue.
class TGIFColorMap : public TPersistent {
public:
  TGIFColorMap() = default;
  ~TGIFColorMap() override = default;
  const char* ClassName() const override { return "TGIFColorMap"; }
  void Assign(TPersistent* Source) override;

  virtual void Warning(int Severity, const String& Message) = 0;
  virtual void BuildHistogram(std::vector<int>& Histogram) = 0;
  virtual void MapImages(const std::vector<int>& Map) = 0;
  virtual bool Optimize();
  virtual void Changed() = 0;

  int Count() const { return FCount; }
  int Capacity() const { return FCapacity; }
  bool Optimized() const { return FOptimized; }
  void SetOptimized(bool Value) { FOptimized = Value; }
  const uint8_t* Data() const { return FColors.data(); }

  void Clear();
  void SetCapacity(int Size);
  int Add(TColor Color);
  int AddUnique(TColor Color);
  void Delete(int Index);
  int IndexOf(TColor Color) const;
  TColor Colors(int Index);
  void SetColors(int Index, TColor Color);
  int BitsPerPixel() const { return GIFImage::BitsPerColors(FCount); }
  int ColorResolution() const { return BitsPerPixel() - 1; }
  // Quads of 4 bytes, blue first.
  void ImportRGB(const uint8_t* Quads, int Count);
  // Up to 256 entries of a logical palette replace the table.
  void ImportPalette(const TLogPalette& Palette);
  // A logical palette of the table's entries, each PC_NOCOLLAPSE; empty for an empty table.
  TLogPalette ExportPalette() const;
  void SaveToStream(TStream& Stream) const;
  void LoadFromStream(TStream& Stream, int Count);

protected:
  // Sorts the table by use; false when nothing was to sort. The map kinds call it from Optimize.
  bool DoOptimize();
  // Frees the entries without Changed (the destructors of the map kinds use it).
  void ClearEntries();

private:
  std::vector<uint8_t> FColors;
  int FCount = 0;
  int FCapacity = 0;
  bool FOptimized = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
  explicit TGIFGlobalColorMap(TGIFHeader* Header) : FHeader(Header) {}
  ~TGIFGlobalColorMap() override;
  const char* ClassName() const override { return "TGIFGlobalColorMap"; }
  TGIFHeader* Header() const { return FHeader; }
  void Warning(int Severity, const String& Message) override;
  void BuildHistogram(std::vector<int>& Histogram) override;
  void MapImages(const std::vector<int>& Map) override;
  bool Optimize() override;
  void Changed() override;

private:
  TGIFHeader* FHeader;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
  explicit TGIFLocalColorMap(TGIFSubImage* SubImage) : FSubImage(SubImage) {}
  ~TGIFLocalColorMap() override;
  const char* ClassName() const override { return "TGIFLocalColorMap"; }
  TGIFSubImage* SubImage() const { return FSubImage; }
  void Warning(int Severity, const String& Message) override;
  void BuildHistogram(std::vector<int>& Histogram) override;
  void MapImages(const std::vector<int>& Map) override;
  bool Optimize() override;
  void Changed() override;

private:
  TGIFSubImage* FSubImage;
};

// Signature, logical screen descriptor and global colour table.
class TGIFHeader : public TGIFItem {
public:
  explicit TGIFHeader(TGIFImageOwner* Image);
  const char* ClassName() const override { return "TGIFHeader"; }
  void Assign(TPersistent* Source) override;
  TGIFVersion GetVersion() const override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  void Clear();

  // The 7 descriptor bytes as they stand in the file.
  const uint8_t* Descriptor() const { return FDescriptor; }
  int Width() const { return FDescriptor[0] | (FDescriptor[1] << 8); }
  int Height() const { return FDescriptor[2] | (FDescriptor[3] << 8); }
  void SetWidth(int Value);
  void SetHeight(int Value);
  uint8_t PackedFields() const { return FDescriptor[4]; }
  uint8_t BackgroundColorIndex() const { return FDescriptor[5]; }
  void SetBackgroundColorIndex(uint8_t Value) { FDescriptor[5] = Value; }
  uint8_t AspectRatio() const { return FDescriptor[6]; }
  void SetAspectRatio(uint8_t Value) { FDescriptor[6] = Value; }
  TGIFGlobalColorMap& ColorMap() { return FColorMap; }
  const TGIFGlobalColorMap& ColorMap() const { return FColorMap; }

private:
  uint8_t FDescriptor[7] = {};
  TGIFGlobalColorMap FColorMap;
};

// One frame.
class TGIFSubImage : public TGIFItem {
public:
  explicit TGIFSubImage(TGIFImageOwner* Image);
  // Takes itself out of the owning picture's frame list.
  ~TGIFSubImage() override;
  const char* ClassName() const override { return "TGIFSubImage"; }
  void Assign(TPersistent* Source) override;
  TGIFVersion GetVersion() const override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  void Clear();

  // The 10 descriptor bytes as they stand in the file.
  const uint8_t* Descriptor() const { return FDescriptor; }
  // Index 1 .. 4: left, top, width, height.
  int GetBounds(int Index) const;
  void SetBounds(int Index, int Value);
  int Left() const { return GetBounds(1); }
  int Top() const { return GetBounds(2); }
  int Width() const { return GetBounds(3); }
  int Height() const { return GetBounds(4); }
  void SetLeft(int Value) { SetBounds(1, Value); }
  void SetTop(int Value) { SetBounds(2, Value); }
  void SetWidth(int Value) { SetBounds(3, Value); }
  void SetHeight(int Value) { SetBounds(4, Value); }
  bool Interlaced() const { return (FDescriptor[9] & 0x40) != 0; }
  void SetInterlaced(bool Value);

  TGIFColorMap& ActiveColorMap();
  TGIFLocalColorMap& ColorMap() { return FColorMap; }
  TGIFExtensionList& Extensions() { return FExtensions; }
  bool Empty() const;
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  // The frame's graphic control extension: the first one created for it, or none.
  TGIFGraphicControlExtension* GraphicControlExtension() const { return FGCE; }

  uint8_t* Data() { return FData.empty() ? nullptr : FData.data(); }
  int64_t DataSize() const { return static_cast<int64_t>(FData.size()); }
  uint8_t* ScanLine(int Row);
  uint8_t Pixels(int X, int Y);
  void SetPixels(int X, int Y, uint8_t Value);
  // The pixel data changed in place: cached derived state is dropped.
  void Changed();

  // The frame's rectangle in the picture, and the part of R that it covers when the whole picture
  // is stretched into R (far edges scaled from Left + Width and Top + Height).
  TGIFRect BoundsRect() const { return {Left(), Top(), Left() + Width(), Top() + Height()}; }
  TGIFRect ScaleRect(const TGIFRect& R) const;
  // Cuts the fully transparent border columns and rows off a transparent frame; a frame that is
  // transparent all over is cleared (width and height 0).
  void Crop();
  // Makes every pixel that shows what Previous shows at the same place transparent, choosing a
  // transparent index (and making the frame transparent) when it has none.
  void MergeWithPrevious(TGIFSubImage* Previous);

private:
  friend class TGIFGraphicControlExtension;
  void NeedData();
  void SetDescriptorWord(int Offset, int Value);

  uint8_t FDescriptor[10] = {bsImageDescriptor, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> FData;
  TGIFLocalColorMap FColorMap;
  TGIFExtensionList FExtensions;
  bool FTransparent = false;
  TGIFGraphicControlExtension* FGCE = nullptr;
};

class TGIFTrailer : public TGIFItem {
public:
  using TGIFItem::TGIFItem;
  const char* ClassName() const override { return "TGIFTrailer"; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
};

// Extension classes as values: the registries map labels and application identifiers to them.
struct TGIFExtensionClass {
  const char* Name;
  TGIFExtension* (*Create)(TGIFSubImage* Frame);
  // Given the stream after the label: a more specific class, this class, or none.
  const TGIFExtensionClass* (*FindSubExtension)(TStream& Stream);
};

class TGIFExtension : public TGIFItem {
public:
  explicit TGIFExtension(TGIFSubImage* Frame);
  const char* ClassName() const override { return "TGIFExtension"; }
  TGIFSubImage* SubImage() const { return FSubImage; }
  TGIFVersion GetVersion() const override { return gv89a; }
  virtual uint8_t GetExtensionType() const = 0;

protected:
  void WriteIntroducer(TStream& Stream) const;
  // Reads "!" and the label and checks them.
  void ReadIntroducer(TStream& Stream) const;
  TGIFSubImage* FSubImage;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
  explicit TGIFGraphicControlExtension(TGIFSubImage* Frame);
  ~TGIFGraphicControlExtension() override;
  const char* ClassName() const override { return "TGIFGraphicControlExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsGraphicControlExtension; }
  void Assign(TPersistent* Source) override;
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  bool Transparent() const { return (FBlock[1] & 0x01) != 0; }
  void SetTransparent(bool Value);
  bool UserInput() const { return (FBlock[1] & 0x02) != 0; }
  void SetUserInput(bool Value);
  int Disposal() const { return (FBlock[1] >> 2) & 7; }
  void SetDisposal(int Value);
  int Delay() const { return FBlock[2] | (FBlock[3] << 8); }
  void SetDelay(int Value);
  uint8_t TransparentColorIndex() const { return FBlock[4]; }
  void SetTransparentColorIndex(int Value);
  // The index as it is, without the check against the colour table (remapping of pixels).
  void StoreTransparentColorIndex(uint8_t Value) { FBlock[4] = Value; }

private:
  // Block size, packed fields, delay (word), transparent index, terminator.
  uint8_t FBlock[6] = {4, 0, 0, 0, 0, 0};
};

class TGIFTextExtension : public TGIFExtension {
public:
  explicit TGIFTextExtension(TGIFSubImage* Frame);
  const char* ClassName() const override { return "TGIFTextExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsPlainTextExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  TStringList& Text() { return FText; }
  int GetWord(int Offset) const { return FBlock[Offset] | (FBlock[Offset + 1] << 8); }
  int Left() const { return GetWord(1); }
  int Top() const { return GetWord(3); }
  int GridWidth() const { return GetWord(5); }
  int GridHeight() const { return GetWord(7); }
  uint8_t CharWidth() const { return FBlock[9]; }
  uint8_t CharHeight() const { return FBlock[10]; }
  uint8_t ForegroundColorIndex() const { return FBlock[11]; }
  uint8_t BackgroundColorIndex() const { return FBlock[12]; }
  void SetGrid(int Left, int Top, int Width, int Height);
  void SetCell(uint8_t Width, uint8_t Height);
  void SetColors(uint8_t Foreground, uint8_t Background);

private:
  void SetWord(int Offset, int Value);
  uint8_t FBlock[13] = {12};
  TStringList FText;
};

class TGIFCommentExtension : public TGIFExtension {
public:
  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFCommentExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsCommentExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;
  TStringList& Text() { return FText; }

private:
  TStringList FText;
};

// An application block: 8-byte identifier and 3-byte authentication code, then its data.
class TGIFApplicationExtension : public TGIFExtension {
public:
  using TGIFExtension::TGIFExtension;
  const char* ClassName() const override { return "TGIFApplicationExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  uint8_t GetExtensionType() const override { return bsApplicationExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  // The 11 bytes: identifier (8) and authentication code (3).
  const uint8_t* Ident() const { return FIdent; }
  String Identifier() const { return String(reinterpret_cast<const char*>(FIdent), 8); }
  String Authentication() const { return String(reinterpret_cast<const char*>(FIdent) + 8, 3); }
  void SetIdent(const String& Identifier, const String& Authentication);

protected:
  virtual void SaveData(TStream& Stream) = 0;
  virtual void LoadData(TStream& Stream) = 0;
  uint8_t FIdent[11] = {};
};

// One raw data sub-block.
struct TGIFBlock {
  std::vector<uint8_t> Data;
  uint8_t Size() const { return static_cast<uint8_t>(Data.size()); }
};

// An application block this program does not know: its data sub-blocks are kept as they are.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
  using TGIFApplicationExtension::TGIFApplicationExtension;
  const char* ClassName() const override { return "TGIFUnknownAppExtension"; }
  static const TGIFExtensionClass* ClassInfo();
  std::vector<TGIFBlock>& Blocks() { return FBlocks; }

protected:
  void SaveData(TStream& Stream) override;
  void LoadData(TStream& Stream) override;

private:
  std::vector<TGIFBlock> FBlocks;
};

// The looping block ("NETSCAPE2.0", also read from "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
  explicit TGIFAppExtNSLoop(TGIFSubImage* Frame);
  const char* ClassName() const override { return "TGIFAppExtNSLoop"; }
  static const TGIFExtensionClass* ClassInfo();
  // 0 loops endlessly.
  int Loops() const { return FLoops; }
  void SetLoops(int Value) { FLoops = static_cast<uint16_t>(Value); }
  uint32_t BufferSize() const { return FBufferSize; }
  void SetBufferSize(uint32_t Value) { FBufferSize = Value; }

protected:
  void SaveData(TStream& Stream) override;
  void LoadData(TStream& Stream) override;

private:
  uint16_t FLoops = 0;
  uint32_t FBufferSize = 0;
};

// The registries, one each for the whole program; look-ups scan from the last entry to the first.
void RegisterExtension(uint8_t Label, const TGIFExtensionClass* Class);
const TGIFExtensionClass* FindExtension(uint8_t Label);
void RegisterAppExtension(const String& Ident, const TGIFExtensionClass* Class);
const TGIFExtensionClass* FindAppExtension(const uint8_t Ident[11]);

// The owning picture: holds header, frames and trailer, receives warnings and progress.
class TGIFImageOwner {
public:
  TGIFImageOwner();
  virtual ~TGIFImageOwner();
  TGIFImageOwner(const TGIFImageOwner&) = delete;
  TGIFImageOwner& operator=(const TGIFImageOwner&) = delete;

  TGIFHeader& Header() { return *FHeader; }
  TGIFImageList& Images() { return *FImages; }
  TGIFTrailer& Trailer() { return *FTrailer; }
  TGIFGlobalColorMap& GlobalColorMap() { return FHeader->ColorMap(); }

  virtual void Warning(TObject* Sender, int Severity, const String& Message);
  virtual void Progress(TObject* Sender, TGIFProgressStage Stage, int Percent, bool RedrawNow,
                        const String& Message);
  // The picture's palette is no longer valid (the global colour table changed).
  virtual void PaletteChanged() {}
  // A frame's pixels, bounds or colours changed: derived state of that frame is no longer valid.
  virtual void SubImageChanged(TGIFSubImage* SubImage) { (void)SubImage; }
  // The pixel encoder (TGIFEncoderKind).
  virtual int Encoder() const { return geLZW; }
  // How a true-colour picture becomes a frame: reduction mode, octree colour bits, dither mode
  // (the numbering of ReduceBitmapColors).
  virtual void ReductionSettings(int& Reduction, int& ColorBits, int& DitherMode) const {
    Reduction = 6;
    ColorBits = 8;
    DitherMode = 0;
  }
  // Frames read with more pixels than this are refused with "Invalid image dimensions".
  virtual int64_t MaxFramePixels() const { return GIFMaxFramePixels; }
  // True when frames read with more pixels than their LZW data can fill are refused the same way.
  virtual bool FramesBoundedByData() const { return false; }

  int Width() const { return FHeader->Width(); }
  int Height() const { return FHeader->Height(); }
  void SetWidth(int Value) { FHeader->SetWidth(Value); }
  void SetHeight(int Value) { FHeader->SetHeight(Value); }
  // The highest version any frame needs; unknown without frames.
  TGIFVersion Version();
  int ColorResolution();
  int BitsPerPixel();

  void Clear();
  // The picture's optimisation over its frames (the TGIFOptimizeOption bits): colour tables sorted
  // by use, repeated pixels made transparent, transparent borders cropped, blocks the display does
  // not need removed. ReductionMode 9 with ooReduceColors (and without ooCleanup) is refused
  // with "Invalid reduction method".
  void OptimizeFrames(int Options, int ReductionMode);
  // The whole file: header, frames, trailer. On an error the objects read so far stay.
  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);

private:
  TGIFHeader* FHeader;
  TGIFImageList* FImages;
  TGIFTrailer* FTrailer;
  int FSavedBitsPerPixel = 0;  // BitsPerPixel while the picture is written, else 0
};

// Options of TGIFImageOwner::OptimizeFrames.
enum TGIFOptimizeOption {
  ooCrop = 0x01,          // cut fully transparent borders; drop frames that are transparent all over
  ooMerge = 0x02,         // pixels that repeat the previous frame become transparent
  ooCleanup = 0x04,       // unused transparency, comments, text and unknown blocks go
  ooColorMap = 0x08,      // colour tables sorted by use
  ooReduceColors = 0x10,  // checked only: reduction mode 9 is refused
};

// Build the frame's bitmap right after loading it (read by the picture class).
extern bool GIFRenderOnLoad;
