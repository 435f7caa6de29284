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
//
// The parts the tree is made of live in units of their own: the texts, routines, items and lists
// (gif_item.h), the colour table (gif_color_map.h) and the extensions with their registries
// (gif_extension.h). This header gives all of them; what stays here is the tree itself and its
// walks: the header, the frames, the trailer, the frame list, the two kinds of colour map (which
// frames a table serves) and the owning picture.
#pragma once

#include <cstdint>
#include <vector>

#include "color_lookup.h"
#include "colors.h"
#include "gif_color_map.h"
#include "gif_encoder.h"
#include "gif_exception.h"
#include "gif_extension.h"
#include "gif_item.h"
#include "gif_lzw_decoder.h"
#include "lists.h"
#include "streams.h"

class TGIFSubImage;
class TGIFHeader;
class TGIFImageList;
class TGIFTrailer;

// A rectangle in pixels; Right and Bottom lie one past the last column and row.
struct TGIFRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TGIFRect& R) const {
    return Left == R.Left && Top == R.Top && Right == R.Right && Bottom == R.Bottom;
  }
  bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
};

// The frames of a picture, in file order.
class TGIFImageList : public TGIFList {
public:
  using TGIFList::TGIFList;
  const char* ClassName() const override { return "TGIFImageList"; }
  TGIFSubImage* SubImages(int Index) const;
  TGIFSubImage* operator[](int Index) const { return SubImages(Index); }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream, TObject* Parent) override;
};

// The header's table: the frames that show no table of their own use it.
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

// A frame's own table.
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

// One frame. Its extensions reach it as their TGIFExtensionHost.
class TGIFSubImage : public TGIFItem, public TGIFExtensionHost {
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

  TGIFColorMap& ActiveColorMap() final;
  TGIFLocalColorMap& ColorMap() { return FColorMap; }
  TGIFExtensionList& Extensions() { return FExtensions; }
  bool Empty() const;
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) final { FTransparent = Value; }
  // The frame's graphic control extension: the first one created for it, or none.
  TGIFGraphicControlExtension* GraphicControlExtension() const final { return FGCE; }

  uint8_t* Data() { return FData.empty() ? nullptr : FData.data(); }
  int64_t DataSize() const { return static_cast<int64_t>(FData.size()); }
  uint8_t* ScanLine(int Row);
  uint8_t Pixels(int X, int Y);
  void SetPixels(int X, int Y, uint8_t Value);
  // The pixel data changed in place: cached derived state is dropped.
  void Changed() final;

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
  // What only the frame's graphic control extension asks for.
  TGIFImageOwner* HostImage() const final { return FImage; }
  void SetGraphicControlExtension(TGIFGraphicControlExtension* Extension) final { FGCE = Extension; }

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
  virtual void SubImageChanged(TGIFSubImage* SubImage) {}
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
