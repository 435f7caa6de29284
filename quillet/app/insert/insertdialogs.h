// The insert dialogs and windows that the main window's commands open, and what they may use of
// the program: a dialog gets a context (the exchange list, the working folder, the stream for
// media copies) and knows nothing of the main window. Each registered dialog brings its own
// insert step, which puts what the dialog left in the exchange list into the active page.
// A command whose dialog is not registered has its menu entry and tool button disabled. The
// controls these dialogs and the new-page dialog share are made by controlbuilders.h.
#pragma once

#include <functional>
#include <vector>

#include "forms.h"
#include "lists.h"
#include "streams.h"

enum TInsertDialogKind {
  idImage, idLink, idMarquee, idVideo, idFont, idTable, idFormBuilder, idSoundTable,
  idImageBrowser, idCompressor, idInsertDialogCount
};

// What a dialog may use of the program while it is open.
struct TDialogContext {
  // The exchange list: a dialog appends the lines it built when the user confirms, and empties
  // it when the user cancels.
  TStringList* Exchange = nullptr;
  // The working folder with its trailing backslash (the program folder + "DATEN\").
  String WorkFolder;
  // Where the pictures, sounds and videos chosen for the page the dialog works on are copied
  // (with its trailing backslash): beside a page with a file of its own, so that its preview and
  // its site find them under their bare names; the working folder for a page without one.
  String MediaFolder;
  // The stream through which media files are copied.
  TMemoryStream* Stream = nullptr;
  // The folder the image browser opens on (that of the page opened last, else the working
  // folder).
  String PictureFolder;
  // What the main window does for a window beside the documents: when it is activated or
  // painted (the document commands wait) and when it closes (its History entry goes, its tool
  // button comes back).
  std::function<void(TForm* Window)> WindowActive, WindowClosed;
};

// Copies a media file chosen for the page into the context's media folder (replacing a file of
// that name) and returns its bare name. A file chosen from that folder itself stays as it is.
String CopyMediaFile(TDialogContext& Context, const String& File);
// The same into the working folder, for a file chosen for no page (the image browser's copy).
String CopyToWorkFolder(TDialogContext& Context, const String& File);

// What an insert step may do with the active page.
class TPageAccess {
public:
  virtual ~TPageAccess() = default;
  // Inserts text at the caret (a selection is not replaced; the caret ends behind the text).
  virtual void InsertAtCaret(const String& Text) = 0;
  virtual void DeleteSelection() = 0;
  // Where the selection ends: the text of its last line and the column it ends at.
  virtual void SelectionEnd(String& Line, int& Column) = 0;
};

using TDialogFactory = std::function<TForm*(TComponent* Owner, TDialogContext& Context)>;
// The factory of a dialog class D with the constructor D(Owner, Context).
template <class D> TDialogFactory DialogFactory() {
  return [](TComponent* Owner, TDialogContext& Context) -> TForm* { return new D(Owner, Context); };
}
// Puts the exchange list of a confirmed dialog (never empty) into the page.
using TInsertStep = std::function<void(const TStrings& Exchange, TPageAccess& Page)>;

struct TInsertDialog {
  TDialogFactory Create;
  // Null for a dialog that inserts nothing (it then needs no document window either).
  TInsertStep Insert;
  // False for a dialog that empties the exchange list itself (the sound table).
  bool ClearsExchange = true;
  // True for a window that opens beside the documents as an MDI child instead of a modal dialog.
  bool Window = false;
  explicit operator bool() const { return bool(Create); }
};

// Whether the program also creates a registered dialog at its start: such start forms are owned by
// the application and never shown (each command creates a fresh instance of its dialog).
enum TStartForm { sfOnCommandOnly, sfAtStart };

// Registers Kind's dialog (a second registration of a kind replaces its dialog and keeps the
// start form it recorded first).
void RegisterInsertDialog(TInsertDialogKind Kind, TInsertDialog Dialog, TStartForm Start = sfOnCommandOnly);
// A start form that is no insert dialog of its own (the table designer's title dialog).
void RegisterStartForm(TDialogFactory Create);
// The start forms in the order they were registered.
const std::vector<TDialogFactory>& StartForms();
void UnregisterInsertDialog(TInsertDialogKind Kind);
const TInsertDialog& InsertDialog(TInsertDialogKind Kind);

// Item I of the exchange list, empty past its end.
String ExchangeItem(const TStrings& Exchange, int I);
// The insert steps that several dialogs share: item 0 followed by a line break; and each of the
// items 0..Last that is not empty, each as its own insertion.
void InsertFirstLine(const TStrings& Exchange, TPageAccess& Page);
TInsertStep InsertItemsUpTo(int Last);
