#include "confi.h"

#include "commands.h"
#include "pagelogic.h"

TForm1::TForm1(TComponent* AOwner, TDialogContext& Context) : TForm(AOwner), FContext(Context) {
  SetCaption(" Quillet - Formulardesigner");
  SetBorderStyle(fbSingle);
  SetPosition(poScreenCenter);
  BuildMenu();
  SetClientSize(481, 322);
  BuildPageFields();
  BuildMediaFields();
  BuildColourFields();
  BuildButtons();
  BuildFrameSet();
  BuildFileDialogs();
  OnShow = [this](TObject*) { FormShow(); };
  Handle();
}

void TForm1::BuildMenu() {
  MainMenu1 = new TMainMenu(this);
  auto* prog = new TMenuItem(this, "&Programm");
  prog->SetAlwaysPopup(true);
  MainMenu1->Items()->Add(prog);
  auto* quit = new TMenuItem(this, "Beenden");
  quit->OnClick = [this](TObject*) { ColorButton2Click(); };
  prog->Add(quit);
  SetMenu(MainMenu1);
}

// Name, title and author of the page; Return moves on to the next of the three.
void TForm1::BuildPageFields() {
  NewLabel(this, this, 10, 10, 150, "Documenten Name");
  Edit1 = NewEdit(this, this, NP_EDIT + 1, 10, 28, 220, "");
  NewLabel(this, this, 10, 56, 150, "Documenten Titel");
  Edit3 = NewEdit(this, this, NP_EDIT + 3, 10, 74, 220, "");
  NewLabel(this, this, 10, 102, 150, "Meta Name  -  Autor");
  Edit2 = NewEdit(this, this, NP_EDIT + 2, 10, 120, 220, "");
  for (TEdit* e : {Edit1, Edit2, Edit3}) e->FOnReturnWanted = true;
  Edit1->OnKeyPress = [this](TObject*, char& k) { if (k == '\r') { k = 0; Edit3->SetFocus(); } };
  Edit3->OnKeyPress = [this](TObject*, char& k) { if (k == '\r') { k = 0; Edit2->SetFocus(); } };
  Edit2->OnKeyPress = [this](TObject*, char& k) { if (k == '\r') { k = 0; Edit1->SetFocus(); } };
}

// Background picture and sound with their "..." buttons, and the sound's loop count.
void TForm1::BuildMediaFields() {
  NewLabel(this, this, 250, 10, 200, "Hintergrund Bild");
  Panel2 = NewPanel(this, this, NP_PANEL + 2, 250, 28, 180, 21, clWindow);
  ColorButton3 = NewButton(this, this, NP_BUTTON + 3, 436, 26, 35, "...");
  NewLabel(this, this, 250, 56, 200, "Hintergrund Sound");
  Panel3 = NewPanel(this, this, NP_PANEL + 3, 250, 74, 180, 21, clWindow);
  ColorButton4 = NewButton(this, this, NP_BUTTON + 4, 436, 72, 35, "...");
  NewLabel(this, this, 250, 102, 100, "Loop");
  Panel5 = NewPanel(this, this, NP_PANEL + 5, 250, 120, 50, 21, clWindow);
  Panel5->SetCaption("1");
  UpDown1 = NewUpDown(this, this, NP_UPDOWN + 1, Panel5, 1, 100, 1, udHorizontal);
}

// The four page colours (a click picks a colour) and the fixed background.
void TForm1::BuildColourFields() {
  NewLabel(this, this, 10, 156, 75, "Hintergrund");
  Panel4 = NewPanel(this, this, NP_PANEL + 4, 10, 174, 60, 21, clWhite);
  NewLabel(this, this, 90, 156, 60, "Link");
  Panel6 = NewPanel(this, this, NP_PANEL + 6, 90, 174, 60, 21, clBlue);
  NewLabel(this, this, 170, 156, 60, "A - Link");
  Panel7 = NewPanel(this, this, NP_PANEL + 7, 170, 174, 60, 21, clRed);
  NewLabel(this, this, 250, 156, 60, "V - Link");
  Panel8 = NewPanel(this, this, NP_PANEL + 8, 250, 174, 60, 21, clPurple);
  for (TPanel* p : {Panel4, Panel6, Panel7, Panel8}) p->OnClick = [this, p](TObject*) { PanelColorClick(p); };
  NewLabel(this, this, 330, 156, 145, "Hintergrund Eigenschaft");
  CheckBox1 = NewCheckBox(this, this, NP_CHECK + 1, 330, 176, 120, 18, "Fixiert");
}

void TForm1::BuildButtons() {
  ColorButton1 = NewButton(this, this, NP_BUTTON + 1, 10, 280, 150, "Document Erstellen");
  ColorButton5 = NewButton(this, this, NP_BUTTON + 5, 170, 280, 140, "Frames Setzen");
  ColorButton2 = NewButton(this, this, NP_BUTTON + 2, 320, 280, 150, "Beenden");
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  ColorButton3->OnClick = [this](TObject*) { CopyMedia(bi, Panel2); };
  ColorButton4->OnClick = [this](TObject*) { CopyMedia(so, Panel3); };
  ColorButton5->OnClick = [this](TObject*) { ColorButton5Click(); };
}

// The frame set, shown by "Frames Setzen" over the whole dialog.
void TForm1::BuildFrameSet() {
  Panel10 = NewPanel(this, this, NP_PANEL + 10, 0, 0, 481, 322, clBtnFace);
  Panel10->BevelOuter = bvRaised;
  Panel10->SetVisible(false);
  CheckBox2 = NewCheckBox(this, Panel10, NP_CHECK + 2, 10, 10, 200, 18, "Frame Set aktivieren");
  NewLabel(this, Panel10, 10, 40, 140, "Frameset Cols - Daten");
  Edit4 = NewEdit(this, Panel10, NP_EDIT + 4, 10, 58, 60, "155");
  Edit4->SetMaxLength(4);
  Edit5 = NewEdit(this, Panel10, NP_EDIT + 5, 80, 58, 60, "*");
  NewLabel(this, Panel10, 160, 40, 60, "Border");
  Panel11 = NewPanel(this, Panel10, NP_PANEL + 11, 160, 58, 40, 21, clWindow);
  Panel11->SetCaption("4");
  UpDown2 = NewUpDown(this, Panel10, NP_UPDOWN + 2, Panel11, 0, 10, 4);  // starts at the border the field shows
  NewLabel(this, Panel10, 10, 90, 200, "Doc. Name   -  . htm");
  Edit6 = NewEdit(this, Panel10, NP_EDIT + 6, 10, 108, 200, "");
  NewLabel(this, Panel10, 240, 90, 200, "Doc. Titel");
  Edit7 = NewEdit(this, Panel10, NP_EDIT + 7, 240, 108, 200, "");
  NewLabel(this, Panel10, 10, 140, 200, "Frameset Rows - Daten");
  Edit8 = NewEdit(this, Panel10, NP_EDIT + 8, 10, 158, 60, "40");
  Edit9 = NewEdit(this, Panel10, NP_EDIT + 9, 80, 158, 60, "60");
  Edit8->SetMaxLength(4);
  Edit9->SetMaxLength(4);
  NewLabel(this, Panel10, 10, 186, 200, "Doc. Name 1  -  .htm");
  Edit10 = NewEdit(this, Panel10, NP_EDIT + 10, 10, 204, 200, "");
  NewLabel(this, Panel10, 240, 186, 200, "Doc. Titel 1");
  Edit11 = NewEdit(this, Panel10, NP_EDIT + 11, 240, 204, 200, "");
  NewLabel(this, Panel10, 10, 232, 200, "Doc. Name 2  -  .htm");
  Edit12 = NewEdit(this, Panel10, NP_EDIT + 12, 10, 250, 200, "");
  NewLabel(this, Panel10, 240, 232, 200, "Doc. Titel 2");
  Edit13 = NewEdit(this, Panel10, NP_EDIT + 13, 240, 250, 200, "");
  ColorButton6 = NewButton(this, Panel10, NP_BUTTON + 6, 320, 286, 150, "Abbrechen");
  ColorButton6->OnClick = [this](TObject*) { ColorButton6Click(); };
  CheckBox2->OnClick = [this](TObject*) {
    if (CheckBox2->Checked()) ColorButton6->SetCaption("\xDC" "bernehmen");
  };
}

void TForm1::BuildFileDialogs() {
  Colo = new TColorDialog(this);
  Colo->FullOpen = true;
  bi = new TOpenDialog(this);
  bi->Title = "Hintergrund Bild Laden ...";
  bi->Filter = "Alle Dateien(*.bmp;*.jpg;*.gif;*.png)|*.bmp;*.jpg;*.gif;*.png";
  so = new TOpenDialog(this);
  so->Title = "Sound Datei Laden ...";
  so->Filter = "Sound Dateien (*.wav;*.mid;*.au;*.aif)|*.wav;*.mid;*.au;*.aif";
}

void TForm1::FormShow() {
  Panel5->SetCaption(IntToStr(UpDown1->Position()));
  Edit1->SetFocus();
}

void TForm1::ColorButton1Click() {
  TNewPageSettings s;
  s.DocumentName = Edit1->Text();
  s.Author = Edit2->Text();
  s.Title = Edit3->Text();
  s.SoundFile = Panel3->Caption();
  s.LoopCount = Panel5->Caption();
  s.PictureFile = Panel2->Caption();
  s.Background = uint32_t(ColorToRGB(Panel4->Color()));
  s.Link = uint32_t(ColorToRGB(Panel6->Color()));
  s.ALink = uint32_t(ColorToRGB(Panel7->Color()));
  s.VLink = uint32_t(ColorToRGB(Panel8->Color()));
  s.Fixed = CheckBox1->Checked();
  s.Frames = CheckBox2->Checked();
  s.Cols1 = Edit4->Text();
  s.Cols2 = Edit5->Text();
  s.Border = Panel11->Caption();
  s.LeftSrc = Edit6->Text();
  s.LeftName = Edit7->Text();
  s.Rows1 = Edit8->Text();
  s.Rows2 = Edit9->Text();
  s.Row1Src = Edit10->Text();
  s.Row1Name = Edit11->Text();
  s.Row2Src = Edit12->Text();
  s.Row2Name = Edit13->Text();
  AppendNewPageList(s, *FContext.Exchange);
  Close();
}

void TForm1::ColorButton2Click() {
  FContext.Exchange->Clear();
  Close();
}

void TForm1::CopyMedia(TOpenDialog* Dialog, TPanel* Target) {
  Dialog->FileName.clear();
  if (!Dialog->Execute()) return;
  const String name = CopyMediaFile(FContext, Dialog->FileName);
  Target->SetCaption(name);
}

void TForm1::PanelColorClick(TPanel* Panel) { PickPanelColor(Colo, Panel); }

void TForm1::ColorButton5Click() {
  Panel10->SetVisible(true);
  BringWindowToTop(Panel10->Handle());
  for (TColorButton* b : {ColorButton5, ColorButton1, ColorButton2}) b->SetEnabled(false);
}

void TForm1::ColorButton6Click() {
  Panel10->SetVisible(false);
  for (TColorButton* b : {ColorButton5, ColorButton1, ColorButton2}) b->SetEnabled(true);
}
