// What the tests of Quillet's insert dialogs share: a fixture holding what a dialog gets of the
// program (the exchange list, the media stream, a working folder) with a dialog opened modeless
// for direct driving. The road through the main window is driven in win/tests/dialog_roads_test.cpp.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

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
