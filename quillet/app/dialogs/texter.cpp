#include "texter.h"

#include "insertids.h"
#include "pagelogic.h"

namespace {
int CALLBACK AddFace(const LOGFONTA* Font, const TEXTMETRICA*, DWORD, LPARAM List) {
  // A face name has at most 32 characters. The enumeration reports a face once for each of its
  // character sets and styles; the list names each face once, where it first came.
  auto* list = reinterpret_cast<TStringList*>(List);
  const String face(Font->lfFaceName, strnlen(Font->lfFaceName, 32));
  if (list->IndexOf(face) < 0) list->Add(face);
  return 1;
}
}  // namespace

Ttexter::Ttexter(TComponent* AOwner, TDialogContext& Context)
    : TTagDialog(AOwner, Context, TX_BLOCK, " Text Optionen", "&Beenden") {
  SetClientSize(460, 300);
  NewLabel(10, 10, 200, "Vorhandene Schriften");
  mem = new TRichMemo(this);
  mem->SetBounds(10, 28, 250, 220);
  mem->SetControlId(TX_BLOCK + ID_FONTLIST);
  mem->SetParent(this);
  NewLabel(280, 10, 100, "Gr\xF6\xDF" "e");
  Panel3 = NewPanel(3, 280, 28, 50);
  Panel3->SetCaption("1");
  UpDown1 = NewUpDown(1, Panel3, 1, 7, 1);
  NewLabel(280, 60, 150, "Font Color");
  Panel4 = NewPanel(4, 280, 78, 100, clBlack);
  NewLabel(280, 110, 170, "Selektierter Font");
  Panel5 = NewPanel(5, 280, 128, 170);
  ColorButton1 = NewButton(1, 10, 262, 210, "\xDC" "bernehmen");
  ColorButton2 = NewButton(2, 240, 262, 210, "Beenden");
  ColorButton1->SetEnabled(false);
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  cop = new TColorDialog(this);
  cop->FullOpen = true;
  Panel4->OnClick = [this](TObject*) { PickPanelColor(cop, Panel4); };
  mem->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { memMouseDown(); };
  OnShow = [this](TObject*) { FormShow(); };
  // The list holds the font names while the dialog is open; closed in any way other than
  // "Übernehmen" (the title bar's close box as well), it inserts nothing.
  OnClose = [this](TObject*, TCloseAction&) {
    if (!FAccepted) Exchange()->Clear();
  };
  CreateWindows();
}

void Ttexter::FormShow() {
  TStringList* list = Exchange();
  list->Clear();
  const HDC dc = GetDC(nullptr);
  EnumFontsA(dc, nullptr, AddFace, LPARAM(list));
  ReleaseDC(nullptr, dc);
  mem->Clear();
  for (int i = 0; i < list->Count(); ++i) {
    mem->SetCurrentFace(list->Strings(i));
    mem->SetFocus();
    mem->AppendLine(list->Strings(i));
  }
}

void Ttexter::memMouseDown() {
  if (mem->LineCount() == 0) return;
  Panel5->SetCaption(mem->Line(mem->CaretLine()));
  ColorButton1->SetEnabled(true);
}

void Ttexter::ColorButton1Click() {
  TStringList* list = Exchange();
  list->Clear();
  list->Add("<Font Size=\"" + Panel3->Caption() + "\" Color=\"#" + HtmlColor(uint32_t(ColorToRGB(Panel4->Color()))) +
            "\" Face=\"" + Panel5->Caption() + "\"> Text </Font>");
  FAccepted = true;
  Close();
}

void Ttexter::ColorButton2Click() {
  Exchange()->Clear();
  Close();
}
