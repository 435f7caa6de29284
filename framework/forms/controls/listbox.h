// TListBox: the system list box (superclassed, so that a class style such as CS_SAVEBITS can
// be added), with its items in a string list and owner drawing through OnDrawItem and
// OnMeasureItem.
#pragma once

#include "controls.h"
#include "lists.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

enum TOwnerDrawStateItem { odSelected = 1, odFocused = 2, odDisabled = 4 };
using TOwnerDrawState = unsigned;

class TListBox;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const TRect& Rect,
                                          TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TListBox : public TWinControl {
public:
  explicit TListBox(TComponent* AOwner);
  const char* ClassName() const override { return "TListBox"; }

  // The items; changes reach the window.
  TStringList* Items() { return &FItems; }
  int ItemIndex() const;
  void SetItemIndex(int v);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int v);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle v);
  int TopIndex() const;
  void SetTopIndex(int v);
  // The item under a client point, or -1.
  int ItemAtPos(int X, int Y) const;
  TRect ItemRect(int Index) const;
  TCanvas* Canvas() { return &FCanvas; }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool DrawItemMessage(DRAWITEMSTRUCT& dis) override;
  bool MeasureItemMessage(MEASUREITEMSTRUCT& mis) override;
  // Default drawing: the item text on the selection or window colour.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

private:
  void FillWindow();
  TStringList FItems;
  int FItemHeight = 13;
  int FItemIndex = -1;
  TListBoxStyle FStyle = lbStandard;
  TCanvas FCanvas;
  bool FFilling = false;
};
