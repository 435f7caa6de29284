// TWindowStates: the window states of an MDI frame's children, taken before a window beside the
// documents (the image browser) minimises them all, and given back when it closes.
#pragma once

#include <vector>

#include "forms.h"

class TWindowStates {
public:
  // Remembers the state of every child of Frame and which one is active, then minimises them.
  void MinimiseAll(TForm* Frame);
  // Gives each remembered child that is still there its state again (those closed meanwhile are
  // gone, those opened meanwhile keep theirs), the maximised one last, and brings the child that
  // was active to the front. Side, the window that goes, is restored first when maximised:
  // activating a child beside a maximised one would maximise it too.
  void Restore(TForm* Frame, TForm* Side);

private:
  struct TEntry {
    TForm* Window;
    HWND Handle;
    TWindowState State;
  };
  bool Alive(TForm* Frame, const TEntry& E) const;
  std::vector<TEntry> FEntries;
  TForm* FActive = nullptr;
};
