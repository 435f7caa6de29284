// The common dialogs (open, save, colour) and the shell: starting a program with a parameter.
#pragma once

#include <windows.h>

#include "classes.h"
#include "colors.h"

class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
  const char* ClassName() const override { return "TOpenDialog"; }
  String Title, Filter, FileName, InitialDir, DefaultExt;
  bool OverwritePrompt = false, HideReadOnly = false;
  virtual bool Execute();

protected:
  bool Run(bool Save);
};

class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  const char* ClassName() const override { return "TSaveDialog"; }
  bool Execute() override;
};

class TColorDialog : public TComponent {
public:
  explicit TColorDialog(TComponent* AOwner) : TComponent(AOwner) {}
  const char* ClassName() const override { return "TColorDialog"; }
  TColor Color = clBlack;
  bool FullOpen = false;
  bool Execute();
};

// Opens File with Parameters through the shell (default verb, normal show state).
bool ShellExecuteFile(HWND Owner, const String& File, const String& Parameters, const String& Directory);
