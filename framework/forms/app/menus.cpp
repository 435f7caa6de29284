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

// Whether the entry at Pos of Menu is one of this library's (or a separator) and not one that
// the MDI frame put into its bar for a maximised child (the child's system menu, its buttons).
bool IsOwnEntry(HMENU Menu, int Pos) {
  if (HMENU sub = GetSubMenu(Menu, Pos)) return TMenuItem::FindSubMenu(sub) != nullptr;
  if (GetMenuState(Menu, UINT(Pos), MF_BYPOSITION) & MF_SEPARATOR) return true;
  return TMenuItem::FindItem(GetMenuItemID(Menu, Pos)) != nullptr;
}
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

int TMenuItem::PositionIn(HMENU Menu) const {
  const int count = GetMenuItemCount(Menu);
  for (int pos = 0; pos < count; ++pos) {
    HMENU sub = GetSubMenu(Menu, pos);
    if (sub ? sub == FHandle : GetMenuItemID(Menu, pos) == FCommand) return pos;
  }
  return -1;
}

void TMenuItem::UpdateInParent() {
  if (!FParent) return;
  // An entry of an MDI child's bar shows in the frame's bar while the child's menus are merged.
  for (TMenuItem* menu : {FParent, FParent->FMergedInto}) {
    const int pos = menu && menu->FHandle ? PositionIn(menu->FHandle) : -1;
    if (pos < 0) continue;
    EnableMenuItem(menu->FHandle, UINT(pos), MF_BYPOSITION | (FEnabled ? MF_ENABLED : MF_GRAYED));
    if (menu->FBarWindow) DrawMenuBar(menu->FBarWindow);
  }
}

HMENU TMenuItem::Handle() {
  if (!FHandle) {
    FHandle = FIsBar ? CreateMenu() : CreatePopupMenu();
    SubMenus()[FHandle] = this;
    Rebuild();
  }
  return FHandle;
}

void TMenuItem::InsertInto(HMENU Menu, UINT Pos) {
  const UINT how = MF_BYPOSITION | (FEnabled ? MF_ENABLED : MF_GRAYED);
  if (IsLine())
    InsertMenuA(Menu, Pos, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  else if (!FItems.empty() || FAlwaysPopup)
    InsertMenuA(Menu, Pos, how | MF_POPUP | MF_STRING, UINT_PTR(Handle()), FCaption.c_str());
  else
    InsertMenuA(Menu, Pos, how | MF_STRING, FCommand, FCaption.c_str());
}

void TMenuItem::Rebuild() {
  // A child's bar whose menus are merged shows its entries in the frame's bar as well.
  if (FMergedInto) FMergedInto->Rebuild();
  if (!FHandle) return;
  // Of a bar only this library's entries go and come again: what the MDI frame keeps there for
  // a maximised child stays, its system menu in front and its buttons behind.
  for (int pos = GetMenuItemCount(FHandle) - 1; pos >= 0; --pos)
    if (!FIsBar || IsOwnEntry(FHandle, pos)) RemoveMenu(FHandle, UINT(pos), MF_BYPOSITION);
  UINT at = GetMenuItemCount(FHandle) > 0 && GetSubMenu(FHandle, 0) ? 1 : 0;
  for (TMenuItem* i : FItems) i->InsertInto(FHandle, at++);
  // A menu bar shows the merged menus of the active MDI child behind its own.
  if (FIsBar && FMergedItems)
    for (TMenuItem* i : FMergedItems->FItems) i->InsertInto(FHandle, at++);
  if (FBarWindow) DrawMenuBar(FBarWindow);
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) {
  FItems.FIsBar = true;
}

TMainMenu::~TMainMenu() {
  if (FMerged) FMerged->FItems.FMergedInto = nullptr;
  FItems.FMergedItems = nullptr;
  if (FWindow && IsWindow(FWindow) && GetMenu(FWindow) == FItems.FHandle) SetMenu(FWindow, nullptr);
  while (FItems.Count() > 0) FItems.Remove(FItems.Items(0));
}

HMENU TMainMenu::Handle() { return FItems.Handle(); }

void TMainMenu::Merge(TMainMenu* Child) {
  if (Child == this || Child == FMerged) return;
  if (FMerged) FMerged->FItems.FMergedInto = nullptr;
  FMerged = Child;
  FItems.FMergedItems = Child ? Child->Items() : nullptr;
  if (Child) Child->FItems.FMergedInto = &FItems;
  FItems.Rebuild();
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
