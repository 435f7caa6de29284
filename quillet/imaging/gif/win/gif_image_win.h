// The window-system half of the GIF picture class: drawing (frame 0 at once, animations through a
// painter), the palette handle, the clipboard ("GIF Image" and the bitmap format), and the
// registration of the class at program start.
#pragma once

#include <windows.h>

#include "gif_image.h"
#include "graphics.h"
#include "thread.h"

class TGIFPainter;

class TGIFImageWin : public TGIFImageView {
public:
  explicit TGIFImageWin(TGIFImage& Image) : FImage(Image) {}
  ~TGIFImageWin() override;

  void StopDraw() override;
  void FreeBitmap() override;
  void ReleasePalette(TPaletteHandle Old) override;
  bool RenderGraphic(TGraphic& Source, TBitmap& Picture, TBitmap* Mask) override;

  void Draw(TCanvas& Canvas, const TRect& Rect);
  HPALETTE Palette();
  void LoadFromClipboardFormat(uint16_t Format, THandle Data);
  void SaveToClipboardFormat(uint16_t& Format, THandle& Data, TPaletteHandle& Palette);

  TThreadList<TGIFPainter>& Painters() { return FPainters; }
  TGIFPainter* DrawPainter() const { return FDrawPainter; }

private:
  void CreatePainter(TCanvas* Canvas, const TRect& Rect, TGIFDrawOptions Options);
  void ShowBitmap(TCanvas& Canvas, const TRect& Rect);
  // Takes the synchronisation messages until Done (with the list locked it is asked); false when
  // a quit message ended the wait (it is posted again).
  bool WaitWhile(const std::function<bool()>& Pending);

  TGIFImage& FImage;
  TThreadList<TGIFPainter> FPainters;
  TGIFPainter* FDrawPainter = nullptr;
};

// The picture's window-system half (nullptr before RegisterGIFImage).
TGIFImageWin* GIFImageWin(TGIFImage& Image);

// Program start: registers TGIFImage for the extension "GIF" and the clipboard format "GIF
// Image", installs the window-system routines and sets GIFPaletteDisplay and
// GIFAutoDitherActive from the screen. Once per program; later calls do nothing.
void RegisterGIFImage();
// Program end: the picture container no longer knows the class.
void UnregisterGIFImage();
