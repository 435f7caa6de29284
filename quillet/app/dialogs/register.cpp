// The tag dialogs as the main window's commands find them: each with its insert step, and each
// also created at the program start (after the main window and the info box), in this order.
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
                                 }},
                       sfAtStart);
  // The link replaces the selected text (the command put it into the list before the dialog), in
  // its line when text follows it there.
  RegisterInsertDialog(idLink, {DialogFactory<Tlinker>(), [](const TStrings& Exchange, TPageAccess& Page) {
                                  String line;
                                  int column = 0;
                                  Page.SelectionEnd(line, column);
                                  Page.DeleteSelection();
                                  Page.InsertAtCaret(LinkReplacement(ExchangeItem(Exchange, 0), line, column));
                                }},
                       sfAtStart);
  RegisterInsertDialog(idMarquee, {DialogFactory<Tlaufer>(), InsertFirstLine}, sfAtStart);
  RegisterInsertDialog(idVideo, {DialogFactory<Tviform>(), InsertFirstLine}, sfAtStart);
  RegisterInsertDialog(idFont, {DialogFactory<Ttexter>(), InsertFirstLine}, sfAtStart);
}
