// Help files in the viewer they are made for (Wine's winhlp32). A file at the compiler's limits:
// its topic of the longest paragraphs the compiler takes, as many as a topic may hold, is laid out
// whole, the viewer keeps running, and its memory stays within a bound. Quillet's help: the
// viewer's "Inhalt" button opens the keyword index, and a keyword leads to its topic.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "help_source.h"
#include "help_writer.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

const DWORD kWait = 60000;
// What the viewer may take for the topic at the limits: about 100 MB were measured for it (and
// 22 MB for a small topic), so twice that is a bound a grown topic limit would pass quickly.
const SIZE_T kMemoryBound = 200u << 20;

// A paragraph of exactly `length` characters of words, with its number at either end, so that
// the page shows whether it was laid out whole.
std::string Paragraph(int number, size_t length) {
  const std::string head = "Absatz " + std::to_string(number) + ":", tail = " Ende " + std::to_string(number) + ".";
  std::string text = head;
  static const char* const kWords[] = {"Quillet", "zeigt", "jede", "Seite", "im", "Browser", "und", "speichert", "sie"};
  for (size_t i = 0; text.size() + tail.size() < length; ++i) text += std::string(" ") + kWords[i % 9];
  text.resize(length - tail.size());
  if (text.back() == ' ') text.back() = 'x';
  return text + tail;
}

// The text of the viewer's page (a rich edit control of another process), as code page 1252.
std::string PageText(HWND page) { return testsupport::WholeText(page); }

HWND FindPage(HWND top) { return testsupport::FindVisibleChild(top, "RichEdit"); }

// The viewer's main window of the process, and the page in it.
bool FindViewer(const PROCESS_INFORMATION& pi, HWND& top, HWND& page) {
  top = testsupport::FindTopWindow([&](HWND w, DWORD pid) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    return pid == pi.dwProcessId && IsWindowVisible(w) && lstrcmpiA(cls, "MS_WINHELP") == 0;
  });
  page = top ? FindPage(top) : nullptr;
  return page != nullptr;
}

// The first child of `parent` of class `cls` whose text holds `text` (as UTF-16).
HWND FindChild(HWND parent, const char* cls, const wchar_t* text) {
  struct Search {
    const char* cls;
    const wchar_t* text;
    HWND found;
  } search = {cls, text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM l) __attribute__((stdcall)) -> BOOL {
        Search& s = *reinterpret_cast<Search*>(l);
        char c[64] = {};
        wchar_t t[128] = {};
        GetClassNameA(w, c, sizeof c);
        GetWindowTextW(w, t, 128);
        if (lstrcmpiA(c, s.cls) == 0 && (!*s.text || wcsstr(t, s.text))) {
          s.found = w;
          return FALSE;
        }
        return TRUE;
      },
      LPARAM(&search));
  return search.found;
}

std::string Children(HWND w) {
  std::string all;
  EnumChildWindows(
      w,
      [](HWND c, LPARAM l) __attribute__((stdcall)) -> BOOL {
        char cls[64] = {}, t[64] = {};
        GetClassNameA(c, cls, sizeof cls);
        GetWindowTextA(c, t, sizeof t);
        *reinterpret_cast<std::string*>(l) += std::string(" [") + cls + " " + t + "]";
        return TRUE;
      },
      LPARAM(&all));
  return all;
}

TEST(HelpViewer, TheContentsButtonOpensTheKeywordIndex) {
  std::string file = QUILLET_HELP_FILE;
  for (char& c : file)
    if (c == '/') c = '\\';
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(testsupport::StartProcess(std::string(windows) + "\\winhlp32.exe", "\"" + file + "\"", "", pi));
  HWND top = nullptr, page = nullptr;
  // The contents topic shown: the viewer is ready for its buttons.
  ASSERT_TRUE(testsupport::WaitFor(
      [&] { return FindViewer(pi, top, page) && PageText(page).find("Quillet - Inhalt") != std::string::npos; }, kWait,
      100));
  HWND contents = FindChild(top, "Button", L"Inhalt");
  ASSERT_TRUE(contents);
  PostMessageA(contents, BM_CLICK, 0, 0);
  HWND index = nullptr, list = nullptr;
  ASSERT_TRUE(testsupport::WaitFor(
      [&] {
        index = testsupport::FindTopWindow([&](HWND w, DWORD pid) {
          char cls[32] = {};
          GetClassNameA(w, cls, sizeof cls);
          return pid == pi.dwProcessId && IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0;
        });
        list = index ? FindChild(index, "ListBox", L"") : nullptr;
        return list && SendMessageW(list, LB_GETCOUNT, 0, 0) > 0;
      },
      kWait, 100))
      << "no keyword index" << (index ? " (a dialog without a list)" : "") << Children(index);
  // "Lesezeichen" leads to the topic of the menu "Bearbeiten", which names the bookmark keys.
  const LRESULT item = SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(L"Lesezeichen"));
  ASSERT_GE(item, 0);
  SendMessageW(list, LB_SETCURSEL, WPARAM(item), 0);
  HWND ok = FindChild(index, "Button", L"OK");
  ASSERT_TRUE(ok);
  PostMessageA(ok, BM_CLICK, 0, 0);
  std::string text;
  EXPECT_TRUE(testsupport::WaitFor(
      [&] {
        FindViewer(pi, top, page);
        text = page ? PageText(page) : "";
        return text.find("Lesezeichen setzen: Strg+Umschalt+0 bis 9") != std::string::npos;
      },
      kWait, 200))
      << text.substr(0, 300);
  testsupport::EndProcess(pi, 0, 5000);
}

TEST(HelpViewer, AFileAtTheLimitsOpensWithinItsMemory) {
  using namespace hlpc;
  const int paragraphs = int(kMaxTopicBytes / kMaxParagraphBytes);
  std::string source = "@title Grenzen\n@topic Grenzen Ein Thema an den Grenzen\n";
  for (int i = 1; i <= paragraphs; ++i) source += Paragraph(i, kMaxParagraphBytes) + "\n\n";
  const std::vector<uint8_t> file = WriteHelpFile(ParseHelpSource(source));
  const std::string dir = testsupport::NewTempFolder("hlpcviewer");
  const std::string path = dir + "\\Grenzen.hlp";
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, file.data(), DWORD(file.size()), &written, nullptr) && written == file.size());
  CloseHandle(h);

  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(testsupport::StartProcess(std::string(windows) + "\\winhlp32.exe", "\"" + path + "\"", dir, pi));
  HWND page = nullptr;
  const std::string last = "Ende " + std::to_string(paragraphs) + ".";
  std::string text;
  const bool shown = testsupport::WaitFor(
      [&] {
        HWND top = testsupport::FindTopWindow([&](HWND w, DWORD pid) {
          char cls[32] = {};
          GetClassNameA(w, cls, sizeof cls);
          return pid == pi.dwProcessId && IsWindowVisible(w) && lstrcmpiA(cls, "MS_WINHELP") == 0;
        });
        page = top ? FindPage(top) : nullptr;
        text = page ? PageText(page) : "";
        return text.find(last) != std::string::npos || !testsupport::Running(pi);
      },
      kWait, 200);
  EXPECT_TRUE(shown);
  EXPECT_NE(text.find("Absatz 1:"), std::string::npos) << text.substr(0, 200);
  EXPECT_NE(text.find(last), std::string::npos);
  Sleep(1000);  // what the viewer does after showing the page counts as well
  EXPECT_TRUE(testsupport::Running(pi)) << "the viewer ended";
  PROCESS_MEMORY_COUNTERS m = {};
  m.cb = sizeof m;
  ASSERT_TRUE(GetProcessMemoryInfo(pi.hProcess, &m, sizeof m));
  EXPECT_GT(m.PeakWorkingSetSize, 0u);
  EXPECT_LT(m.PeakWorkingSetSize, kMemoryBound) << "peak working set " << (m.PeakWorkingSetSize >> 20) << " MB";
  printf("winhlp32: peak working set %u MB for %d paragraphs of %u characters\n", unsigned(m.PeakWorkingSetSize >> 20),
         paragraphs, unsigned(kMaxParagraphBytes));
  testsupport::EndProcess(pi, 0, 5000);
  testsupport::RemoveTree(dir);
}

}  // namespace
