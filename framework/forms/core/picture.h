// TPicture: the container that holds one picture and knows the picture classes by file extension
// and by clipboard format. The core's own classes (TBitmap "bmp", TIcon "ico", TMetafile "wmf" and
// "emf") are registered before the first look-up; the others register themselves at program start
// (TJPEGImage "jpg" and "jpeg", the GIF picture class "gif").
#pragma once

#include <vector>

#include "graphic.h"

class TBitmap;

// One registered file format.
struct TFileFormat {
  String Extension;    // lower case, without the dot
  String Description;  // e.g. "Bitmaps"
  TGraphicClass GraphicClass = nullptr;
};

class TPicture : public TPersistent {
public:
  TPicture() = default;
  ~TPicture() override;
  const char* ClassName() const override { return "TPicture"; }

  // The held picture (nullptr when empty). SetGraphic keeps a copy of Value in a picture of the
  // same class (Value stays the caller's); nullptr empties the container.
  TGraphic* Graphic() const { return FGraphic; }
  void SetGraphic(TGraphic* Value);
  // The picture as a bitmap: an empty bitmap replaces a picture of another class.
  TBitmap* Bitmap();

  int Width() const;
  int Height() const;
  bool Empty() const { return !FGraphic || FGraphic->Empty(); }

  // Chooses the picture class by the file's extension (any letter case): EInvalidGraphic
  // "Unbekannte Bilddateierweiterung (.xyz)" for an extension nobody registered. The readers'
  // errors pass unchanged; the container keeps its previous picture then.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // Chooses the class by clipboard format: EInvalidGraphic "Nicht unterstütztes
  // Zwischenablageformat" for a format nobody registered.
  void LoadFromClipboardFormat(uint16_t AFormat, THandle AData, TPaletteHandle APalette);
  void SaveToClipboardFormat(uint16_t& AFormat, THandle& AData, TPaletteHandle& APalette);
  static bool SupportsClipboardFormat(uint16_t AFormat);

  // A TPicture copies the other's picture, a TGraphic becomes the held picture's copy, nullptr
  // empties.
  void Assign(TPersistent* Source) override;

  // Registration of the picture classes. A later registration of an extension or a format
  // replaces the earlier one. The core registers "bmp", "ico", "wmf" and "emf" itself.
  static void RegisterFileFormat(const String& AExtension, const String& ADescription, TGraphicClass AGraphicClass);
  static void RegisterClipboardFormat(uint16_t AFormat, TGraphicClass AGraphicClass);
  static void UnregisterGraphicClass(TGraphicClass AGraphicClass);
  // The registered file formats in the order of registration; the class for an extension
  // (with or without the dot, any case), or nullptr.
  static std::vector<TFileFormat> FileFormats();
  static TGraphicClass FileFormatClass(const String& Extension);
  // "Alle (*.bmp;*.gif)|*.bmp;*.gif|Bitmaps (*.bmp)|*.bmp|..." for the open dialogs.
  static String GraphicFilter();

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

private:
  void Replace(TGraphic* NewGraphic);  // takes ownership, fires OnChange
  void Changed();
  TGraphic* FGraphic = nullptr;
};
