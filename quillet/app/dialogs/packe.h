// Tpaform: the compressor window. The user picks a page, compresses it with THTMLCompressor, sees
// its size before and after, and saves the result under a name of his choice. It works on files
// only; the open document windows are not touched.
#pragma once

#include "dialogs.h"
#include "htmlcompressor.h"
#include "tagdialog.h"

class Tpaform : public TTagDialog {
public:
  Tpaform(TComponent* AOwner, TDialogContext& Context);
  const char* ClassName() const override { return "Tpaform"; }

  TEdit *Edit1, *Edit2;      // "HTML Seite", "Neuer Seitenname ..."
  TPanel *Panel2, *Panel3;   // "ungepackt", "gepackt" (bytes)
  TColorButton *ColorButton1, *ColorButton2, *ColorButton3, *ColorButton4;  // "...", "Packen", "Speichern", "Beenden"
  TOpenDialog* hpa;
  THTMLCompressor* tml;

  void ColorButton1Click();
  void ColorButton2Click();
  void ColorButton3Click();

  // How the window reports a failed load or save (a message box; tests replace it).
  std::function<void(const String&)> Message;

protected:
  void MenuClick() override { Close(); }

private:
  String FStartFolder;  // where "..." starts: the working folder, then the last picked page's folder
  String FPicked;       // the page last picked
};

// Registers the compressor window (tool button 14); it needs no document and inserts nothing.
void RegisterCompressorWindow();
