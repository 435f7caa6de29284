// TMetafile: a Windows metafile (.wmf, with or without the placeable header) or an enhanced
// metafile (.emf) as a picture. The portable part keeps the records as they are and measures the
// picture from its header; playing the records is the window-system half's
// (graphics/picture_platform_win.cpp).
//
// Sizes in pixels, at the screen resolution of 96 dots per inch that the programs' pictures are
// made for:
// - placeable WMF: the bounding box in its own units per inch (the header's "inch" field); records
//   that set no window of their own draw in the units of that box, which is then their window;
// - WMF without that header: the window extent that the records set (SetWindowExt), in pixels;
// - EMF: the picture frame of the header (hundredths of a millimetre).
#pragma once

#include <vector>

#include "graphic.h"

// What a metafile holds: the file's bytes, where its records start, its kind and its sizes.
struct TMetafileState {
  std::vector<uint8_t> Data;
  size_t RecordsOffset = 0;
  bool Enhanced = false;
  int Width = 0, Height = 0, LogicalWidth = 0, LogicalHeight = 0;
  // A placeable WMF whose records set no window extent: the window is the bounding box.
  bool BoxWindow = false;
  int BoxLeft = 0, BoxTop = 0;
};

class TMetafile : public TFileGraphic<TMetafile, TMetafileState> {
public:
  static constexpr int ScreenDpi = 96;

  TMetafile() = default;
  const char* ClassName() const override { return "TMetafile"; }

  // EInvalidGraphic "Ungültige Metadatei" for data that is neither kind, a header that lies
  // about its size, or a picture without a size; the metafile keeps its picture then.
  void LoadFromStream(TStream& Stream) override;

  // The size it is drawn at by default; the records stay as they are.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;

  bool Enhanced() const { return F.Enhanced; }
  // The records: for an EMF the whole file; for a WMF the standard metafile after the
  // placeable header (if any).
  const uint8_t* Records() const { return F.Data.data() + F.RecordsOffset; }
  size_t RecordsSize() const { return F.Data.size() - F.RecordsOffset; }
  // The WMF as it is played: the records, behind a placeable header that set no window of their
  // own with the bounding box's window set first (origin and extent records after the header),
  // so that they fill the picture and not one pixel per unit.
  std::vector<uint8_t> PlayedRecords() const;
  // The WMF's extent in its own logical units (the window the records draw into).
  int LogicalWidth() const { return F.LogicalWidth; }
  int LogicalHeight() const { return F.LogicalHeight; }
};
