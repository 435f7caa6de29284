// Forms and the application: TApplication (message loop, hint, help file, exception display),
// TScreen (the forms and the active one), TForm (top-level windows, modal forms, the MDI frame
// with its client window and MDI children). The message boxes are in messagedlg.h, the input
// box in inputquery.h.
#pragma once

#include <windows.h>

#include "controls.h"

class TMainMenu;
class TMenuItem;

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poScreenCenter };
// fbSizeable: a resizable frame with minimise and maximise boxes; fbSingle: a fixed frame with
// only the system menu (modal forms: a minimised modal form would leave its disabled owner with
// nothing to restore it from); fbDialog: a dialog frame with only the system menu.
enum TFormBorder { fbSizeable, fbSingle, fbDialog };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A control that answers its accelerator character (Alt + letter) anywhere on its form.
class TDialogCharTarget {
public:
  virtual ~TDialogCharTarget() = default;
  // True when Ch is this control's accelerator and the control acted on it.
  virtual bool DialogChar(char Ch) = 0;
};

// Sent to a form to free it after its close (caFree); the form is deleted outside its handlers.
constexpr UINT CM_RELEASE = WM_APP + 0x100;

class TForm : public TWinControl {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  const char* ClassName() const override { return "TForm"; }

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle v) { FFormStyle = v; }  // before the window exists
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition v) { FPosition = v; }
  TFormBorder BorderStyle() const { return FBorder; }
  void SetBorderStyle(TFormBorder v) { FBorder = v; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* m);
  void SetClientSize(int W, int H);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);

  void Show();
  void Close();
  void Release() { FReleasing = true; Post(CM_RELEASE); }
  bool Releasing() const { return FReleasing; }
  // Shows the form and runs messages until its modal result is set. Meanwhile every other
  // enabled top-level window of the thread is disabled; exactly those are enabled again when it
  // ends, however deeply modal forms nest.
  int ShowModal();
  bool Modal() const { return FModal; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int v) { FModalResult = v; }
  bool TakeModalResult(int Result) override { SetModalResult(Result); return true; }
  virtual bool CloseQuery();

  // ---- MDI frame ----
  HWND ClientHandle() const { return FClient; }
  int MDIChildCount() const;
  TForm* MDIChildren(int I) const;
  TForm* ActiveMDIChild() const;

  // The control of this form that took the keyboard focus last (nullptr when none or when it
  // went away).
  TWinControl* ActiveControl() const { return FActiveControl; }
  void Cascade() { if (FClient) SendMessageA(FClient, WM_MDICASCADE, 0, 0); }

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnActivate, OnResize, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

  // Runs OnCreate: a form's constructor builds its controls, then calls this (the class
  // library's order: the form's fields exist before its creation handler runs).
  void DoCreate() { FireEvent(OnCreate, this); }
  // Offers an accelerator character to the form's controls; true when one took it.
  bool DialogChar(char Ch);

protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWindowHandle(const TCreateParams& p) override;
  void HandleCreated() override;
  bool OnPaintMessage() override;
  void OnSize() override;
  void RecordActiveControl(TWinControl* Control, bool Taken) override;

private:
  TWinControl* FActiveControl = nullptr;
  static LRESULT CALLBACK FrameDefProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  void PlaceClient();
  String FCaption;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TFormBorder FBorder = fbSizeable;
  TMainMenu* FMenu = nullptr;
  HWND FClient = nullptr;
  bool FModal = false;
  int FModalResult = mrNone;
  bool FDestroyed = false;
  bool FReleasing = false;
};

// ---- TScreen ----------------------------------------------------------------------------------

class TScreen {
public:
  TForm* ActiveForm() const { return FActive; }
  int FormCount() const { return int(FForms.size()); }
  TForm* Forms(int i) const { return FForms[size_t(i)]; }
  TNotifyEvent OnActiveFormChange;

  void AddForm(TForm* f) { FForms.push_back(f); }
  void RemoveForm(TForm* f);
  void SetActiveForm(TForm* f);
  // Tells the handler again (a child came or went without a change of the active form).
  void ActiveFormChanged() { FireEvent(OnActiveFormChange, nullptr); }

private:
  std::vector<TForm*> FForms;
  TForm* FActive = nullptr;
};
extern TScreen* Screen;

// ---- TApplication -----------------------------------------------------------------------------

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }

  void Initialize();
  // Creates a form owned by the application; the first becomes the main form.
  template <typename F>
  F* CreateForm() {
    F* f = new F(this);
    if (!FMainForm) FMainForm = f;
    return f;
  }
  TForm* MainForm() const { return FMainForm; }
  void Run();  // shows the main form and runs the message loop until the main form closes
  void Terminate() { FTerminated = true; PostQuitMessage(0); }
  bool Terminated() const { return FTerminated; }
  void ProcessMessages();
  // One message; false at WM_QUIT (which is left in the queue for the outer loop).
  bool HandleMessage();

  String ExeName() const;
  const String& Title() const;
  void SetTitle(const String& v);
  const String& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const String& v) { FHelpFile = v; }
  // Windows Help: jump to a topic by its id.
  bool HelpJump(const String& TopicId);
  const String& Hint() const { return FHint; }
  void SetHint(const String& v);
  TNotifyEvent OnHint;
  HWND Handle() const;

  // The message box of the application (caption: the title).
  int MessageBox(const String& Text, const String& Caption, UINT Flags);

private:
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  String FHelpFile, FHint;
};
extern TApplication* Application;
