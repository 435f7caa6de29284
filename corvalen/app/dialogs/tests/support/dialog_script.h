// Drives the windows of a modal run from inside it: steps run one after the other on a thread
// timer of the test thread, each repeated until it reports that it is done. Clicks are posted,
// so that the handler runs in the dialog's own loop and may open further boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "window_driver.h"

// The window driver's readers, as the dialog tests have always named them.
using testsupport::ClassOf;
using testsupport::WindowText;

class DialogScript {
 public:
  using Step = std::function<bool()>;  // true = done, go on with the next step
  DialogScript();
  ~DialogScript();
  DialogScript& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // Starts the timer; the steps run while the caller's modal run pumps messages.
  void Start();
  // True when every step ran; a script that does not finish within its time closes the
  // thread's windows so that the modal run ends and the test fails instead of hanging.
  bool Finished() const { return next_ == steps_.size(); }
  bool TimedOut() const { return timedOut_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::vector<Step> steps_;
  size_t next_ = 0;
  UINT_PTR timer_ = 0;
  DWORD started_ = 0;
  bool timedOut_ = false;
  bool inStep_ = false;
};

// The modal run of a dialog that a test only reads: `show` runs it (DoModal, Show, ...) while a
// script waits for the window titled `title`, hands it to `read` and presses `button`. The run's
// result and whether the script got through.
struct ModalRun {
  INT_PTR result;
  bool finished;
};
ModalRun RunModal(const std::string& title, const std::function<void(HWND)>& read,
                  const std::function<INT_PTR()>& show, int button = IDOK);

// A data folder of the router for one test: %TEMP%\<name>, created when missing and registered as
// the machine's "PATH" value, as the installation would. Returns the folder (without a final "\").
std::string MakeRouterFolder(const std::string& name);

// A visible top-level window of this thread with that exact title, or nullptr.
HWND FindThreadWindow(const std::string& title);
// The same among dialog windows only (message boxes).
HWND FindMessageBox(const std::string& title);
// A visible dialog window of this thread other than `except` (a message box over it).
HWND FindOtherDialog(HWND except);
std::string ItemText(HWND dlg, int id);
// The lines of the dialog's list box `id`, from the top.
std::vector<std::string> ListItems(HWND dlg, int id);
// Posts a button click to the dialog (BN_CLICKED of the control), as testsupport::Click.
inline void PostClick(HWND dlg, int id) { testsupport::Click(dlg, id); }
// The text of a message box (its static text).
std::string MessageBoxText(HWND box);
// The tool tip text the dialog's tool tip control holds for a child, "" for none.
std::string ToolTipText(HWND dlg, int id);

// A message box of the test thread with that title, answered with `button`; its text in *text
// (unless text is null).
// False (the step repeats) while there is none.
DialogScript::Step AnswerBox(const std::string& title, std::string* text, int button = IDOK);
// Once no other dialog stands over *wnd (the box or file dialog before is gone), a click on its
// control `id`. False (the step repeats) until then.
DialogScript::Step ClickWhenAlone(HWND* wnd, int id);
// A value of the user's settings key of the router as stored, "<missing>" when there is none.
std::string UserSetting(const char* name);
void SetUserSetting(const char* name, const char* value);
