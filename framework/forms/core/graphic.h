// TGraphic, the base of every picture class (the container TPicture is in picture.h).
//
// The picture classes keep their data here, in the portable core, so that loading, saving and
// measuring pictures builds and is tested everywhere. Drawing and palette handles belong to the
// window system: a class that draws in a window-system file overrides Draw and GetPalette itself;
// a portable class (TBitmap, TIcon, TMetafile) leaves them, and the clipboard, to the routines its
// window-system half registers with RegisterGraphicPlatform, which the window-system library does
// before its first canvas exists. Without them (natively) Draw raises EInvalidOperation.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "classes.h"
#include "streams.h"

class TCanvas;  // graphics.h (window system)
struct TRect;   // graphics.h (window system)

// The exception of every picture reader: a file that is not a picture of the expected kind.
FORMS_EXCEPTION(EInvalidGraphic, Exception);
// An operation a picture does not support ("Format der Zwischenablage wird nicht unterstützt").
FORMS_EXCEPTION(EInvalidGraphicOperation, Exception);

// A window-system palette (HPALETTE) or clipboard data handle, carried as it is by the portable
// code; nullptr / 0 for none.
using TPaletteHandle = void*;
using THandle = uintptr_t;

enum TProgressStage { psStarting, psRunning, psEnding };
// Sender, stage, percent done, whether to redraw now, the rectangle to redraw, a caption.
using TProgressEvent =
    std::function<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                       const TRect* R, const String& Msg)>;

class TGraphic : public TPersistent {
public:
  const char* ClassName() const override { return "TGraphic"; }

  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  // Through a read-only TFileStream / a TSaveFileStream (the file is replaced whole or stays as it
  // was); the streams' file errors pass unchanged.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // The clipboard's form of the picture. The defaults use the registered platform routines, or
  // raise EInvalidGraphicOperation "Format der Zwischenablage wird nicht unterstützt".
  virtual void LoadFromClipboardFormat(uint16_t AFormat, THandle AData, TPaletteHandle APalette);
  virtual void SaveToClipboardFormat(uint16_t& AFormat, THandle& AData, TPaletteHandle& APalette);

  // Paints the picture stretched into Rect.
  virtual void Draw(TCanvas& ACanvas, const TRect& Rect);

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Empty() const = 0;
  // The palette handle (owned by the picture); nullptr when it has none.
  virtual TPaletteHandle GetPalette();
  virtual void SetPalette(TPaletteHandle) {}
  // Whether the picture is drawn with its background showing through.
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  // True only for the same picture: comparing picture contents is the caller's business.
  virtual bool Equals(const TGraphic* Graphic) const { return Graphic == this; }

  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  bool PaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool Value) { FPaletteModified = Value; }

  // Stored form of a picture property: the byte count (32 bits) and then SaveToStream's bytes.
  virtual void ReadData(TStream& Stream);
  virtual void WriteData(TStream& Stream);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

protected:
  // The bytes from the stream's position to its end; at most Limit of them (a picture reader's
  // bound on what a file of its kind can need).
  static std::vector<uint8_t> ReadRest(TStream& Stream, int64_t Limit);
  // Marks the picture modified and fires OnChange with Sender.
  virtual void Changed(TObject* Sender);
  void Changed() { Changed(this); }
  void Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect* R,
                const String& Msg);

private:
  bool FModified = false, FTransparent = false, FPaletteModified = false;
};

// A picture class whose contents are its file's bytes and what was read from them (State has
// Data, Width and Height): saving writes the bytes back, Assign copies the whole state.
template <class Derived, class State>
class TFileGraphic : public TGraphic {
public:
  void SaveToStream(TStream& Stream) override {
    if (!F.Data.empty()) Stream.WriteBuffer(F.Data.data(), int64_t(F.Data.size()));
  }
  void Assign(TPersistent* Source) override {
    auto* src = dynamic_cast<Derived*>(Source);
    if (Source && !src) {
      TGraphic::Assign(Source);
      return;
    }
    if (src != this) Take(src ? src->F : State());
  }
  int Width() const override { return F.Width; }
  int Height() const override { return F.Height; }
  bool Empty() const override { return F.Data.empty(); }

protected:
  void Take(State n) {
    F = std::move(n);
    Changed(this);
  }
  State F;
};

// Makes a new, empty picture of one class; the address identifies the class in the registry.
using TGraphicClass = TGraphic* (*)();
template <class T>
TGraphic* GraphicClassOf() {
  return new T;
}

// The clipboard's own bitmap format (a bitmap handle), under which TBitmap is registered.
constexpr uint16_t cfBitmap = 2;

// What the window system does for a portable picture class: drawing, its palette handle, and
// the clipboard (the data handles are the window system's). Unset routines keep the defaults.
struct TGraphicPlatform {
  void (*Draw)(TGraphic& Graphic, TCanvas& Canvas, const TRect& Rect) = nullptr;
  TPaletteHandle (*Palette)(TGraphic& Graphic) = nullptr;
  void (*LoadClipboard)(TGraphic& Graphic, uint16_t Format, THandle Data, TPaletteHandle Palette) = nullptr;
  void (*SaveClipboard)(TGraphic& Graphic, uint16_t& Format, THandle& Data, TPaletteHandle& Palette) = nullptr;
};
// Registers the routines for the class named ClassName (its ClassName()).
void RegisterGraphicPlatform(const char* ClassName, const TGraphicPlatform& Routines);

// Paints Graphic in its own size at (X, Y) onto Bitmap's pixels, through the canvas the window
// system keeps for the bitmap; the window-system half installs the routine with its platform
// routines (natively EInvalidOperation).
class TBitmap;
void DrawGraphicOnBitmap(TGraphic& Graphic, TBitmap& Bitmap, int X, int Y);
void SetBitmapPainter(void (*Painter)(TGraphic& Graphic, TBitmap& Bitmap, int X, int Y));

