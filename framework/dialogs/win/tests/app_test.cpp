// The application object's command line, registered window classes and self-owning windows.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

TEST(CommandLine, FirstPlainParameterIsTheFileName) {
  struct Case {
    const char* line;
    const char* file;
  };
  const Case cases[] = {
      {"AfterDll0;0", "AfterDll0;0"},
      {"", ""},
      {"   ", ""},
      {"/s -x Datei.txt zweite", "Datei.txt"},
      {"\"C:\\Programme\\Astrel Corvalen\\a b.txt\" /s", "C:\\Programme\\Astrel Corvalen\\a b.txt"},
      {"-", "-"},
  };
  CWinApp* app = AfxGetApp();
  ASSERT_NE(app, nullptr);
  LPSTR saved = app->m_lpCmdLine;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string line = c.line;
    app->m_lpCmdLine = &line[0];
    CCommandLineInfo info;
    app->ParseCommandLine(info);
    EXPECT_EQ(info.m_strFileName, c.file);
  }
  app->m_lpCmdLine = saved;
  EXPECT_STREQ(AfxGetAppTitle(), "Prüfprogramm");
}

// A window of a registered class: its object is attached from WM_NCCREATE on, handles
// WM_CREATE and WM_TIMER, and deletes itself after its window is gone (as a splash window does).
class CSelfOwned : public CWnd {
 public:
  explicit CSelfOwned(int* deleted) : deleted_(deleted) {}
  ~CSelfOwned() override { ++*deleted_; }
  int OnCreate(LPCREATESTRUCT cs) override {
    attachedAtCreate = FromHandlePermanent(m_hWnd) == this;
    createName = cs->lpszName;
    return CWnd::OnCreate(cs);
  }
  void OnTimer(UINT_PTR) override { DestroyWindow(); }
  void PostNcDestroy() override { delete this; }
  bool attachedAtCreate = false;
  std::string createName;

 private:
  int* deleted_;
};

TEST(Windows, RegisteredClassAndSelfOwnedWindow) {
  LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                                   reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(std::string(cls).rfind("Afx:", 0), 0u);
  EXPECT_EQ(AfxRegisterWndClass(0, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
            cls);
  EXPECT_NE(std::string(AfxRegisterWndClass(CS_DBLCLKS)), std::string(cls));

  int deleted = 0;
  CSelfOwned* w = new CSelfOwned(&deleted);
  ASSERT_TRUE(w->CreateEx(0, cls, "Astrel Corvalen", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr));
  EXPECT_TRUE(w->attachedAtCreate);
  EXPECT_EQ(w->createName, "Astrel Corvalen");
  HWND h = w->m_hWnd;
  EXPECT_EQ(CWnd::FindWindow(nullptr, "Astrel Corvalen")->m_hWnd, h);
  w->SetTimer(1, 1);
  for (int i = 0; i < 500 && deleted == 0; ++i) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  EXPECT_EQ(deleted, 1);
  EXPECT_FALSE(::IsWindow(h));
}

TEST(Windows, TemporaryWrappersAndAttachedObjects) {
  HWND h = ::CreateWindowExA(0, "BUTTON", "&Verbinden", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  CWnd* temp = CWnd::FromHandle(h);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  EXPECT_EQ(CWnd::FromHandle(h), temp);
  EXPECT_EQ(temp->GetWindowText(), "&Verbinden");
  CButton b;
  ASSERT_TRUE(b.SubclassWindow(h));
  EXPECT_EQ(CWnd::FromHandle(h), &b);
  b.SetWindowText("&Trennen");
  EXPECT_EQ(b.GetWindowText(), "&Trennen");
  EXPECT_EQ(b.UnsubclassWindow(), h);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  ::DestroyWindow(h);
  AfxPruneTemporaryWindows();
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

}  // namespace

namespace {

TEST(Library, ApplicationObjectOfALibrary) {
  HMODULE lib = ::LoadLibraryA("dialogs_win_testdll.dll");
  ASSERT_NE(lib, nullptr);
  typedef void(WINAPI * Describe)(char*, int);
  FARPROC proc = ::GetProcAddress(lib, "DescribeLibrary@8");
  if (!proc) proc = ::GetProcAddress(lib, "DescribeLibrary");
  Describe describe = reinterpret_cast<Describe>(reinterpret_cast<void (*)()>(proc));
  ASSERT_NE(describe, nullptr);
  char buf[256] = {};
  describe(buf, sizeof buf);
  EXPECT_STREQ(buf, "1|1|Zeichenkette der Bibliothek – äöü|Prüfbibliothek");
  ::FreeLibrary(lib);
  // The program's own application object is untouched.
  EXPECT_STREQ(AfxGetAppTitle(), "Prüfprogramm");
}

}  // namespace
