#include "richmemo.h"

#include <richedit.h>

TRichMemo::TRichMemo(TComponent* AOwner) : TStdControl(AOwner) {
  static const HMODULE lib = LoadLibraryA("riched20.dll");
  if (!lib) throw EInvalidOperation("Die Bibliothek RICHED20.DLL kann nicht geladen werden");
  FWidth = 200;
  FHeight = 150;
  FTabStop = true;
}

void TRichMemo::CreateParams(TCreateParams& p) {
  TStdControl::CreateParams(p);
  p.BaseClassName = "RichEdit20A";
  p.Style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TRichMemo::Clear() {
  SetWindowTextA(Handle(), "");
  FLines = 0;
}

void TRichMemo::SetCurrentFace(const String& Face) {
  CHARFORMATA cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_FACE;
  lstrcpynA(cf.szFaceName, Face.c_str(), LF_FACESIZE);
  CHARRANGE sel{};
  SendMessageA(Handle(), EM_EXGETSEL, 0, LPARAM(&sel));
  SendMessageA(Handle(), EM_SETCHARFORMAT, sel.cpMin != sel.cpMax ? SCF_SELECTION : SCF_DEFAULT, LPARAM(&cf));
}

void TRichMemo::AppendLine(const String& Line) {
  CHARRANGE end{-1, -1};
  SendMessageA(Handle(), EM_EXSETSEL, 0, LPARAM(&end));
  const String text = FLines > 0 ? "\r" + Line : Line;
  SendMessageA(Handle(), EM_REPLACESEL, FALSE, LPARAM(text.c_str()));
  ++FLines;
}

int TRichMemo::LineCount() const { return FLines; }

String TRichMemo::Line(int Index) const {
  const HWND h = const_cast<TRichMemo*>(this)->Handle();
  const LRESULT start = SendMessageA(h, EM_LINEINDEX, WPARAM(Index), 0);
  if (start < 0) return String();
  const int len = int(SendMessageA(h, EM_LINELENGTH, WPARAM(start), 0));
  String s(size_t(len < 2 ? 2 : len) + 1, '\0');
  *reinterpret_cast<WORD*>(&s[0]) = WORD(s.size());
  const int got = int(SendMessageA(h, EM_GETLINE, WPARAM(Index), LPARAM(&s[0])));
  s.resize(size_t(got < 0 ? 0 : got));
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return s;
}

int TRichMemo::CaretLine() const {
  const HWND h = const_cast<TRichMemo*>(this)->Handle();
  CHARRANGE sel{};
  SendMessageA(h, EM_EXGETSEL, 0, LPARAM(&sel));
  return int(SendMessageA(h, EM_EXLINEFROMCHAR, 0, LPARAM(sel.cpMin)));
}
