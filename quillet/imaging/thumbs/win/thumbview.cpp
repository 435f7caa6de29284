#include "thumbview.h"

#include <cmath>

#include "findfiles.h"
#include "menus.h"
#include "pixio.h"
#include "thumbload.h"
#include "thumbscan.h"

namespace {
constexpr int kTitleHeight = 15;

TThumbNail* CellOf(TControl* Part) { return dynamic_cast<TThumbNail*>(Part->Parent()); }

String MessageOf(const std::exception& e) {
  if (auto* x = dynamic_cast<const Exception*>(&e)) return x->Message();
  return e.what();
}

// The bitmap turned by a quarter: clockwise or counter-clockwise.
void TurnQuarter(TBitmap& B, bool Clockwise) {
  TBitmap turned;
  turned.SetPixelFormat(pf24bit);
  turned.SetSize(B.Height(), B.Width());
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) {
      const TColor c = B.Pixel(x, y);
      if (Clockwise) turned.SetPixel(B.Height() - 1 - y, x, c);
      else turned.SetPixel(y, B.Width() - 1 - x, c);
    }
  B.MoveFrom(turned);
}
}  // namespace

// ---- the parts of a cell --------------------------------------------------------------------

Tthumbshape::Tthumbshape(TComponent* AOwner) : TShape(AOwner) {}
void Tthumbshape::MouseDown(TMouseButton B, TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseDown(B, S, X + Left(), Y + Top());
}
void Tthumbshape::MouseUp(TMouseButton B, TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseUp(B, S, X + Left(), Y + Top());
}
void Tthumbshape::MouseMove(TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseMove(S, X + Left(), Y + Top());
}

TThumbImage::TThumbImage(TComponent* AOwner) : TImage(AOwner) {}
void TThumbImage::MouseDown(TMouseButton B, TShiftState S, int X, int Y) {
  TImage::MouseDown(B, S, X, Y);
  if (TThumbNail* c = CellOf(this)) c->CellMouseDown(B, S, X + Left(), Y + Top());
}
void TThumbImage::MouseUp(TMouseButton B, TShiftState S, int X, int Y) {
  TImage::MouseUp(B, S, X, Y);
  if (TThumbNail* c = CellOf(this)) c->CellMouseUp(B, S, X + Left(), Y + Top());
}
void TThumbImage::MouseMove(TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseMove(S, X + Left(), Y + Top());
}

bool TThumbImage::CanModify() const {
  TPicture* p = const_cast<TThumbImage*>(this)->Picture();
  return !p->Empty() && dynamic_cast<TBitmap*>(p->Graphic());
}

void TThumbImage::SetAngle(int Value) {
  Value &= 3;
  if (Value == FAngle || !CanModify()) return;
  auto* b = static_cast<TBitmap*>(Picture()->Graphic());
  const int step = (Value - FAngle + 4) % 4;  // 1: a quarter forward, 2: half, 3: a quarter back
  if (step == 2) {
    TurnQuarter(*b, true);
    TurnQuarter(*b, true);
  } else {
    TurnQuarter(*b, step == 1);
  }
  FAngle = Value;
  Invalidate();
  if (step != 2)
    if (TThumbNail* c = CellOf(this))
      if (c->HandleAllocated()) c->Perform(WM_USER + 1);
}

TThumbTitle::TThumbTitle(TComponent* AOwner) : TPanel(AOwner) {
  BevelOuter = bvLowered;
  SetColor(clBtnFace);
  FHeight = kTitleHeight;
}
void TThumbTitle::MouseDown(TMouseButton B, TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseDown(B, S, X + Left(), Y + Top());
}
void TThumbTitle::MouseUp(TMouseButton B, TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseUp(B, S, X + Left(), Y + Top());
}
void TThumbTitle::MouseMove(TShiftState S, int X, int Y) {
  if (TThumbNail* c = CellOf(this)) c->CellMouseMove(S, X + Left(), Y + Top());
}

// ---- TThumbNail -----------------------------------------------------------------------------

TThumbNail::TThumbNail(TComponent* AOwner) : TPanel(AOwner), FTitleFont(std::make_unique<TFont>()) {
  FShape = new Tthumbshape(this);
  FShape->Pen()->SetColor(clSilver);
  FShape->Brush()->SetColor(clBlack);
  FShape->Brush()->SetStyle(bsClear);
  FShape->SetParent(this);
  FShape->SetAlign(alClient);
  FImage = new TThumbImage(this);
  FImage->SetStretch(true);
  // The picture's progress tells whether it is there: ready with the end stage, not before.
  FImage->Picture()->OnProgress = [this](TObject*, TProgressStage Stage, uint8_t, bool, const TRect*, const String&) {
    SetReadyFor(Stage);
  };
  FImage->SetParent(this);
  FTitlePanel = new TThumbTitle(this);
  FTitlePanel->SetParent(this);
  FTitlePanel->SetAlign(alTop);
  SetTitleColor(clBtnFace);
  FTitlePanel->Font()->Assign(FTitleFont.get());
  FTitleFont->OnChange = [this](TObject*) { FTitlePanel->Font()->Assign(FTitleFont.get()); FTitlePanel->Invalidate(); };
  BevelOuter = bvRaised;
  int w = 120, h = 120;
  if (auto* view = dynamic_cast<TThumbview*>(AOwner)) {
    w = view->MaxWidth();
    h = view->MaxHeight();
  }
  SetBounds(10, 10, w, h);
}

TThumbNail::~TThumbNail() {
  FDestroying = true;
  FImage->Picture()->OnProgress = nullptr;
  FTitleFont->OnChange = nullptr;
}

int TThumbNail::PictureAreaWidth() const { return ClientWidth(); }
int TThumbNail::PictureAreaHeight() const {
  const int h = ClientHeight() - kTitleHeight;
  return h > 0 ? h : 0;
}

void TThumbNail::ShrinkBox(int& W, int& H) const {
  if (auto* view = dynamic_cast<TThumbview*>(Owner())) {
    W = view->MaxWidth();
    H = view->MaxHeight();
  } else {
    W = Width();
    H = Height();
  }
}

void TThumbNail::SetReadyFor(TProgressStage Stage) { FImageReady = Stage == psEnding; }

void TThumbNail::PictureProgress(TProgressStage Stage, uint8_t Percent, bool Redraw) {
  // The flag is set here as well as by the picture's notification, which a user of the picture
  // control may have given a handler of his own.
  SetReadyFor(Stage);
  TPicture* const picture = FImage->Picture();
  FireEvent(picture->OnProgress, picture, Stage, Percent, Redraw, nullptr, String());
}

void TThumbNail::LoadPicture(bool Minimize) {
  FLoadError.clear();
  FImageReady = false;
  FImage->SetModified(false);
  FImage->Picture()->SetGraphic(nullptr);
  FImageWidth = FImageHeight = 0;
  try {
    int bw = 0, bh = 0;
    if (Minimize) ShrinkBox(bw, bh);
    // The loader's stages reach the picture control's progress notification; its end stage waits
    // until the cell holds the picture, which shrinking or taking it may still fail.
    TThumbPicture p = LoadThumbPicture(FFilename, bw, bh,
                                       [this](TObject*, TProgressStage Stage, uint8_t Percent, bool Redraw,
                                              const TRect*, const String&) {
                                         if (Stage != psEnding) PictureProgress(Stage, Percent, Redraw);
                                       },
                                       Color());  // transparent parts of a GIF or PNG show the cell's own colour
    FImageWidth = p.Width;
    FImageHeight = p.Height;
    std::unique_ptr<TBitmap> small;
    if (Minimize) small = ShrinkToBox(*p.Graphic, bw, bh, p.Width, p.Height);
    if (small) {
      p.Graphic.reset();  // the whole picture goes before its copy is made
      FImage->Picture()->SetGraphic(small.get());
      FImage->SetModified(true);
    } else {
      FImage->Picture()->SetGraphic(p.Graphic.get());
    }
    PictureProgress(psEnding, 100, true);
  } catch (const std::exception& e) {
    // One picture that cannot be read costs its cell, not the view: the cell stays empty, not
    // ready, and keeps the reader's message.
    FLoadError = MessageOf(e);
    FImageReady = false;
    FImage->Picture()->SetGraphic(nullptr);
  }
  FitImage();
}

void TThumbNail::SetFilename(const String& Value) {
  FFilename = Value;
  TSearchRec rec;
  if (FileFacts(Value, rec)) {
    FFileSize = rec.Size;
    FAccessed = FileTimeText(rec.Accessed);
    FCreated = FileTimeText(rec.Created);
    FChanged = FileTimeText(rec.Changed);
  } else {
    FFileSize = 0;
    FAccessed = FCreated = FChanged = "Unknown";
  }
  LoadPicture(FMinimizeMemory);
  SetHint(FLoadError);
  SetShowHint(!FLoadError.empty());
}

void TThumbNail::SetMinimizeMemory(bool Value) {
  if (FImage->Picture()->Empty() || Value == FMinimizeMemory) return;
  if (Value) {
    int bw = 0, bh = 0;
    ShrinkBox(bw, bh);
    if (std::unique_ptr<TBitmap> small = ShrinkToBox(*FImage->Picture()->Graphic(), bw, bh)) {
      FImage->Picture()->SetGraphic(small.get());
      FImage->SetModified(true);
      FitImage();
    }
  } else {
    LoadPicture(false);
  }
  FMinimizeMemory = Value;
}

void TThumbNail::SetTitle(const String& Value) {
  if (Value == FTitle) return;
  FTitle = Value;
  FTitlePanel->SetCaption(Value);
}

void TThumbNail::SetTitleColor(TColor Value) {
  if (Value == FTitleColor && FTitlePanel->Color() == Value) return;
  FTitleColor = Value;
  FTitlePanel->SetColor(Value);
}

void TThumbNail::FitImage() {
  if (FDestroying) return;
  const int aw = Width() > 0 ? PictureAreaWidth() : 0;
  const int ah = PictureAreaHeight();
  TPicture* p = FImage->Picture();
  if (p->Empty() || aw <= 0 || ah <= 0) {
    FImage->SetBounds(0, kTitleHeight, aw, ah);
    return;
  }
  const int pw = p->Width(), ph = p->Height();
  double scale = 100;
  if (pw > aw || ph > ah) scale = std::min(double(aw) / pw * 100, double(ah) / ph * 100);
  const int w = int(std::lround(pw * scale / 100)), h = int(std::lround(ph * scale / 100));
  FImage->SetBounds((aw - w) / 2, kTitleHeight + (ah - h) / 2, w, h);
}

void TThumbNail::BoundsChanged() {
  TPanel::BoundsChanged();
  FitImage();
}

void TThumbNail::Paint() {
  TPanel::Paint();
  if (!FTitleGiven) {
    String title;
    if (OnGetTitle) OnGetTitle(this, FFilename, title);
    else title = ExtractFileName(FFilename);
    SetTitle(title);
    FTitleGiven = true;
  }
}

LRESULT TThumbNail::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_USER + 1) {
    FitImage();
    return 0;
  }
  if (msg == WM_SIZE || msg == WM_MOVE) {
    const LRESULT r = TPanel::WndProc(msg, w, l);
    FitImage();
    return r;
  }
  return TPanel::WndProc(msg, w, l);
}

void TThumbNail::CellMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FAsbutton && Button == mbLeft) {
    FPressed = true;
    BevelOuter = bvLowered;
    Invalidate();
  }
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
  if (auto* view = dynamic_cast<TThumbview*>(Parent())) view->ViewMouseDown(Button, Shift, X + Left(), Y + Top());
}

void TThumbNail::CellMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FAsbutton && Button == mbLeft && FPressed) {
    FPressed = false;
    BevelOuter = bvRaised;
    Invalidate();
  }
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
  // The pop-up menu belongs to the view.
  if (Button == mbRight)
    if (auto* view = dynamic_cast<TThumbview*>(Parent())) view->ViewMouseUp(Button, Shift, X + Left(), Y + Top());
}

void TThumbNail::CellMouseMove(TShiftState Shift, int X, int Y) {
  if (FAsbutton && FPressed) {
    const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
    const TBevelCut want = inside ? bvLowered : bvRaised;
    if (want != BevelOuter) {
      BevelOuter = want;
      Invalidate();
    }
  }
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

// ---- TThumbview -----------------------------------------------------------------------------

TThumbview::TThumbview(TComponent* AOwner) : TScrollBox(AOwner) {
  FWidth = 600;
  FHeight = 480;
  FColor = clBtnFace;
  HorzScrollBar().Tracking = true;
  VertScrollBar().Tracking = true;
  SetAutoScroll(true);
  // Taking and losing the focus is no enter or exit for the view nor for the control that had the
  // focus; its form still records it as the active control.
  SetInFocusChange(true);
  FLayout.ViewWidth = FWidth;
  FLayout.ViewHeight = FHeight;
  FLayout.Recompute();
}

TThumbview::~TThumbview() { FreeCells(); }

void TThumbview::FreeCells() {
  FSelected = -1;
  const bool redraw = HandleAllocated();
  if (redraw) SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  while (!FCells.empty()) {
    delete FCells.back();
    FCells.pop_back();
  }
  ScrollTo(0, 0);
  if (redraw) {
    SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
  FLayout.Count = 0;
  UpdateRange();
}

void TThumbview::SetDirectory(const String& Value) {
  FSelected = -1;
  if (FScanning) return;  // a scan is running: the name is not taken either
  if (!FFirstPaint) {
    FDirectory = Value;
    return;
  }
  if (!Value.empty()) {
    Scan(Value);
  } else {
    FreeCells();
  }
  FDirectory = Value;
  if (!FCells.empty()) SetSelected(0);
}

void TThumbview::Scan(const String& Folder) {
  // The flag is cleared on every way out, so that a failed scan never blocks the next one.
  FScanning = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{FScanning};
  ScanPictureFolder(Folder, [](const String& f) { return TPixIO::GetGIFFrameCount(f); }, FScanned, FSortedList);
  TStringList files;
  files.Assign(FSorted ? &FSortedList : &FScanned);
  FreeCells();
  const int n = std::min(files.Count(), MaxCells);
  if (n == 0) return;
  // Each cell is placed once, where the layout for all of them puts it (linear in the number of
  // pictures); the scroll range follows once at the end.
  FLayout.ViewWidth = Width();
  FLayout.ViewHeight = Height();
  FLayout.Count = n;
  FLayout.Recompute();
  const bool redraw = HandleAllocated();
  if (redraw) SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  try {
    FireEvent(OnStartScanning, this, n - 1);
    for (int i = 0; i < n; ++i) {
      bool stop = false;
      if (OnScanProgress) OnScanProgress(this, i + 1, stop);
      if (stop) break;
      AddCell(files.Strings(i));
    }
    FireEvent(OnStopScanning, this);
  } catch (...) {
    if (redraw) SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
    FLayout.Count = Count();
    UpdateRange();
    throw;
  }
  if (redraw) {
    SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
  if (FLayout.Count != Count()) {  // ended early: the count per line of SMboth follows
    FLayout.Count = Count();
    Relayout();
  }
  UpdateRange();
}

void TThumbview::AddCell(const String& FileName) {
  auto* cell = new TThumbNail(this);
  FCells.push_back(cell);
  cell->SetFilename(FileName);
  if (OnGetTitle) {
    String title;
    // The handler may change our font or hand back one of its own (which stays its own); the
    // cell copies whichever it gets, and ours is freed in any case.
    const auto ours = std::make_unique<TFont>();
    TFont* font = ours.get();
    TColor color = clBtnFace;
    OnGetTitle(this, FileName, title, font, color);
    cell->SetTitleFont(font);
    cell->SetTitleColor(color);
    cell->SetTitle(title);
    cell->SetTitleGiven(true);
  }
  PlaceCell(Count() - 1);
  cell->OnClick = OnClick;
  cell->OnDblClick = OnDblClick;
  cell->Image()->OnClick = OnClick;
  cell->Image()->OnDblClick = OnDblClick;
  cell->SetParent(this);
}

void TThumbview::PlaceCell(int I) {
  const TThumbRect r = FLayout.CellRect(I);
  FCells[size_t(I)]->SetBounds(r.Left - HorzScrollBar().Position, r.Top - VertScrollBar().Position, r.Width, r.Height);
}

void TThumbview::Relayout() {
  FLayout.ViewWidth = Width();
  FLayout.ViewHeight = Height();
  FLayout.Count = Count();
  FLayout.Recompute();
  for (int i = 0; i < Count(); ++i) PlaceCell(i);
  UpdateRange();
}

void TThumbview::OnSize() {
  TScrollBox::OnSize();
  if (Width() != FLayout.ViewWidth || Height() != FLayout.ViewHeight) Relayout();
  FireEvent(OnResize, this);
}

void TThumbview::ShowSelection(int I, bool On) {
  if (I < 0 || I >= Count()) return;
  TThumbNail* c = FCells[size_t(I)];
  c->SetTitleColor(On ? clHighlight : clBtnFace);
  c->TitleFont()->SetColor(On ? clHighlightText : clBtnText);
}

void TThumbview::SetSelected(int Value) {
  if (FCells.empty()) return;
  if (Value >= Count()) Value = -1;
  ShowSelection(FSelected, false);
  FSelected = Value;
  if (Value < 0) return;
  ShowSelection(Value, true);
  if (FAutoScrolling) ScrollCellInView(Value);
}

void TThumbview::ScrollCellInView(int I) {
  if (I < 0 || I >= Count()) return;
  TThumbNail* c = FCells[size_t(I)];
  int x = HorzScrollBar().Position, y = VertScrollBar().Position;
  const Tscrollmode m = FLayout.ScrollMode;
  if (m != SMVertical) {
    if (c->Left() < 0) x += c->Left() - c->Width() / 2;
    else if (c->Left() + c->Width() > ClientWidth()) x += c->Left() + c->Width() - ClientWidth() + FLayout.ThumbGap;
  }
  if (m != SMHorizontal) {
    if (c->Top() < 0) y += c->Top() - c->Height() / 2;
    else if (c->Top() + c->Height() > ClientHeight()) y += c->Top() + c->Height() - ClientHeight() + FLayout.ThumbGap;
  }
  ScrollTo(x, y);
}

String TThumbview::SelectedFile() const {
  return FSelected >= 0 && FSelected < Count() ? FCells[size_t(FSelected)]->Filename() : String();
}

void TThumbview::SetSelectedFile(const String& Value) {
  String dir = ExtractFilePath(Value);
  if (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  SetDirectory(dir);
  for (int i = 0; i < Count(); ++i)
    if (FCells[size_t(i)]->Filename() == Value) {
      SetSelected(i);
      if (!FAutoScrolling) ScrollCellInView(i);  // a file asked for by name is shown in any case
      return;
    }
}

void TThumbview::ViewMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // A click beside every cell clears the selection (HitTest gives -1 there).
  if (!FCells.empty()) SetSelected(FLayout.HitTest(X, Y, HorzScrollBar().Position, VertScrollBar().Position));
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TThumbview::ViewMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
  if (Button != mbRight) return;
  if (auto* menu = dynamic_cast<TPopupMenu*>(PopupMenu())) {
    POINT pt = {X, Y};
    ClientToScreen(Handle(), &pt);
    menu->Popup(pt.x, pt.y, Handle());
  }
}

bool TThumbview::OnPaintMessage() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  HBRUSH b = CreateSolidBrush(ColorRef(Color()));
  FillRect(dc, &ps.rcPaint, b);
  DeleteObject(b);
  EndPaint(FHandle, &ps);
  if (!FFirstPaint) {
    // A folder given before the view was first shown is scanned now.
    FFirstPaint = true;
    SetDirectory(FDirectory);
  }
  return true;
}

LRESULT TThumbview::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) return 1;  // the view paints its whole area itself
  return TScrollBox::WndProc(msg, w, l);
}
