#include "menus.h"

#include <algorithm>
#include <map>

namespace {
std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> m;
  return m;
}
std::map<HMENU, TMenuItem*>& SubMenus() {
  static std::map<HMENU, TMenuItem*> m;
  return m;
}
UINT gNextCommand = 0xC000;
}  // namespace

UINT NewMenuCommand() { return gNextCommand++; }

TMenuItem::TMenuItem(TComponent* AOwner, const String& ACaption, UINT ACommand)
    : TComponent(AOwner), FCaption(ACaption), FCommand(ACommand ? ACommand : NewMenuCommand()) {
  Commands()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  for (TMenuItem* i : FItems) i->FParent = nullptr;
  auto it = Commands().find(FCommand);
  if (it != Commands().end() && it->second == this) Commands().erase(it);
  if (FHandle) {
    SubMenus().erase(FHandle);
    while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    DestroyMenu(FHandle);
  }
}

TMenuItem* TMenuItem::FindItem(UINT Command) {
  auto it = Commands().find(Command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FindSubMenu(HMENU Menu) {
  auto it = SubMenus().find(Menu);
  return it == SubMenus().end() ? nullptr : it->second;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->FParent) item->FParent->Remove(item);
  item->FParent = this;
  FItems.push_back(item);
  Rebuild();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
  Rebuild();
}

void TMenuItem::SetCaption(const String& v) {
  FCaption = v;
  if (FParent) FParent->Rebuild();
}

void TMenuItem::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  UpdateInParent();
}

void TMenuItem::UpdateInParent() {
  if (!FParent || !FParent->FHandle) return;
  const int index = FParent->IndexOf(this);
  EnableMenuItem(FParent->FHandle, UINT(index), MF_BYPOSITION | (FEnabled ? MF_ENABLED : MF_GRAYED));
  if (FParent->FBarWindow) DrawMenuBar(FParent->FBarWindow);
}

HMENU TMenuItem::Handle() {
  if (!FHandle) {
    FHandle = FIsBar ? CreateMenu() : CreatePopupMenu();
    SubMenus()[FHandle] = this;
    Rebuild();
  }
  return FHandle;
}

void TMenuItem::AppendTo(HMENU Menu) {
  const UINT state = FEnabled ? MF_ENABLED : MF_GRAYED;
  if (IsLine())
    AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
  else if (!FItems.empty() || FAlwaysPopup)
    AppendMenuA(Menu, MF_POPUP | MF_STRING | state, UINT_PTR(Handle()), FCaption.c_str());
  else
    AppendMenuA(Menu, MF_STRING | state, FCommand, FCaption.c_str());
}

void TMenuItem::Rebuild() {
  if (!FHandle) return;
  while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
  for (TMenuItem* i : FItems) i->AppendTo(FHandle);
  // A menu bar shows the merged menus of the active MDI child behind its own.
  if (FIsBar && FMergedItems)
    for (TMenuItem* i : FMergedItems->FItems) i->AppendTo(FHandle);
  if (FBarWindow) DrawMenuBar(FBarWindow);
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) {
  FItems.FIsBar = true;
}

TMainMenu::~TMainMenu() {
  FItems.FMergedItems = nullptr;
  if (FWindow && IsWindow(FWindow) && GetMenu(FWindow) == FItems.FHandle) SetMenu(FWindow, nullptr);
  while (FItems.Count() > 0) FItems.Remove(FItems.Items(0));
}

HMENU TMainMenu::Handle() { return FItems.Handle(); }

void TMainMenu::Merge(TMainMenu* Child) {
  if (Child == this || Child == FMerged) return;
  // Only the merged entries at the end change: what the MDI frame put into the bar of its own
  // (the maximised child's system menu and buttons) stays.
  if (FItems.FHandle && FMerged) {
    for (int n = FMerged->Items()->Count(); n > 0; --n) {
      const int last = GetMenuItemCount(FItems.FHandle) - 1;
      if (last < 0) break;
      RemoveMenu(FItems.FHandle, UINT(last), MF_BYPOSITION);
    }
  }
  FMerged = Child;
  FItems.FMergedItems = Child ? Child->Items() : nullptr;
  if (FItems.FHandle && Child)
    for (TMenuItem* i : Child->Items()->FItems) i->AppendTo(FItems.FHandle);
  if (FWindow) DrawMenuBar(FWindow);
}

void TMainMenu::SetWindow(HWND w) {
  FWindow = w;
  FItems.FBarWindow = w;
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) {}

void TPopupMenu::Popup(int X, int Y, HWND Owner) {
  const UINT cmd = UINT(TrackPopupMenu(FItems.Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                       X, Y, 0, Owner, nullptr));
  if (TMenuItem* item = cmd ? TMenuItem::FindItem(cmd) : nullptr)
    if (item->Enabled()) item->Click();
}
