// A program built like the router: the library's WinMain, an application object whose
// InitInstance runs everything (here: the tests) and returns FALSE, a main dialog run modally
// as the application's main window.
#include <gtest/gtest.h>

#include "test_resources.h"
#include "test_support.h"

namespace {

class CMainTestApp : public CWinApp {
 public:
  CMainTestApp() : CWinApp("Astrel Corvalen") {}
  BOOL InitInstance() override {
    ++initCalls;
    AfxEnableControlContainer();
    AfxInitRichEdit2();
    testing::InitGoogleTest(&__argc, __argv);
    result = RUN_ALL_TESTS();
    return FALSE;  // no message loop: the program ends here
  }
  int ExitInstance() override { return result; }
  int initCalls = 0;
  int result = 1;
};

CMainTestApp theMainApp;

class CMainDlg : public CDialog {
 public:
  CMainDlg() : CDialog(IDD_FORM) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    owner = ::GetWindow(m_hWnd, GW_OWNER);
    SetTimer(1, 1);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    KillTimer(id);
    MessageBoxCloser closer(IDYES);
    answer = AfxMessageBox(IDS_QUESTION, MB_YESNO | MB_ICONQUESTION, IDS_TITLE);
    closer.Wait();
    boxTitle = closer.title;
    PostMessage(WM_CLOSE);  // as the program ends itself: through the cancel path
  }
  void OnCancel() override {
    ++cancels;
    CDialog::OnCancel();
  }
  BOOL DestroyWindow() override {
    mainAtDestroy = AfxGetMainWnd() == this;
    return CDialog::DestroyWindow();
  }
  HWND owner = reinterpret_cast<HWND>(1);
  int answer = 0, cancels = 0;
  bool mainAtDestroy = false;
  std::string boxTitle;
};

TEST(Program, StartsThroughWinMainWithTheApplicationObject) {
  EXPECT_EQ(AfxGetApp(), &theMainApp);
  EXPECT_EQ(theMainApp.initCalls, 1);
  EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(nullptr));
  EXPECT_EQ(theMainApp.m_hInstance, ::GetModuleHandleA(nullptr));
  ASSERT_NE(theMainApp.m_lpCmdLine, nullptr);
  CCommandLineInfo info;
  theMainApp.ParseCommandLine(info);
  EXPECT_EQ(info.m_strFileName, "") << "flags are not the file name";
  EXPECT_STREQ(AfxGetAppTitle(), "Astrel Corvalen");
}

TEST(Program, MainDialogRunsModallyAsTheMainWindow) {
  CMainDlg dlg;
  theMainApp.m_pMainWnd = &dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.owner, nullptr) << "the main window has no owner";
  EXPECT_EQ(dlg.answer, IDYES);
  EXPECT_EQ(dlg.boxTitle, "Astrel Corvalen 2.0");
  EXPECT_EQ(dlg.cancels, 1);
  EXPECT_TRUE(dlg.mainAtDestroy);
  EXPECT_EQ(AfxGetMainWnd(), nullptr) << "forgotten with its window";
}

}  // namespace
