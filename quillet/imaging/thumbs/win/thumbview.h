// The thumbnail browser's controls: TThumbview, a scroll box that scans a folder and shows one
// cell per picture; TThumbNail, a cell (a raised panel) with its picture (TThumbImage), the
// caption strip (TThumbTitle) and the silver frame (Tthumbshape). The arithmetic of the layout,
// the scan and the shrinking lives in the portable part (quillet/imaging/thumbs).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "extctrls.h"
#include "lists.h"
#include "stdctrls.h"
#include "thumblayout.h"

class TThumbview;
class TThumbNail;

using TProgressStartNotify = std::function<void(TObject* Sender, int Max)>;
using TProgressNotify = std::function<void(TObject* Sender, int Position, bool& Break)>;
// The view's title event: title, title font and title colour of a new cell. The font variable
// may be replaced by the handler; the view frees what it holds afterwards.
using TTitleNotify = std::function<void(TObject* Sender, const String& FileName, String& ThumbNailTitle,
                                        TFont*& ThumbNailFont, TColor& ThumbNailColor)>;
// The cell's own title event.
using TCellTitleNotify = std::function<void(TObject* Sender, const String& FileName, String& ThumbNailTitle)>;

// The frame of a cell: a one-pixel silver outline, nothing filled.
class Tthumbshape : public TShape {
public:
  explicit Tthumbshape(TComponent* AOwner);
  const char* ClassName() const override { return "Tthumbshape"; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
};

// The picture of a cell, stretched into the bounds that the cell's fit gives it.
class TThumbImage : public TImage {
public:
  explicit TThumbImage(TComponent* AOwner);
  const char* ClassName() const override { return "TThumbImage"; }
  // Quarter turns 0..3 of the picture (a bitmap); only when CanModify.
  int Angle() const { return FAngle; }
  void SetAngle(int Value);
  bool CanModify() const;
  // True once the picture was shrunk to save memory.
  bool Modified() const { return FModified; }
  void SetModified(bool v) { FModified = v; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  int FAngle = 0;
  bool FModified = false;
};

// The caption strip of a cell.
class TThumbTitle : public TPanel {
public:
  explicit TThumbTitle(TComponent* AOwner);
  const char* ClassName() const override { return "TThumbTitle"; }

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
};

class TThumbNail : public TPanel {
public:
  explicit TThumbNail(TComponent* AOwner);
  ~TThumbNail() override;
  const char* ClassName() const override { return "TThumbNail"; }

  // Loads the picture (see the view's scan); a picture that cannot be read leaves the cell
  // without one and its message in LoadError.
  const String& Filename() const { return FFilename; }
  void SetFilename(const String& Value);
  const String& LoadError() const { return FLoadError; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value);
  TColor TitleColor() const { return FTitleColor; }
  void SetTitleColor(TColor Value);
  TFont* TitleFont() { return FTitleFont.get(); }
  void SetTitleFont(TFont* Value) { FTitleFont->Assign(Value); }
  bool ImageReady() const { return FImageReady; }
  bool Asbutton() const { return FAsbutton; }
  void SetAsbutton(bool v) { FAsbutton = v; }
  bool MinimizeMemory() const { return FMinimizeMemory; }
  void SetMinimizeMemory(bool Value);
  bool TitleGiven() const { return FTitleGiven; }
  void SetTitleGiven(bool v) { FTitleGiven = v; }
  int64_t FileSize() const { return FFileSize; }
  const String& FileAccessed() const { return FAccessed; }
  const String& FIleCreated() const { return FCreated; }
  const String& FileChanged() const { return FChanged; }
  // The picture's size as the file has it.
  int ImageWidth() const { return FImageWidth; }
  int ImageHeight() const { return FImageHeight; }
  // The picture area: what the caption strip leaves of the cell's client area (the window's
  // own client size stays what the alignment of the parts works with).
  int PictureAreaWidth() const;
  int PictureAreaHeight() const;
  TThumbImage* Image() const { return FImage; }
  TThumbTitle* TitlePanel() const { return FTitlePanel; }
  TCellTitleNotify OnGetTitle;

  // Places the picture control centred in the picture area, shrunk to fit.
  virtual void FitImage();
  // A press, release or move at (X, Y) of the cell (the parts pass theirs on moved by their
  // position).
  void CellMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void CellMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  void CellMouseMove(TShiftState Shift, int X, int Y);

  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

protected:
  void Paint() override;
  void BoundsChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override { CellMouseDown(Button, Shift, X, Y); }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override { CellMouseUp(Button, Shift, X, Y); }
  void MouseMove(TShiftState Shift, int X, int Y) override { CellMouseMove(Shift, X, Y); }

private:
  void ShrinkBox(int& W, int& H) const;
  void LoadPicture(bool Minimize);
  void SetReadyFor(TProgressStage Stage);
  void PictureProgress(TProgressStage Stage, uint8_t Percent, bool Redraw);
  Tthumbshape* FShape;
  TThumbImage* FImage;
  TThumbTitle* FTitlePanel;
  std::unique_ptr<TFont> FTitleFont;
  String FFilename, FTitle, FLoadError, FAccessed, FCreated, FChanged;
  TColor FTitleColor = clBtnFace;
  bool FImageReady = false, FAsbutton = false, FMinimizeMemory = true, FTitleGiven = false, FDestroying = false;
  bool FPressed = false;
  int64_t FFileSize = 0;
  int FImageWidth = 0, FImageHeight = 0;
};

class TThumbview : public TScrollBox {
public:
  static constexpr int MaxCells = 65535;

  explicit TThumbview(TComponent* AOwner);
  ~TThumbview() override;
  const char* ClassName() const override { return "TThumbview"; }

  const String& Directory() const { return FDirectory; }
  void SetDirectory(const String& Value);
  int Count() const { return int(FCells.size()); }
  TThumbNail* Cell(int I) const { return FCells[size_t(I)]; }
  int Selected() const { return FSelected; }
  void SetSelected(int Value);
  // The selected cell's file (full name), empty when no cell is selected.
  String SelectedFile() const;
  void SetSelectedFile(const String& Value);
  int MaxWidth() const { return FLayout.MaxWidth; }
  void SetMaxWidth(int v) { FLayout.MaxWidth = v; Relayout(); }
  int MaxHeight() const { return FLayout.MaxHeight; }
  void SetMaxHeight(int v) { FLayout.MaxHeight = v; Relayout(); }
  int Size() const { return FLayout.Size; }
  void SetSize(int v) { FLayout.Size = v < 0 ? 0 : v > 100 ? 100 : v; Relayout(); }
  Tscrollmode ScrollMode() const { return FLayout.ScrollMode; }
  void SetScrollMode(Tscrollmode v) { FLayout.ScrollMode = v; Relayout(); }
  Tviewtype AlignView() const { return FLayout.AlignView; }
  void SetAlignView(Tviewtype v) { FLayout.AlignView = v; Relayout(); }
  int ThumbGap() const { return FLayout.ThumbGap; }
  void SetThumbGap(int v) { FLayout.ThumbGap = v & 0xFF; Relayout(); }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool v) { FSorted = v; }
  // On: every selection (a press, Selected) scrolls its cell into view. Off: only a file chosen
  // through SelectedFile is scrolled into view.
  bool AutoScrolling() const { return FAutoScrolling; }
  void SetAutoScrolling(bool v) { FAutoScrolling = v; }
  bool Scanning() const { return FScanning; }
  bool FirstPaintDone() const { return FFirstPaint; }
  const TThumbLayout& Layout() const { return FLayout; }
  int CellWidth() const { return FLayout.CellWidth; }
  int CellHeight() const { return FLayout.CellHeight; }
  int PerLine() const { return FLayout.PerLine; }
  // The file names of the last scan: in scan order and sorted.
  const TStringList& ScanList() const { return FScanned; }
  const TStringList& SortedList() const { return FSortedList; }

  TProgressStartNotify OnStartScanning;
  TProgressNotify OnScanProgress;
  TNotifyEvent OnResize;
  TNotifyEvent OnStopScanning;
  TTitleNotify OnGetTitle;

  // A press in the view's client area at (X, Y) (cells pass theirs on moved by their position).
  void ViewMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void ViewMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // Scrolls cell I into view when it lies partly outside the visible area.
  void ScrollCellInView(int I);

protected:
  bool OnPaintMessage() override;
  void OnSize() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override { ViewMouseDown(Button, Shift, X, Y); }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override { ViewMouseUp(Button, Shift, X, Y); }

private:
  void Scan(const String& Folder);
  void AddCell(const String& FileName);
  void FreeCells();
  void PlaceCell(int I);
  void Relayout();
  void ShowSelection(int I, bool On);
  std::vector<TThumbNail*> FCells;
  TStringList FScanned, FSortedList;
  TThumbLayout FLayout;
  String FDirectory;
  int FSelected = -1;
  bool FSorted = true, FAutoScrolling = true, FScanning = false, FFirstPaint = false;
};
