// TGIFImage: the GIF picture class. It holds a whole GIF file as the object tree of gif_model.h
// and lets the picture container (TPicture) load, save, copy and draw GIF files like any other
// picture.
//
// This half is portable: the tree, loading and saving with progress, copying to and from other
// pictures, the frames' pictures and masks, the picture's own bitmap and the optimisation. What
// needs the window system (drawing one frame or playing an animation through the painter, palette
// handles, the clipboard) is the window-system half's (win/gif_image_win.h), which gives every
// picture a TGIFImageView when it is created.
#pragma once

#include <map>
#include <memory>

#include "picture_budget.h"
#include "bitmap.h"
#include "gif_animation.h"
#include "gif_model.h"
#include "graphic.h"

class TGIFImage;

// The window-system side of one picture: its palette handle, its drawing and its painters.
class TGIFImageView {
public:
  virtual ~TGIFImageView() = default;
  // Stops every painter of the picture and waits for the threaded ones.
  virtual void StopDraw() = 0;
  // Tells the painter started by Draw to stop (without waiting); the picture's bitmap goes.
  virtual void FreeBitmap() = 0;
  // The picture's palette handle Old was replaced: the view deletes it.
  virtual void ReleasePalette(TPaletteHandle Old) = 0;
  // Paints another kind of picture into a 24-bit bitmap of its size (icons with their mask as a
  // second, 1-bit bitmap); false when it cannot.
  virtual bool RenderGraphic(TGraphic& Source, TBitmap& Picture, TBitmap* Mask) = 0;
};
using TGIFImageViewFactory = std::unique_ptr<TGIFImageView> (*)(TGIFImage& Image);
void SetGIFImageViewFactory(TGIFImageViewFactory Factory);

// Unit-wide settings.
extern bool GIFOptimizeOnStore;   // optimise the colour tables before the picture is stored
extern bool GIFPaletteDisplay;    // the screen shows at most 256 colours (set at start)
extern bool GIFAutoDitherActive;  // what gdAutoDither consults (set at start)
extern uint16_t GIFClipboardFormat;  // the clipboard format "GIF Image" (set at start)

constexpr const char* GIFFormatName = "GIF Image";

// Registers TGIFImage with the picture container for the extension "gif" (the window-system
// half's RegisterGIFImage does this and more at program start).
void RegisterGIFImageFormat();

// The notification of a warning of the object tree.
using TGIFWarningEvent = std::function<void(TObject* Sender, int Severity, const String& Message)>;

class TGIFImage : public TGraphic, public TGIFImageOwner {
public:
  TGIFImage();
  ~TGIFImage() override;
  const char* ClassName() const override { return "TGIFImage"; }

  // Another GIF picture is copied frame by frame; a bitmap or another picture becomes one frame
  // (true-colour pictures reduced with ColorReduction, ReductionBits and DitherMode).
  void Assign(TPersistent* Source) override;
  // The whole file; on an error the stream goes back to where the picture began and the error
  // passes on (the frames read before it stay).
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  void WriteData(TStream& Stream) override;

  int Width() const override { return const_cast<TGIFImage*>(this)->Header().Width(); }
  int Height() const override { return const_cast<TGIFImage*>(this)->Header().Height(); }
  // Below a frame's right or bottom edge: "Image width too small for contained frames" / "Image
  // height too small for contained frames", the size unchanged.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  bool Empty() const override { return const_cast<TGIFImage*>(this)->Images().Count() == 0; }
  // Frames are bounded as the picture readers bound theirs: the picture budget, and no more pixels
  // than the frame's data can fill (a small file cannot make the picture allocate much).
  int64_t MaxFramePixels() const override { return kMaxPicturePixels; }
  bool FramesBoundedByData() const override { return true; }
  void SetPalette(TPaletteHandle Palette) override;

  // Stops the painters, empties the picture.
  void Clear();
  // A picture becomes a new frame; a frame is added as it is; anything else raises "Object type
  // not supported for operation".
  TGIFSubImage* Add(TPersistent* Source);
  // The background colour of the global colour table.
  TColor BackgroundColor();
  // Whether frames are dithered onto the 216-colour palette (gdDither, gdAutoDither).
  bool DoDither() const;
  // Stops the painters, then TGIFImageOwner::OptimizeFrames.
  void Optimize(int Options, int ReductionMode);

  // The picture's own bitmap: frame 0 when it covers the whole picture, else frame 0 placed on
  // the picture's area (24 bits). nullptr for an empty picture.
  TBitmap* Bitmap();
  // Stops the draw painter and drops the bitmap.
  void FreeBitmap();
  void StopDraw();
  // The frame's picture and mask (gif_frame_bitmap.h), kept until the frame changes. Quiet: no
  // progress notifications (an animation's thread).
  TBitmap* FrameBitmap(TGIFSubImage* Frame, bool Quiet = false);
  TBitmap* FrameMask(TGIFSubImage* Frame);

  // A frame picture made elsewhere (an animation's thread renders the next frame before its pause)
  // takes the place of the kept one.
  void SetFrameBitmap(TGIFSubImage* Frame, std::unique_ptr<TBitmap> Picture);
  // The picture's bitmap made blank (the picture's size, nothing drawn) for a painter to paint on;
  // HasBitmap: whether one exists now.
  TBitmap* BlankBitmap();
  bool HasBitmap() const { return FBitmap != nullptr; }
  // A painter painted a frame onto the picture's bitmap: the picture's owner repaints.
  void BitmapPainted() { Changed(); }

  TPaletteHandle PaletteHandle() const { return FPalette; }
  TGIFImageView* View() const { return FView.get(); }
  // The image's palette guard: GetPalette sets it while it computes.
  bool& PaletteGuard() { return FPaletteGuard; }
  bool& Drawing() { return FDrawing; }

  TGIFDrawOptions DrawOptions = GIFDefaultDrawOptions;
  int ColorReduction = 6;
  int ReductionBits = 8;
  int DitherMode = 0;
  int Compression = 0;
  int ThreadPriority = 3;  // tpNormal
  int AnimationSpeed = 100;
  TColor PaintBackgroundColor = clNone;
  TGIFWarningEvent OnWarning;
  TNotifyEvent OnPaintStart, OnPaintFrame, OnFramePainted, OnPaintLoop, OnPaintEnd;

  // The object tree's owner operations.
  void Warning(TObject* Sender, int Severity, const String& Message) override;
  void Progress(TObject* Sender, TGIFProgressStage Stage, int Percent, bool RedrawNow,
                const String& Message) override;
  void PaletteChanged() override { SetPalette(nullptr); }
  void SubImageChanged(TGIFSubImage* SubImage) override;
  int Encoder() const override { return Compression == 1 ? geRLE : geLZW; }
  void ReductionSettings(int& Reduction, int& ColorBits, int& Dither) const override;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  struct TFrameCache {
    std::unique_ptr<TBitmap> Bitmap, Mask;
    bool MaskNeeded = true;
    bool Dithered = false;
  };
  TFrameCache& Cache(TGIFSubImage* Frame);
  void AssignPicture(TPersistent* Source);

  std::unique_ptr<TGIFImageView> FView;
  std::map<const TGIFSubImage*, TFrameCache> FFrames;
  std::unique_ptr<TBitmap> FBitmap;
  TPaletteHandle FPalette = nullptr;
  bool FPaletteGuard = false;
  bool FDrawing = false;
};
