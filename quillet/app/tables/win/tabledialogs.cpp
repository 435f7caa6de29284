#include "tabledialogs.h"

#include "messagedlg.h"
#include "pagelogic.h"
#include "tableids.h"

namespace {
const char* const Accept = "\xDC" "bernehmen";
}

TTableDialogBase::TTableDialogBase(TComponent* AOwner, TDialogContext& Context, int IdBlock, const String& Caption,
                                   const String& MenuEntry)
    : TTagDialog(AOwner, Context, IdBlock, Caption, MenuEntry) {
  OnClose = [this](TObject*, TCloseAction&) {
    if (!FAccepted) Exchange()->Clear();
  };
}

TCheckBox* TTableDialogBase::NewCheck(int N, int X, int Y, int W, const String& Caption, bool Checked) {
  return NewCheckBox(this, this, FBlock + ID_CHECK + N, X, Y, W, 20, Caption, Checked);
}

int TSpinField::Value() const {
  const int v = StrToIntDef(Edit->Text(), Min);
  return v < Min ? Min : v > Max ? Max : v;
}

void TSpinField::SetValue(int v) {
  Edit->SetText(IntToStr(v));
  Up->SetPosition(v);
}

// ---- Tfomel ----

Tfomel::Tfomel(TComponent* AOwner, TDialogContext& Context)
    : TTableDialogBase(AOwner, Context, TI_BLOCK, " Titel", "&Beenden") {
  SetClientSize(300, 150);
  NewLabel(10, 10, 200, "Text eingeben");
  Edit1 = NewEdit(1, 10, 28, 280);
  NewLabel(10, 58, 200, "H - Ausrichtung");
  ComboBox1 = NewCombo(1, 10, 76, 150, {"Left", "Center", "Right"}, false);
  SetAlignment(taLeftJustify);
  ColorButton1 = NewButton(1, 180, 110, 110, Accept);
  ColorButton1->Default = true;  // Return after typing the text accepts it
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  OnShow = [this](TObject*) { Edit1->SetFocus(); };
  CreateWindows();
}

void Tfomel::ColorButton1Click() {
  FAccepted = true;
  Exchange()->Add(Edit1->Text());
  Exchange()->Add(ComboBox1->Text());
  Close();
}

void Tfomel::SetAlignment(TGridAlignment A) {
  ComboBox1->SetItemIndex(A == taCenter ? 1 : A == taRightJustify ? 2 : 0);
}

void Tfomel::MenuClick() {
  Exchange()->Clear();
  Close();
}

// ---- Ttabell ----

TSpinField Ttabell::NewSpin(int N, int X, int Y, int Min, int Max, int Value, std::function<void(int)> Changed) {
  TSpinField s{NewEdit(N, X, Y, 50, IntToStr(Value)), new TUpDown(this), Min, Max};
  s.Edit->SetControlId(FBlock + ID_SPIN + N);
  s.Up->SetRange(Min, Max);
  s.Up->SetPosition(Value);
  s.Up->SetBounds(X + 52, Y, 18, 21);
  s.Up->SetControlId(FBlock + ID_UPDOWN + N);
  s.Up->SetParent(this);
  TEdit* e = s.Edit;
  TUpDown* u = s.Up;
  u->OnMouseUp = [e, u](TObject*, TMouseButton, TShiftState, int, int) { e->SetText(IntToStr(u->Position())); };
  // A valid value in the edit becomes the up-down's position, so that an arrow steps from the
  // value shown, also after typing.
  e->OnChange = [e, u, Min, Max, Changed](TObject*) {
    const int v = StrToIntDef(e->Text(), -1);
    if (v < Min || v > Max) return;
    u->SetPosition(v);
    if (Changed) Changed(v);
  };
  return s;
}

Ttabell::Ttabell(TComponent* AOwner, TDialogContext& Context)
    : TTableDialogBase(AOwner, Context, TA_BLOCK, " Tabellen Designer", "&Beenden") {
  SetClientSize(560, 400);
  fzo = new TFormatGrid(this);
  fzo->SetBounds(10, 10, 540, 200);
  fzo->SetDefaultRowHeight(20);
  fzo->SetGridColor(clSilver);
  SetUpDesignerGrid(fzo->Model());
  fzo->SetParent(this);
  fzo->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int Y) { fzoMouseDown(X, Y); };
  fzo->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { fzoMouseUp(); };

  NewLabel(10, 220, 70, "Zeilen");
  // A count is taken at every keystroke; what a smaller count takes away comes back when it
  // grows again, so typing "12" does not lose the columns past the first.
  SpinEdit1 = NewSpin(1, 10, 238, 1, 30, fzo->RowCount(), [this](int v) {
    fzo->Model().SetRowCountKeeping(v);
    // A grid of one row has no room for a fixed title row; it comes back with the second row.
    if (CheckBox2->Checked()) fzo->SetFixedRows(1);
  });
  NewLabel(90, 220, 70, "Spalten");
  SpinEdit2 = NewSpin(2, 90, 238, 1, 15, fzo->ColCount(), [this](int v) { fzo->Model().SetColCountKeeping(v); });
  NewLabel(170, 220, 70, "Border");
  SpinEdit3 = NewSpin(3, 170, 238, 0, 20, 0, nullptr);
  NewLabel(250, 220, 80, "Cellpadding");
  SpinEdit4 = NewSpin(4, 250, 238, 0, 50, 0, nullptr);
  NewLabel(340, 220, 80, "Cellspacing");
  SpinEdit5 = NewSpin(5, 340, 238, 0, 50, 0, nullptr);
  CheckBox1 = NewCheck(1, 10, 270, 130, "Zeilen Titel", true);
  CheckBox1->OnClick = [this](TObject*) { CheckBox1Click(); };
  CheckBox2 = NewCheck(2, 150, 270, 130, "Spalten Titel", true);
  CheckBox2->OnClick = [this](TObject*) { CheckBox2Click(); };
  NewLabel(10, 298, 200, "Tabellen Titel");
  Edit1 = NewEdit(1, 10, 316, 200);
  NewLabel(220, 298, 100, "Position");
  ComboBox1 = NewCombo(1, 220, 316, 100, {"Top", "Bottom"}, false);
  NewLabel(340, 298, 150, "Hintergrund Color");
  Panel3 = NewPanel(3, 340, 316, 100, clWhite);
  cul = new TColorDialog(this);
  cul->FullOpen = true;
  Panel3->OnClick = [this](TObject*) { PickPanelColor(cul, Panel3); };
  ColorButton1 = NewButton(1, 10, 360, 200, Accept);
  ColorButton2 = NewButton(2, 240, 360, 200, "Beenden");
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  RunTitleDialog = [this] {
    Tfomel d(this, FContext);
    d.SetAlignment(PressedAlignment());
    d.ShowModal();
  };
  fzo->SetControlId(TA_BLOCK + ID_GRID);
  CreateWindows();
  // The check box window takes its start state only once it exists.
  CheckBox1->SetChecked(true);
  CheckBox2->SetChecked(true);
}

void Ttabell::fzoMouseDown(int X, int Y) { fzo->MouseToCell(X, Y, FCol, FRow); }

TGridAlignment Ttabell::PressedAlignment() const {
  return CellEditAlignment(fzo->Model(), CheckBox2->Checked(), FCol, FRow);
}

void Ttabell::fzoMouseUp() {
  Exchange()->Clear();
  if (FCol < 0 || FRow < 0) return;  // released outside the cells
  RunTitleDialog();
  TStringList* L = Exchange();
  if (L->Count() < 2) return;
  ApplyCellEdit(fzo->Model(), CheckBox2->Checked(), FCol, FRow, L->Strings(0), L->Strings(1));
}

void Ttabell::CheckBox1Click() {
  TGridFont plain;
  plain.Name = ComboBox1->Font()->Name();
  plain.Size = ComboBox1->Font()->Size();
  plain.Color = ComboBox1->Font()->Color();
  plain.Style = ComboBox1->Font()->Style();
  SetRowTitles(fzo->Model(), CheckBox1->Checked(), plain);
}

void Ttabell::CheckBox2Click() { fzo->SetFixedRows(CheckBox2->Checked() ? 1 : 0); }

void Ttabell::ColorButton1Click() {
  Exchange()->Clear();
  TTableSettings s;
  s.Background = uint32_t(ColorToRGB(Panel3->Color()));
  s.Border = SpinEdit3.Value();
  s.Padding = SpinEdit4.Value();
  s.Spacing = SpinEdit5.Value();
  s.Caption = Edit1->Text();
  s.Position = ComboBox1->Text();
  s.RowTitles = CheckBox1->Checked();
  s.ColTitles = CheckBox2->Checked();
  Exchange()->Add(TableHtml(s, fzo->Model()));
  FAccepted = true;
  Close();
}

void Ttabell::ColorButton2Click() {
  Exchange()->Clear();
  Close();
}

// ---- Tbauf ----

Tbauf::Tbauf(TComponent* AOwner, TDialogContext& Context)
    : TTableDialogBase(AOwner, Context, BA_BLOCK, " Formular erzeugen", "&Beenden") {
  SetClientSize(480, 330);
  NewLabel(10, 8, 460, "Aktivieren sie die Bausteine die das Formular enthalten soll");
  CheckBox1 = NewCheck(1, 10, 34, 120, "Text Area", false);
  CheckBox2 = NewCheck(2, 10, 60, 120, "Eingabefeld", false);
  CheckBox3 = NewCheck(3, 10, 86, 120, "Password", false);
  CheckBox7 = NewCheck(7, 10, 112, 120, "Selektieren", false);
  CheckBox4 = NewCheck(4, 10, 138, 120, "CheckBox", false);
  RadioButton1 = NewCheck(9, 10, 164, 120, "RadioButton", false);
  CheckBox5 = NewCheck(5, 10, 190, 120, "Submit", false);
  CheckBox6 = NewCheck(6, 10, 216, 120, "Reset", false);
  CheckBox8 = NewCheck(8, 10, 250, 220, "Alle Bausteine zentrieren", false);
  NewLabel(250, 250, 80, "Methode");
  ComboBox2 = NewCombo(2, 330, 248, 120, {"Get", "Post"}, false);
  ComboBox2->SetItemIndex(0);
  // Samples of the building blocks, for looking only.
  auto* memo = NewEdit(11, 150, 34, 150);
  memo->SetEnabled(false);
  auto* e1 = NewEdit(12, 150, 60, 150);
  e1->SetEnabled(false);
  auto* e2 = NewEdit(13, 150, 86, 150, "****");
  e2->SetEnabled(false);
  auto* sel = NewCombo(3, 150, 112, 150, {"Item1", "Item2"}, false);
  sel->SetItemIndex(0);
  sel->SetEnabled(false);
  for (auto [n, y, caption] : {std::tuple<int, int, const char*>{1, 188, "Submit"}, {2, 214, "Reset"}}) {
    auto* b = new TButton(this);
    b->SetBounds(150, y, 80, 24);
    b->SetCaption(caption);
    b->SetControlId(BA_BLOCK + 80 + n);
    b->SetEnabled(false);
    b->SetParent(this);
  }
  ColorButton3 = NewButton(3, 10, 290, 200, Accept);
  ColorButton4 = NewButton(4, 250, 290, 200, "Beenden");
  ColorButton3->OnClick = [this](TObject*) { ColorButton3Click(); };
  ColorButton4->OnClick = [this](TObject*) { ColorButton4Click(); };
  CreateWindows();
}

void Tbauf::ColorButton3Click() {
  TFormSettings s;
  s.Center = CheckBox8->Checked();
  s.TextArea = CheckBox1->Checked();
  s.TextField = CheckBox2->Checked();
  s.Password = CheckBox3->Checked();
  s.Select = CheckBox7->Checked();
  s.CheckBox = CheckBox4->Checked();
  s.Radio = RadioButton1->Checked();
  s.Submit = CheckBox5->Checked();
  s.Reset = CheckBox6->Checked();
  s.Method = ComboBox2->Text();
  FormBuilderList(s, *Exchange());
  FAccepted = true;
  Close();
}

void Tbauf::ColorButton4Click() {
  Exchange()->Clear();
  Close();
}

// ---- Tsoform ----

Tsoform::Tsoform(TComponent* AOwner, TDialogContext& Context)
    : TTableDialogBase(AOwner, Context, SO_BLOCK, " Sound Steuerung mit Playliste", "&Beenden") {
  SetClientSize(420, 380);
  TEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4};
  TColorButton** picks[] = {&ColorButton1, &ColorButton2, &ColorButton3, &ColorButton4};
  for (int i = 0; i < 4; ++i) {
    NewLabel(10, 8 + i * 44, 100, "Sound " + IntToStr(i + 1));
    *edits[i] = NewEdit(i + 1, 10, 26 + i * 44, 300);
    *picks[i] = NewButton(i + 1, 320, 24 + i * 44, 40, "...");
    TEdit* e = *edits[i];
    (*picks[i])->OnClick = [this, e](TObject*) { PickSound(e); };
  }
  CheckBox1 = NewCheck(1, 10, 184, 250, "Sound 1 automatisch starten", false);
  NewLabel(10, 212, 200, "Tabellen Titel");
  Edit5 = NewEdit(5, 10, 230, 200);
  NewLabel(230, 212, 60, "Border");
  Panel4 = NewPanel(4, 230, 230, 40);
  Panel4->SetCaption("4");
  UpDown1 = NewUpDown(1, Panel4, 0, 10, 4);
  NewLabel(10, 262, 100, "Ausrichtung");
  ComboBox1 = NewCombo(1, 10, 280, 120, {"Left", "Center", "Right"}, false);
  NewLabel(230, 262, 60, "Loop");
  Panel5 = NewPanel(5, 230, 280, 40);
  Panel5->SetCaption("0");
  UpDown2 = NewUpDown(2, Panel5, 0, 10, 0);
  NewLabel(10, 310, 400, "Die Tabelle kann im Editor jederzeit um weitere");
  NewLabel(10, 326, 400, "Sounds erweitert werden .");
  ColorButton6 = NewButton(6, 10, 348, 180, Accept);
  ColorButton5 = NewButton(5, 220, 348, 180, "Beenden");
  ColorButton6->OnClick = [this](TObject*) { ColorButton6Click(); };
  ColorButton5->OnClick = [this](TObject*) { ColorButton5Click(); };
  sope = new TOpenDialog(this);
  sope->Title = " Midi Sounds einladen ...";
  sope->Filter = "MIDI SOUNDS(*.mid)|*.mid";
  Message = [](const String& Text) { ShowMessage(Text); };
  OnShow = [this](TObject*) { ComboBox1->SetItemIndex(0); };
  CreateWindows();
}

void Tsoform::PickSound(TEdit* Edit) {
  if (!sope->Execute()) return;
  try {
    Edit->SetText(CopyMediaFile(FContext, sope->FileName));
  } catch (const std::exception& e) {
    Message(e.what());
  }
}

void Tsoform::ColorButton6Click() {
  if (Edit1->Text().empty()) {
    Message("Bitte mindestens den Sound > eins < laden !");
    return;
  }
  TSoundSettings s;
  s.Sound[0] = Edit1->Text();
  s.Sound[1] = Edit2->Text();
  s.Sound[2] = Edit3->Text();
  s.Sound[3] = Edit4->Text();
  s.AutoStart = CheckBox1->Checked();
  s.Title = Edit5->Text();
  s.Border = Panel4->Caption();
  s.Align = ComboBox1->Text();
  s.Loop = Panel5->Caption();
  SoundTableList(s, *Exchange());
  FAccepted = true;
  Close();
}

void Tsoform::ColorButton5Click() {
  Exchange()->Clear();
  Close();
}

// ---- registration ----

void RegisterTableDialogs() {
  // The table comes as one text; the form builder's blocks and the sound table's rows one by one.
  // Created at the start after the tag dialogs: the table designer, its title dialog (opened by
  // the designer's grid, no insert dialog of its own), the form builder.
  RegisterInsertDialog(idTable, {DialogFactory<Ttabell>(), [](const TStrings& Exchange, TPageAccess& Page) {
                                   Page.InsertAtCaret(ExchangeItem(Exchange, 0));
                                 }},
                       sfAtStart);
  RegisterStartForm(DialogFactory<Tfomel>());
  RegisterInsertDialog(idFormBuilder, {DialogFactory<Tbauf>(), InsertItemsUpTo(11)}, sfAtStart);
  // The sound table empties the list itself when the user accepts or cancels.
  TInsertDialog sound{DialogFactory<Tsoform>(), InsertItemsUpTo(16)};
  sound.ClearsExchange = false;
  RegisterInsertDialog(idSoundTable, sound);
}
