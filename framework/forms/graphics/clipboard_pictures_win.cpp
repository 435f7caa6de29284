#include "clipboard_pictures_win.h"

namespace {

// The clipboard, open for the lifetime of the object.
class TOpenClipboard {
public:
  explicit TOpenClipboard(HWND owner) : FOpen(OpenClipboard(owner) != 0) {}
  ~TOpenClipboard() {
    if (FOpen) CloseClipboard();
  }
  bool Open() const { return FOpen; }

private:
  bool FOpen;
};

UINT FirstPictureFormat() {
  for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f))
    if (f <= 0xFFFF && TPicture::SupportsClipboardFormat(uint16_t(f))) return f;
  return 0;
}

}  // namespace

bool CopyPictureToClipboard(TGraphic& Graphic, HWND Owner) {
  uint16_t format = 0;
  THandle data = 0;
  TPaletteHandle palette = nullptr;
  Graphic.SaveToClipboardFormat(format, data, palette);
  TOpenClipboard clip(Owner);
  if (!clip.Open()) {
    // Nobody took the handles: they are ours to free.
    if (format == cfBitmap && data) DeleteObject(HGDIOBJ(data));
    else if (data) GlobalFree(HGLOBAL(data));
    if (palette) DeleteObject(HGDIOBJ(palette));
    return false;
  }
  EmptyClipboard();
  if (data) SetClipboardData(format, HANDLE(data));
  if (palette) SetClipboardData(CF_PALETTE, HANDLE(palette));
  return true;
}

bool ClipboardHasPicture() {
  TOpenClipboard clip(nullptr);
  return clip.Open() && FirstPictureFormat() != 0;
}

bool PastePictureFromClipboard(TPicture& Picture, HWND Owner) {
  TOpenClipboard clip(Owner);
  if (!clip.Open()) return false;
  const UINT format = FirstPictureFormat();
  if (!format) return false;
  HANDLE data = GetClipboardData(format);
  if (!data) return false;
  Picture.LoadFromClipboardFormat(uint16_t(format), THandle(data), TPaletteHandle(GetClipboardData(CF_PALETTE)));
  return true;
}
