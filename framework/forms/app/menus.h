// Menus: TMenuItem (a caption, hint, enabled and checked state, a click handler and sub-items),
// TMainMenu (the menu bar of a form) and TPopupMenu. Every item has a command id of its own;
// WM_COMMAND of a menu reaches the item through FindItem.
#pragma once

#include <windows.h>

#include "classes.h"

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner, const String& ACaption = "", UINT ACommand = 0);
  ~TMenuItem() override;
  const char* ClassName() const override { return "TMenuItem"; }

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  UINT Command() const { return FCommand; }
  int Count() const { return int(FItems.size()); }
  TMenuItem* Items(int i) const { return FItems[size_t(i)]; }
  TMenuItem* Parent() const { return FParent; }
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);  // takes the item out (not freed)
  bool IsLine() const { return FCaption == "-"; }
  HMENU Handle();                // the submenu of this item (made on first use)
  void Click() { FireEvent(OnClick, this); }
  TNotifyEvent OnClick;

  static TMenuItem* FindItem(UINT Command);
  static TMenuItem* FindSubMenu(HMENU Menu);
  // A submenu even while it has no items (a menu that gets its items at run time).
  void SetAlwaysPopup(bool v) { FAlwaysPopup = v; }

private:
  void Rebuild();
  void UpdateInParent();
  // The position of this item in Menu (its submenu or its command found there), -1 if absent.
  // In an MDI frame's bar that is not its index: the frame puts a maximised child's system menu
  // before the bar's own items and its buttons after them.
  int PositionIn(HMENU Menu) const;
  void InsertInto(HMENU Menu, UINT Pos);
  bool FIsBar = false, FAlwaysPopup = false;
  TMenuItem* FMergedItems = nullptr;  // a bar's merged menus: the active MDI child's bar items
  TMenuItem* FMergedInto = nullptr;   // a child's bar: the frame's bar that shows its items
  HWND FBarWindow = nullptr;
  String FCaption, FHint;
  bool FEnabled = true;
  UINT FCommand;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  HMENU FHandle = nullptr;
  friend class TMainMenu;
};

class TMainMenu : public TComponent {
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  const char* ClassName() const override { return "TMainMenu"; }
  TMenuItem* Items() { return &FItems; }
  HMENU Handle();
  // The window whose menu bar this is (redrawn after a change).
  void SetWindow(HWND w);
  HWND Window() const { return FWindow; }
  // The menus of the active MDI child join this (the frame's) menu bar after its own items
  // while the child is active; nullptr takes them away again.
  void Merge(TMainMenu* Child);
  TMainMenu* Merged() const { return FMerged; }

private:
  TMenuItem FItems;
  HMENU FHandle = nullptr;
  HWND FWindow = nullptr;
  TMainMenu* FMerged = nullptr;
  friend class TMenuItem;
};

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* AOwner);
  const char* ClassName() const override { return "TPopupMenu"; }
  TMenuItem* Items() { return &FItems; }
  // Shows the menu at a screen point and runs the chosen item.
  void Popup(int X, int Y, HWND Owner);

private:
  TMenuItem FItems;
};

// A fresh command id for a menu item made at run time (ids from 0xC000 on).
UINT NewMenuCommand();
