// The standard controls on their Win32 classes: labels, edits, check boxes, push buttons, combo
// boxes, up-down controls; panels (painted here); the tool bar with its image list and the
// status bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "controls.h"

// A control on a system window class. Mouse messages reach the system class as well as the
// OnMouseXxx events; WM_COMMAND and WM_NOTIFY that its parent gets for it come to
// CommandNotify / Notify (TWinControl).
class TStdControl : public TWinControl {
public:
  explicit TStdControl(TComponent* AOwner) : TWinControl(AOwner) {}
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  const String& Caption() const { return FText; }
  void SetCaption(const String& v);
  String Text() const;
  void SetText(const String& v) { SetCaption(v); }

protected:
  void CreateParams(TCreateParams& p) override;
  String FText;
};

class TLabel : public TStdControl {
public:
  explicit TLabel(TComponent* AOwner);
  const char* ClassName() const override { return "TLabel"; }

protected:
  void CreateParams(TCreateParams& p) override;
};

using TKeyPressHandler = std::function<void(TObject* Sender, char& Key)>;

class TEdit : public TStdControl {
public:
  explicit TEdit(TComponent* AOwner);
  const char* ClassName() const override { return "TEdit"; }
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int v);
  bool CommandNotify(int Code, int Id) override;
  TNotifyEvent OnChange;
  TKeyPressHandler OnKeyPress;

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;
  void KeyPress(char& Key) override;

public:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  bool FOnReturnWanted = false;  // Return reaches OnKeyPress instead of the default button

private:
  int FMaxLength = 0;
};

class TCheckBox : public TStdControl {
public:
  explicit TCheckBox(TComponent* AOwner);
  const char* ClassName() const override { return "TCheckBox"; }
  bool Checked() const;
  void SetChecked(bool v);
  bool CommandNotify(int Code, int Id) override;

protected:
  void CreateParams(TCreateParams& p) override;

private:
  bool FChecked = false;
};

class TButton : public TStdControl {
public:
  explicit TButton(TComponent* AOwner);
  const char* ClassName() const override { return "TButton"; }
  int ModalResult = 0;  // a TModalResult given to the form on a click
  bool Default = false;
  bool Cancel = false;
  bool CommandNotify(int Code, int Id) override;
  bool AnswersDialogCommand(int Id) const override;

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;
};

class TComboBox : public TStdControl {
public:
  explicit TComboBox(TComponent* AOwner);
  const char* ClassName() const override { return "TComboBox"; }
  void AddItem(const String& s);
  int ItemIndex() const;
  void SetItemIndex(int i);
  bool CommandNotify(int Code, int Id) override;
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;

private:
  std::vector<String> FItems;
  int FItemIndex = -1;
};

enum TUDOrientation { udHorizontal, udVertical };

class TUpDown : public TStdControl {
public:
  explicit TUpDown(TComponent* AOwner);
  const char* ClassName() const override { return "TUpDown"; }
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  void SetRange(int AMin, int AMax);
  int Position() const;
  void SetPosition(int v);
  TUDOrientation Orientation = udVertical;
  bool Wrap = false;
  bool Notify(NMHDR* Header, LRESULT& Result) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;

private:
  int FMin = 0, FMax = 100, FPosition = 0;
};

enum TBevelCut { bvNone, bvLowered, bvRaised };

// A panel: filled with its colour, a bevel, its caption centred; a container for controls.
class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* AOwner);
  const char* ClassName() const override { return "TPanel"; }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  void SetColor(TColor v) override { TCustomControl::SetColor(v); Invalidate(); }
  TBevelCut BevelOuter = bvRaised;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

protected:
  void Paint() override;
  void CreateParams(TCreateParams& p) override;

private:
  String FCaption;
};

// ---- tool bar and status bar ------------------------------------------------------------------

// An image list of equally sized pictures taken from a bitmap strip resource (magenta is
// transparent).
class TImageList : public TComponent {
public:
  TImageList(TComponent* AOwner, int Width, int Height);
  ~TImageList() override;
  const char* ClassName() const override { return "TImageList"; }
  bool LoadStrip(HINSTANCE Instance, int ResourceId);
  HIMAGELIST Handle() const { return FHandle; }
  int Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

private:
  HIMAGELIST FHandle = nullptr;
  int FWidth, FHeight;
};

class TToolBar;

class TToolButton : public TComponent {
public:
  TToolButton(TToolBar* Bar, int ImageIndex, bool Separator = false);
  const char* ClassName() const override { return "TToolButton"; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  int Command() const { return FCommand; }
  bool Separator() const { return FSeparator; }
  int ImageIndex() const { return FImage; }
  void Click() { if (FEnabled) FireEvent(OnClick, this); }
  TNotifyEvent OnClick;

private:
  TToolBar* FBar;
  int FImage, FCommand;
  bool FSeparator, FEnabled = true;
  String FHint;
  friend class TToolBar;
};

class TToolBar : public TStdControl {
public:
  explicit TToolBar(TComponent* AOwner);
  const char* ClassName() const override { return "TToolBar"; }
  void SetImages(TImageList* Images) { FImages = Images; }
  int ButtonWidth = 43;
  int ButtonCount() const { return int(FButtons.size()); }
  TToolButton* Buttons(int i) const { return FButtons[size_t(i)]; }
  TToolButton* FindButton(int Command) const;
  bool Notify(NMHDR* Header, LRESULT& Result) override;
  bool CommandNotify(int Code, int Id) override;
  void Add(TToolButton* b);

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;

private:
  void AddToWindow(TToolButton* b);
  TImageList* FImages = nullptr;
  std::vector<TToolButton*> FButtons;
  String FTipText;
};

// The command ids of tool buttons (WM_COMMAND from the tool bar).
constexpr int ToolButtonCommandBase = 0xB000;

class TStatusBar : public TStdControl {
public:
  explicit TStatusBar(TComponent* AOwner);
  const char* ClassName() const override { return "TStatusBar"; }
  const String& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const String& v);

protected:
  void CreateParams(TCreateParams& p) override;
  void HandleCreated() override;

private:
  String FSimpleText;
};
