#include "windowstates.h"

void TWindowStates::MinimiseAll(TForm* Frame) {
  FEntries.clear();
  FActive = Frame->ActiveMDIChild();
  for (int i = 0; i < Frame->MDIChildCount(); ++i) {
    TForm* f = Frame->MDIChildren(i);
    FEntries.push_back({f, f->Handle(), f->WindowState()});
  }
  for (const TEntry& e : FEntries) e.Window->SetWindowState(wsMinimized);
}

// A child still counts as the remembered one when both its object and its window are those seen
// then (a new page could take the address of a closed one).
bool TWindowStates::Alive(TForm* Frame, const TEntry& E) const {
  for (int i = 0; i < Frame->MDIChildCount(); ++i)
    if (Frame->MDIChildren(i) == E.Window && E.Window->Handle() == E.Handle) return true;
  return false;
}

void TWindowStates::Restore(TForm* Frame, TForm* Side) {
  if (Side && Side->WindowState() == wsMaximized) Side->SetWindowState(wsNormal);
  for (TWindowState pass : {wsMinimized, wsNormal, wsMaximized})
    for (const TEntry& e : FEntries)
      if (e.State == pass && Alive(Frame, e)) e.Window->SetWindowState(e.State);
  for (const TEntry& e : FEntries)
    if (e.Window == FActive && Alive(Frame, e))
      SendMessageA(Frame->ClientHandle(), WM_MDIACTIVATE, WPARAM(e.Handle), 0);
  FEntries.clear();
  FActive = nullptr;
}
