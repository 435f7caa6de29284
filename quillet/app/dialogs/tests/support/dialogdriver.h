// What the tests of Quillet's insert dialogs share: a fixture holding what a dialog gets of the
// program (the exchange list, the media stream, a working folder) with a dialog opened modeless
// for direct driving, and the driver of the road through the main window: the menu command opens
// its registered dialog modally, and a timer drives the dialog once it shows.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "childwin.h"
#include "commands.h"
#include "forms.h"
#include "insertdialogs.h"
#include "lists.h"
#include "streams.h"

// The lines of a list, for comparing them whole.
inline std::vector<String> Lines(const TStrings& L) {
  std::vector<String> v;
  for (int i = 0; i < L.Count(); ++i) v.push_back(L.Strings(i));
  return v;
}

class DialogTest : public ::testing::Test {
protected:
  TApplication App;
  // What the dialogs get of the program: an exchange list, a working folder and a media stream
  // of this test.
  TStringList ExchangeList;
  TMemoryStream MediaStream;
  TDialogContext Context;
  TStringList* Exchange = &ExchangeList;
  void SetUp() override {
    App.Initialize();
    Context.Exchange = Exchange;
    Context.Stream = &MediaStream;
  }
  // A folder of this test below the temporary folder, with its DATEN\ (which becomes the
  // context's working folder); returns the folder with its trailing backslash.
  String MakeWorkFolder(const String& Name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const String work = String(tmp) + Name + "\\";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA((work + "DATEN").c_str(), nullptr);
    Context.WorkFolder = work + "DATEN\\";
    return work;
  }
  // A dialog on this test's context, shown modeless.
  template <class D> std::unique_ptr<D> Open() {
    std::unique_ptr<D> d(new D(&App, Context));
    d->Show();
    App.ProcessMessages();
    return d;
  }
};

// The document window the program start opened ("/neu").
inline TMDIChild* StartDocument() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* d = dynamic_cast<TMDIChild*>(Screen->Forms(i))) return d;
  return nullptr;
}

inline bool CommandEnabled(unsigned Command) {
  return SendMessageA(Application->Handle(), QM_COMMANDENABLED, Command, 0) == 1;
}

// The dialog the command opened, and what the timer does with it once it is visible.
inline std::function<void(TForm*)> gDrive;
inline TForm* gDialog = nullptr;
inline void CALLBACK DriveDialog(HWND, UINT, UINT_PTR Id, DWORD) {
  if (!gDialog || !IsWindowVisible(gDialog->Handle())) return;
  KillTimer(nullptr, Id);
  gDrive(gDialog);
}

// The registered dialog with its insert step, created so that the timer finds it.
template <class D> void RegisterDriven(TInsertDialogKind Kind) {
  TInsertDialog d = InsertDialog(Kind);
  d.Create = [](TComponent* Owner, TDialogContext& C) -> TForm* { return gDialog = new D(Owner, C); };
  RegisterInsertDialog(Kind, d);
}

// Runs a menu command of the main window; Drive works the dialog it opens, which must close it.
inline void RunCommand(unsigned Command, std::function<void(TForm*)> Drive) {
  gDrive = std::move(Drive);
  SetTimer(nullptr, 0, 20, DriveDialog);
  SendMessageA(Application->Handle(), WM_COMMAND, Command, 0);
  gDialog = nullptr;
}
