// Dialogs from the resource template run in the library's modal loop: message map, data
// exchange, timers, tool-tip relay through pre-translation, the exception firewall.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "test_resources.h"
#include "test_support.h"

namespace {

const UINT WM_STEP = WM_USER + 1;

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AfxInitRichEdit2()); }
};

// The form with a message map: a button, a user message and a numbered sequence of steps that
// a test posts to drive the dialog from inside its own modal loop.
class CFormDlg : public CDialog {
 public:
  CFormDlg() : CDialog(IDD_FORM) {}

  const CMessageMap* GetMessageMap() const override {
    using M = CMessageMapOf<CFormDlg>;
    static const CMessageMap map(CDialog::GetMessageMap(),
                                 {M::Clicked(IDC_ZAEHLEN, &CFormDlg::OnZaehlen),
                                  M::Message(WM_STEP, &CFormDlg::OnStep),
                                  M::Control(LBN_DBLCLK, IDC_LIST, &CFormDlg::OnListDouble),
                                  M::Command(40002, &CFormDlg::OnMenuCommand)});
    return &map;
  }

  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_NAME, m_name);
    DDV_MaxChars(dx, m_name, 10);
    DDX_Text(dx, IDC_COUNT, m_count);
    DDV_MinMaxInt(dx, m_count, 0, 9999);
    DDX_Check(dx, IDC_AUTO, m_auto);
    DDX_CBIndex(dx, IDC_COMBO, m_provider);
    DDX_LBString(dx, IDC_LIST, m_entry);
    DDX_Radio(dx, IDC_AGREE, m_agree);
    DDX_Control(dx, IDC_COMBO, m_combo);
  }

  BOOL OnInitDialog() override {
    CComboBox* combo = static_cast<CComboBox*>(GetDlgItem(IDC_COMBO));
    for (const char* p : {"Günstig", "Mittel", "Teuer"}) combo->AddString(p);
    CListBox* list = static_cast<CListBox*>(GetDlgItem(IDC_LIST));
    for (const char* p : {"Eins", "Zwei", "Drei"}) list->AddString(p);
    CDialog::OnInitDialog();
    ++initCalls;
    if (endInInit) EndDialog(IDCANCEL);
    if (closeInInit) SendMessage(WM_CLOSE);
    if (!steps.empty()) PostMessage(WM_STEP, 0);
    return TRUE;
  }

  BOOL DestroyWindow() override {
    ++destroyCalls;
    return CDialog::DestroyWindow();
  }
  void OnCancel() override {
    visibleAtCancel = IsWindowVisible();
    CDialog::OnCancel();
  }

  void OnZaehlen() {
    ++clicks;
    SetDlgItemText(IDC_STATUS, CString::Formatted("%d Klicks", clicks));
  }
  void OnListDouble() { ++listDoubleClicks; }
  // Timers arrive only when the queue is otherwise empty, so the dialog is visible by then.
  void OnTimer(UINT_PTR id) override {
    if (id == 9) {
      KillTimer(9);
      visibleAtTimer = IsWindowVisible();
      PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    CDialog::OnTimer(id);
  }
  void OnMenuCommand() { ++menuCommands; }
  LRESULT OnStep(WPARAM, LPARAM) {
    size_t i = step++;
    if (i < steps.size()) steps[i](this);
    if (step < steps.size()) PostMessage(WM_STEP);
    return 0;
  }

  std::vector<std::function<void(CFormDlg*)>> steps;
  size_t step = 0;
  CString m_name = "Müller";
  int m_count = 42;
  int m_auto = 1;
  int m_provider = 2;
  CString m_entry = "Zwei";
  int m_agree = 1;
  CComboBox m_combo;
  int clicks = 0, listDoubleClicks = 0, menuCommands = 0, initCalls = 0, destroyCalls = 0;
  bool endInInit = false, closeInInit = false, visibleAtCancel = true, visibleAtTimer = false;
};

void Click(CWnd* dlg, int id) {
  dlg->PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(*dlg, id)));
}

TEST_F(FormTest, ModalRunRoutesMapEntriesAndEndsThroughVirtualDestroyWindow) {
  CFormDlg dlg;
  HWND seen = nullptr;
  bool visibleAtFirstStep = true;
  dlg.steps = {
      [&](CFormDlg* d) {
        seen = d->m_hWnd;
        visibleAtFirstStep = d->IsWindowVisible();
        Click(d, IDC_ZAEHLEN);
        Click(d, IDC_ZAEHLEN);
        d->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_LIST, LBN_DBLCLK), 0);
        d->PostMessage(WM_COMMAND, MAKEWPARAM(40002, 0), 0);
      },
      [&](CFormDlg* d) { d->SetTimer(9, 1); },
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(visibleAtFirstStep) << "not shown while messages wait";
  EXPECT_TRUE(dlg.visibleAtTimer) << "shown once the queue ran empty";
  EXPECT_EQ(dlg.clicks, 2);
  EXPECT_EQ(dlg.listDoubleClicks, 1);
  EXPECT_EQ(dlg.menuCommands, 1);
  EXPECT_EQ(dlg.destroyCalls, 1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_FALSE(::IsWindow(seen));
  EXPECT_EQ(dlg.m_combo.m_hWnd, nullptr) << "controls are detached with their window";
}

TEST_F(FormTest, DataExchangeFillsControlsAndReadsThemBack) {
  CFormDlg dlg;
  CString name, count, status;
  int comboSel = -1, listSel = -1;
  UINT autoState = 9, yes = 9, no = 9;
  UINT limit = 0;
  dlg.steps = {
      [&](CFormDlg* d) {
        d->GetDlgItemText(IDC_NAME, name);
        d->GetDlgItemText(IDC_COUNT, count);
        autoState = d->IsDlgButtonChecked(IDC_AUTO);
        comboSel = d->m_combo.GetCurSel();
        listSel = static_cast<CListBox*>(d->GetDlgItem(IDC_LIST))->GetCurSel();
        yes = d->IsDlgButtonChecked(IDC_AGREE);
        no = d->IsDlgButtonChecked(IDC_DISAGREE);
        limit = static_cast<CEdit*>(d->GetDlgItem(IDC_NAME))->GetLimitText();
        d->SetDlgItemText(IDC_NAME, "Schäfer");
        d->SetDlgItemText(IDC_COUNT, " +17 ");
        d->CheckDlgButton(IDC_AUTO, BST_UNCHECKED);
        d->m_combo.SetCurSel(0);
        static_cast<CListBox*>(d->GetDlgItem(IDC_LIST))->SetCurSel(2);
        d->CheckRadioButton(IDC_AGREE, IDC_DISAGREE, IDC_AGREE);
        d->m_count = 0;  // the count is read back, so this must not survive
      },
      [&](CFormDlg* d) {
        EXPECT_TRUE(d->UpdateData(TRUE));
        Click(d, IDOK);
      },
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(name, "Müller");
  EXPECT_EQ(count, "42");
  EXPECT_EQ(autoState, UINT(BST_CHECKED));
  EXPECT_EQ(comboSel, 2);
  EXPECT_EQ(listSel, 1);
  EXPECT_EQ(yes, UINT(BST_UNCHECKED));
  EXPECT_EQ(no, UINT(BST_CHECKED));
  EXPECT_EQ(limit, 10u);
  EXPECT_EQ(dlg.m_name, "Schäfer");
  EXPECT_EQ(static_cast<unsigned char>(dlg.m_name[3]), 0xE4) << "code page 1252";
  EXPECT_EQ(dlg.m_count, 17);
  EXPECT_EQ(dlg.m_auto, 0);
  EXPECT_EQ(dlg.m_provider, 0);
  EXPECT_EQ(dlg.m_entry, "Drei");
  EXPECT_EQ(dlg.m_agree, 0);
}

// A refused value keeps the dialog open with a message and the focus on the field.
TEST_F(FormTest, RefusedValuesKeepTheDialogOpen) {
  struct Case {
    const char* name;
    const char* count;
    const char* message;
  };
  const Case cases[] = {
      {"Kurz", "zwölf", "Bitte geben Sie eine ganze Zahl ein."},
      {"Kurz", "10000", "Bitte geben Sie eine ganze Zahl zwischen 0 und 9999 ein."},
      {"Elf Zeichen", "1", "Bitte geben Sie nicht mehr als 10 Zeichen ein."},
      {"Kurz", "99999999999", "Bitte geben Sie eine ganze Zahl ein."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    CFormDlg dlg;
    bool stillOpen = false;
    HWND focus = nullptr;
    std::unique_ptr<MessageBoxCloser> closer;
    dlg.steps = {
        [&](CFormDlg* d) {
          // Past the limit of the field, as a program could set it.
          d->SendDlgItemMessage(IDC_NAME, EM_LIMITTEXT, 0);
          d->SetDlgItemText(IDC_NAME, c.name);
          d->SetDlgItemText(IDC_COUNT, c.count);
          closer.reset(new MessageBoxCloser(IDOK));
          d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        [&](CFormDlg* d) {
          stillOpen = d->ContinueModal();
          focus = ::GetFocus();
          d->SetDlgItemText(IDC_NAME, "Kurz");
          d->SetDlgItemText(IDC_COUNT, "5");
          Click(d, IDOK);
        },
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_TRUE(closer && closer->Wait());
    EXPECT_EQ(closer->text, c.message);
    EXPECT_EQ(closer->title, "Prüfprogramm");
    EXPECT_TRUE(stillOpen);
    EXPECT_NE(focus, nullptr);
    EXPECT_EQ(dlg.m_count, 5);
  }
}

TEST_F(FormTest, DialogEndedDuringInitialisationIsNeverShown) {
  for (bool viaClose : {false, true}) {
    CFormDlg dlg;
    dlg.endInInit = !viaClose;
    dlg.closeInInit = viaClose;  // as the main dialog closes itself after a failed start-up check
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(dlg.destroyCalls, 1);
    if (viaClose) {
      EXPECT_FALSE(dlg.visibleAtCancel);
    }
  }
}

// Keys pass the dialog's pre-translation, which gives them the dialog keyboard: Esc cancels,
// Enter presses the default button.
TEST_F(FormTest, EscapeAndEnterThroughPreTranslation) {
  struct Case {
    UINT key;
    INT_PTR result;
  };
  for (const Case& c : {Case{VK_ESCAPE, IDCANCEL}, Case{VK_RETURN, IDOK}}) {
    CFormDlg dlg;
    dlg.steps = {[&](CFormDlg* d) {
      HWND edit = ::GetDlgItem(*d, IDC_NAME);
      ::SetFocus(edit);
      ::PostMessageA(edit, WM_KEYDOWN, c.key, 1);
      ::PostMessageA(edit, WM_KEYUP, c.key, 0xC0000001);
    }};
    EXPECT_EQ(dlg.DoModal(), c.result);
  }
}

// The end of the program ends a modal run; the quit message stays for the outer loop.
TEST_F(FormTest, QuitMessageEndsTheModalRun) {
  CFormDlg dlg;
  dlg.steps = {[](CFormDlg*) { ::PostQuitMessage(3); }};
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, WPARAM(3));
}

TEST_F(FormTest, MissingTemplateFails) {
  CDialog dlg(4711);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

// A nested modal run disables its owner and gives it back afterwards.
TEST_F(FormTest, NestedModalRunDisablesItsOwner) {
  CFormDlg outer;
  bool ownerEnabledInside = true, ownerEnabledAfter = false;
  INT_PTR inner = 0;
  outer.steps = {[&](CFormDlg* o) {
    CFormDlg dlg;
    dlg.m_pParentWnd = o;
    dlg.steps = {[&](CFormDlg* d) {
      ownerEnabledInside = o->IsWindowEnabled();
      Click(d, IDCANCEL);
    }};
    inner = dlg.DoModal();
    ownerEnabledAfter = o->IsWindowEnabled();
    Click(o, IDOK);
  }};
  EXPECT_EQ(outer.DoModal(), IDOK);
  EXPECT_EQ(inner, IDCANCEL);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_TRUE(ownerEnabledAfter);
}

// Window timers reach OnTimer, which passes on to the default handling.
class CTimerDlg : public CDialog {
 public:
  CTimerDlg() : CDialog(IDD_FORM) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(5, 10);
    SetTimer(3, 1);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    if (id == 3) {
      KillTimer(3);
      ++once;
    } else if (id == 5 && ++ticks == 3) {
      KillTimer(5);
      EndDialog(IDOK);
    }
    CDialog::OnTimer(id);
  }
  int ticks = 0, once = 0;
};

TEST_F(FormTest, TimersReachOnTimer) {
  CTimerDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.ticks, 3);
  EXPECT_EQ(dlg.once, 1);
}

// Every child control with a string of its id gets a tip; messages to the controls reach the
// tip control through the dialog's PreTranslateMessage.
class CTipDlg : public CDialog {
 public:
  CTipDlg() : CDialog(IDD_FORM) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_tip.Create(this);
    m_tip.Activate(TRUE);
    added = m_tip.AddToolsForChildren(this);
    // Count the relayed events the tip control receives.
    s_old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(m_tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountRelay)));
    HWND edit = ::GetDlgItem(m_hWnd, IDC_NAME);
    s_target = edit;
    ::PostMessageA(edit, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    ::PostMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
  }
  void OnOK() override {
    nameTip = m_tip.GetText(GetDlgItem(IDC_NAME));
    countTip = m_tip.GetText(GetDlgItem(IDC_COUNT));
    statusTip = m_tip.GetText(GetDlgItem(IDC_STATUS));
    count = m_tip.GetToolCount();
    ::SetWindowLongPtrA(m_tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_old));
    CDialog::OnOK();
  }
  static LRESULT CALLBACK CountRelay(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == TTM_RELAYEVENT) {
      const MSG* msg = reinterpret_cast<const MSG*>(lp);
      if (msg->hwnd == s_target && (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN)) ++s_relayed;
    }
    return ::CallWindowProcA(s_old, w, m, wp, lp);
  }
  CToolTipCtrl m_tip;
  int added = 0, count = 0;
  CString nameTip, countTip, statusTip;
  static WNDPROC s_old;
  static HWND s_target;
  static int s_relayed;
};
WNDPROC CTipDlg::s_old = nullptr;
HWND CTipDlg::s_target = nullptr;
int CTipDlg::s_relayed = 0;

TEST_F(FormTest, ToolTipsPerControlIdAndRelayThroughPreTranslation) {
  CTipDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.added, 4) << "name, count, check box and button have strings";
  EXPECT_EQ(dlg.count, 4);
  EXPECT_EQ(dlg.nameTip, "Geben Sie hier Ihren Namen ein.");
  EXPECT_EQ(dlg.countTip, AfxLoadString(IDC_COUNT)) << "a tip longer than 80 characters is kept whole";
  EXPECT_GT(dlg.countTip.GetLength(), 80);
  EXPECT_EQ(dlg.statusTip, "");
  EXPECT_EQ(CTipDlg::s_relayed, 2);
}

// An exception leaving a handler is reported and the dialog goes on.
class CThrowDlg : public CDialog {
 public:
  CThrowDlg() : CDialog(IDD_FORM) {}
  const CMessageMap* GetMessageMap() const override {
    using M = CMessageMapOf<CThrowDlg>;
    static const CMessageMap map(CDialog::GetMessageMap(), {M::Clicked(IDC_ZAEHLEN, &CThrowDlg::OnZaehlen),
                                                            M::Message(WM_USER + 5, &CThrowDlg::OnNet)});
    return &map;
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(1, 1);
    PostMessage(WM_COMMAND, MAKEWPARAM(IDC_ZAEHLEN, BN_CLICKED), 0);
    PostMessage(WM_USER + 5);
    return TRUE;
  }
  void OnZaehlen() { throw std::runtime_error("Leitung belegt"); }
  LRESULT OnNet(WPARAM, LPARAM) { throw CInternetException(ERROR_INTERNET_CANNOT_CONNECT); }
  void OnTimer(UINT_PTR) override {
    KillTimer(1);
    EndDialog(IDOK);
    throw CFileException(CFileException::generic);
  }
};

TEST_F(FormTest, ExceptionsFromHandlersAreReportedAndTheDialogGoesOn) {
  ReportCollector reports;
  CThrowDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(ReportCollector::reports.size(), 3u);
  EXPECT_EQ(ReportCollector::reports[0], "Ein unerwarteter Fehler ist aufgetreten: Leitung belegt.");
  EXPECT_EQ(ReportCollector::reports[1].rfind("Ein unerwarteter Fehler ist aufgetreten: ", 0), 0u);
  EXPECT_GT(ReportCollector::reports[1].size(), 45u) << "carries WinInet's text";
  EXPECT_EQ(ReportCollector::reports[2], "Ein unerwarteter Fehler ist aufgetreten: Die Datei konnte nicht geöffnet, gelesen oder geschrieben werden.");
}

TEST_F(FormTest, ModelessDialogLivesUntilDestroyed) {
  CFormDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FORM));
  HWND h = dlg.m_hWnd;
  EXPECT_EQ(CWnd::FromHandlePermanent(h), &dlg);
  EXPECT_EQ(dlg.initCalls, 1);
  EXPECT_EQ(dlg.GetDlgItem(IDC_NAME)->GetWindowText(), "Müller");
  EXPECT_EQ(dlg.GetDlgItem(IDC_NAME), dlg.GetDlgItem(IDC_NAME)) << "one wrapper per window";
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ZAEHLEN, BN_CLICKED), 0);
  EXPECT_EQ(dlg.clicks, 1);
  CString status;
  dlg.GetDlgItemText(IDC_STATUS, status);
  EXPECT_EQ(status, "1 Klicks");
  EXPECT_TRUE(dlg.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  EXPECT_TRUE(dlg.GetExStyle() & WS_EX_TOPMOST);
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);

  // A modeless dialog goes with its object.
  {
    CFormDlg scoped;
    ASSERT_TRUE(scoped.Create(IDD_FORM));
    h = scoped.m_hWnd;
  }
  EXPECT_FALSE(::IsWindow(h));
}

// The end of the Windows session reaches OnQueryEndSession, whose answer is the message's result,
// and OnEndSession with whether the session ends; a dialog that does not override them lets the
// session end.
class CSessionDlg : public CDialog {
 public:
  CSessionDlg() : CDialog(IDD_FORM) {}
  BOOL OnQueryEndSession() override {
    ++queries;
    return allow;
  }
  void OnEndSession(BOOL ending) override { endings += ending ? "j" : "n"; }
  BOOL allow = FALSE;
  int queries = 0;
  std::string endings;
};

TEST_F(FormTest, TheSessionsEndReachesItsHandlers) {
  CSessionDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_FORM));
  EXPECT_EQ(FALSE, ::SendMessageA(dlg.m_hWnd, WM_QUERYENDSESSION, 0, 0));
  dlg.allow = TRUE;
  EXPECT_EQ(TRUE, ::SendMessageA(dlg.m_hWnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
  EXPECT_EQ(2, dlg.queries);
  ::SendMessageA(dlg.m_hWnd, WM_ENDSESSION, FALSE, 0);
  ::SendMessageA(dlg.m_hWnd, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ("nj", dlg.endings);
  CFormDlg plain;
  ASSERT_TRUE(plain.Create(IDD_FORM));
  EXPECT_EQ(TRUE, ::SendMessageA(plain.m_hWnd, WM_QUERYENDSESSION, 0, 0));
}

}  // namespace
