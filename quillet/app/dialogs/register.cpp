// The tag dialogs as the main window's commands find them: each with its insert step.
#include "lader.h"
#include "laufer.h"
#include "linker.h"
#include "pagelogic.h"
#include "texter.h"
#include "viform.h"

void RegisterTagDialogs() {
  // The image dialog leaves the five parts of an IMG tag, completed here.
  RegisterInsertDialog(idImage, {DialogFactory<Tlader>(), [](const TStrings& Exchange, TPageAccess& Page) {
                                   Page.InsertAtCaret(ImageTag(Exchange));
                                 }});
  // The link replaces the selected text (the command put it into the list before the dialog), in
  // its line when text follows it there.
  RegisterInsertDialog(idLink, {DialogFactory<Tlinker>(), [](const TStrings& Exchange, TPageAccess& Page) {
                                  String line;
                                  int column = 0;
                                  Page.SelectionEnd(line, column);
                                  Page.DeleteSelection();
                                  Page.InsertAtCaret(LinkReplacement(ExchangeItem(Exchange, 0), line, column));
                                }});
  RegisterInsertDialog(idMarquee, {DialogFactory<Tlaufer>(), InsertFirstLine});
  RegisterInsertDialog(idVideo, {DialogFactory<Tviform>(), InsertFirstLine});
  RegisterInsertDialog(idFont, {DialogFactory<Ttexter>(), InsertFirstLine});
  // Created at the start in this order, after the main window and the info box.
  for (TDialogFactory f : {DialogFactory<Tlader>(), DialogFactory<Tlinker>(), DialogFactory<Tlaufer>(),
                           DialogFactory<Tviform>(), DialogFactory<Ttexter>()})
    RegisterStartForm(f);
}
