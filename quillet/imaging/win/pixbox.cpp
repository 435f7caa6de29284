#include "pixbox.h"

TPixBox::TPixBox(TComponent* AOwner) : TPixView(AOwner), FProc(new TPixProc(nullptr)), FIO(new TPixIO(nullptr)) {
  FProc->SetAttachedPixBox(this);
  FProc->AutoUndo = true;
  FIO->SetAttachedPixBox(this);
  FIO->UseLZW = false;
}

// The loader and the processing component go before the view they are attached to.
TPixBox::~TPixBox() {
  FProc.reset();
  FIO.reset();
}

void TPixBox::SetNColors(TNColors) {
  Bitmap()->SetPixelFormat(pf24bit);
  FNColors = nc24bit;
}

int GetGIFFrameCount(const String& FileName) { return TPixIO::GetGIFFrameCount(FileName); }
