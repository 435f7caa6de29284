// The helper through which the connection controller talks to the main window: the texts it
// shows, by their ids in the program's string table, the message boxes, and the messages to the
// owner window.
#pragma once

#include <windows.h>

#include "CString.h"

class CStatusHelper {
 public:
  virtual ~CStatusHelper() = default;
  // The text of a string id. The program's texts are the string table of its resources; a
  // program that has none (a test of the controller) gives its own.
  virtual CString GetString(UINT id) const;
  // The text of a string id becomes the text shown next.
  void LoadText(UINT id) { text_ = GetString(id); }
  void SetText(const CString& text) { text_ = text; }
  const CString& GetText() const { return text_; }
  HWND GetOwner() const { return owner_; }
  void SetOwner(HWND owner) { owner_ = owner; }
  // SendMessageA to the owner; 0 without one.
  LRESULT SendToOwner(UINT msg, WPARAM wp, LPARAM lp) const;
  // The text in a message box of the owner, titled with string 5104; returns the box's result.
  virtual int ShowMessage(UINT flags1, UINT flags2 = 0) const;
  // The same under another title.
  virtual int ShowMessageTitled(const char* title, UINT flags) const;

 private:
  CString text_;
  HWND owner_ = nullptr;
};
