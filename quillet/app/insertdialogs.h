// The dialogs and windows that the main window's insert commands open, registered by the modules
// that provide them. A command whose dialog is not registered has its menu entry and tool button
// disabled.
#pragma once

#include <functional>

#include "forms.h"

enum TInsertDialogKind {
  idImage, idLink, idMarquee, idVideo, idFont, idTable, idFormBuilder, idSoundTable,
  idImageBrowser, idCompressor, idInsertDialogCount
};
using TFormFactory = std::function<TForm*(TComponent* Owner)>;

void RegisterInsertDialog(TInsertDialogKind Kind, TFormFactory Factory);
const TFormFactory& InsertDialog(TInsertDialogKind Kind);
