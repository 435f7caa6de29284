// The text viewer, terms, information, user-data and free-minutes dialogs, driven under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "AccountDialogs.h"
#include "TermsInfoDialogs.h"
#include "TipMarkup.h"
#include "TippDesTages.h"
#include "dialog_script.h"

namespace {

// Bold or underline state of one character of a rich edit control.
DWORD Effects(HWND edit, long at) {
  CHARRANGE cr = {at, at + 1};
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  CHARFORMATA cf = {};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_BOLD | CFM_UNDERLINE;
  ::SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return cf.dwEffects & (CFE_BOLD | CFE_UNDERLINE);
}

// "f" of every character of the control's text: '.' plain, 'b' bold, 'u' underlined, 'x' both.
std::string EffectMap(HWND edit, long count) {
  std::string map;
  for (long i = 0; i < count; ++i) {
    DWORD e = Effects(edit, i);
    map += e == (CFE_BOLD | CFE_UNDERLINE) ? 'x' : e == CFE_BOLD ? 'b' : e == CFE_UNDERLINE ? 'u' : '.';
  }
  return map;
}

class ViewerTest : public ::testing::Test {};

TEST_F(ViewerTest, TipShowsBoldAndUnderlinedRunsInRichEdit20) {
  CDlg_TippDesTages tip;
  tip.SetText("\\bTipp\\b des Tages:\r\nKlicken Sie \\vVerbinden\\v.");
  tip.SetHelpMode(FALSE);
  std::string cls, text, effects;
  ModalRun run = RunModal("Astrel Corvalen Tipp des Tages", [&](HWND dlg) {
    HWND edit = ::GetDlgItem(dlg, IDC_VIEWER20);
    cls = ClassOf(edit);
    text = WindowText(edit);
    // Rich edit 2.0 keeps the line break as one character.
    effects = EffectMap(edit, 38);
  }, [&] { return tip.Show(); });
  EXPECT_EQ(run.result, IDOK);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(cls, "RichEdit20A");
  EXPECT_EQ(text, "Tipp des Tages:\r\nKlicken Sie Verbinden.");
  EXPECT_EQ(effects, "bbbb" + std::string(24, '.') + "uuuuuuuuu.");
}

TEST_F(ViewerTest, UnpairedMarkersGiveNoRunsAndHelpModeSetsTheTitle) {
  CDlg_TippDesTages help;
  help.SetText("\\beins\\b zwei\\b drei \\vvier");
  help.SetHelpMode(TRUE);
  std::string text, effects;
  ModalRun run = RunModal("Hilfesystem Corvalen", [&](HWND dlg) {
    HWND edit = ::GetDlgItem(dlg, IDC_VIEWER20);
    text = WindowText(edit);
    effects = EffectMap(edit, static_cast<long>(text.size()));
  }, [&] { return help.Show(); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(text, "eins zwei drei vier");
  EXPECT_EQ(effects, std::string(text.size(), '.'));
}

TEST_F(ViewerTest, PlainRichEditFallbackShowsTheRunsToo) {
  // The viewer of template 175, as shown when rich edit 2.0 is missing.
  AfxInitRichEdit();
  CDlg_TippDesTages tip;
  tip.SetText(ExpandTipMarkers("a\\bbb\\b\r\n\\vcc\\v"));
  std::string cls, text, effects;
  ModalRun run = RunModal("Astrel Corvalen Tipp des Tages", [&](HWND dlg) {
    HWND edit = ::GetDlgItem(dlg, IDC_VIEWER);
    cls = ClassOf(edit);
    text = WindowText(edit);
    for (const auto& r : tip.m_boldRuns) effects += Effects(edit, r.start) == CFE_BOLD ? "b" : "?";
    for (const auto& r : tip.m_underlineRuns) effects += Effects(edit, r.start) == CFE_UNDERLINE ? "u" : "?";
  }, [&] { return tip.DoModal(); });
  EXPECT_EQ(run.result, IDOK);
  ASSERT_TRUE(run.finished);
  EXPECT_STRCASEEQ(cls.c_str(), "RICHEDIT");
  EXPECT_EQ(text, "abb\r\ncc");
  EXPECT_EQ(effects, "bu");
}

class LinkCatcher : public CDlg_ProviderDetails20 {
 public:
  using CDlg_ProviderDetails20::CDlg_ProviderDetails20;
  void OpenLink(const CString& target) override { opened = target.c_str(); }
  std::string opened;
};

TEST_F(ViewerTest, ProviderDetailsKeepTheTextAndOpenClickedLinks) {
  ASSERT_TRUE(AfxInitRichEdit2());
  LinkCatcher dlg(nullptr, "Detailinfos \"Anbieter\"", "Preis \\b0,99\\b Pfg, siehe http://www.example.com/tarif");
  std::string text;
  ModalRun run = RunModal("Detailinfos \"Anbieter\"", [&](HWND wnd) {
    HWND edit = ::GetDlgItem(wnd, IDC_VIEWER20);
    text = WindowText(edit);
    // A left click on the detected address, as rich edit reports it.
    std::string all = text;
    long at = static_cast<long>(all.find("http://"));
    ENLINK link = {};
    link.nmhdr.hwndFrom = edit;
    link.nmhdr.idFrom = IDC_VIEWER20;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    link.chrg.cpMin = at;
    link.chrg.cpMax = static_cast<long>(all.size());
    ::SendMessageA(wnd, WM_NOTIFY, IDC_VIEWER20, reinterpret_cast<LPARAM>(&link));
    link.msg = WM_MOUSEMOVE;  // no click: nothing opens
    link.chrg.cpMin = 0;
    ::SendMessageA(wnd, WM_NOTIFY, IDC_VIEWER20, reinterpret_cast<LPARAM>(&link));
  }, [&] { return dlg.DoModal(); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(text, "Preis \\b0,99\\b Pfg, siehe http://www.example.com/tarif");
  EXPECT_EQ(dlg.opened, "http://www.example.com/tarif");
}

class TipLinkCatcher : public CDlg_TippDesTages20 {
 public:
  using CDlg_TippDesTages20::CDlg_TippDesTages20;
  void OpenLink(const CString& target) override { opened.push_back(target.c_str()); }
  std::vector<std::string> opened;
};

// The tips come from the server: of the links the control detects, only web pages are handed to
// the shell; a program or file of the machine named as a link is not, nor another scheme.
TEST_F(ViewerTest, OnlyWebLinksOfATipAreOpened) {
  ASSERT_TRUE(AfxInitRichEdit2());
  const char* links[] = {"file:///Z:/tmp/marker.bat", "http://www.example.com/tipp", "mailto:info@example.com",
                         "file://C:\\windows\\notepad.exe", "https://www.example.com/b?x=1"};
  std::string text;
  for (const char* l : links) text += std::string(l) + " ";
  TipLinkCatcher tip(nullptr);
  tip.SetText(text.c_str());
  ModalRun run = RunModal("Astrel Corvalen Tipp des Tages", [&](HWND wnd) {
    HWND edit = ::GetDlgItem(wnd, IDC_VIEWER20);
    std::string shown = WindowText(edit);
    for (const char* l : links) {
      // A left click on the link, as rich edit reports it.
      ENLINK link = {};
      link.nmhdr.hwndFrom = edit;
      link.nmhdr.idFrom = IDC_VIEWER20;
      link.nmhdr.code = EN_LINK;
      link.msg = WM_LBUTTONDOWN;
      link.chrg.cpMin = static_cast<long>(shown.find(l));
      link.chrg.cpMax = link.chrg.cpMin + static_cast<long>(strlen(l));
      ::SendMessageA(wnd, WM_NOTIFY, IDC_VIEWER20, reinterpret_cast<LPARAM>(&link));
    }
  }, [&] { return tip.DoModal(); });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(tip.opened, (std::vector<std::string>{"http://www.example.com/tipp", "https://www.example.com/b?x=1"}));
}

TEST_F(ViewerTest, ProviderDetailsFallBackToThePlainRichEdit) {
  AfxInitRichEdit();
  CDlg_ProviderDetails dlg(nullptr, "Detailinfos \"Alt\"", "Keinen weiteren Detailinformationen vorhanden.");
  std::string cls, text;
  ModalRun run = RunModal("Detailinfos \"Alt\"", [&](HWND wnd) {
    cls = ClassOf(::GetDlgItem(wnd, IDC_VIEWER));
    text = ItemText(wnd, IDC_VIEWER);
  }, [&] { return dlg.DoModal(); });
  EXPECT_EQ(run.result, IDOK);
  ASSERT_TRUE(run.finished);
  EXPECT_STRCASEEQ(cls.c_str(), "RICHEDIT");
  EXPECT_EQ(text, "Keinen weiteren Detailinformationen vorhanden.");
}

TEST(InfoDialog, ShowsVersionAndTips) {
  CDlg_Info info;
  std::string version, tip;
  ModalRun run = RunModal("Info über Corvalen ", [&](HWND dlg) {
    version = ItemText(dlg, IDC_INFO_VERSION);
    tip = ToolTipText(dlg, IDOK);
  }, [&] { return info.DoModal(); });
  EXPECT_EQ(run.result, IDOK);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(version, "Version 2.00.042");
  EXPECT_EQ(tip, std::string(AfxLoadString(1).c_str()));
}

// The terms: OK only after a choice; the result is accepted only for the first one.
TEST(TermsDialog, OkWaitsForAChoiceAndOnlyAcceptanceCounts) {
  struct Case {
    int click;  // 0 none
    int end;
    BOOL accepted;
  } cases[] = {{IDC_AGB_YES, IDOK, TRUE}, {IDC_AGB_NO, IDOK, FALSE}, {IDC_AGB_YES, IDCANCEL, FALSE}, {0, IDCANCEL, FALSE}};
  for (const Case& c : cases) {
    bool okBefore = true, okAfter = false;
    std::string terms, tip;
    DialogScript script;
    HWND dlg = nullptr;
    script
        .Then([&] {
          dlg = FindThreadWindow("Astrel Corvalen: Allgemeine Geschäftsbedingungen");
          if (!dlg) return false;
          okBefore = ::IsWindowEnabled(::GetDlgItem(dlg, IDOK));
          terms = ItemText(dlg, IDC_AGB_TEXT);
          tip = ToolTipText(dlg, IDC_AGB_YES);
          // OK (as Enter would send it) cannot end it yet.
          PostClick(dlg, IDOK);
          return true;
        })
        .Then([&] {
          EXPECT_TRUE(::IsWindowVisible(dlg));
          if (c.click) ::SendMessageA(::GetDlgItem(dlg, c.click), BM_CLICK, 0, 0);
          okAfter = ::IsWindowEnabled(::GetDlgItem(dlg, IDOK));
          if (c.end == IDOK) PostClick(dlg, IDOK);
          else ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
          return true;
        });
    script.Start();
    EXPECT_EQ(RunTermsDialog(nullptr), c.accepted) << c.click << " " << c.end;
    ASSERT_TRUE(script.Finished());
    EXPECT_FALSE(okBefore);
    EXPECT_EQ(okAfter, c.click != 0);
    EXPECT_EQ(terms, std::string(CDlg_AGB::TermsText().c_str()));
    EXPECT_NE(terms.find("Allgemeine Gesch\xE4""ftsbedingungen"), std::string::npos);
    EXPECT_EQ(tip, std::string(AfxLoadString(IDC_AGB_YES).c_str()));
  }
}

// Settings of a fresh user and a controller over them, without a main window.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
    dir_ = MakeRouterFolder("corvdlg-" + std::to_string(::GetCurrentProcessId()));
    ::DeleteFileA((dir_ + "\\free.log").c_str());
    settings_ = std::make_unique<CSettings>();
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, nullptr);
  }
  std::string dir_;
  CStatusHelper status_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CConnectionController> controller_;
};

class UserDataTest : public ControllerTest {};

TEST_F(UserDataTest, TrimsTheValuesAndRefusesAnEmptyUserName) {
  CProvider* p = settings_->GetProvider();
  p->SetName("Testnetz");
  CDlg_Benutzerdaten dlg(controller_.get(), FALSE, FALSE);
  dlg.SetUserName("alt");
  dlg.SetPassword("geheim");
  dlg.SetSavePassword(TRUE);
  HWND wnd = nullptr;
  std::string shownUser, boxTitle, boxText, focus;
  bool deleteEnabled = true, dateVisible = true, saveChecked = false;
  DialogScript script;
  script
      .Then([&] {
        wnd = FindThreadWindow("Anmeldungsdaten 'Testnetz'");
        if (!wnd) return false;
        shownUser = ItemText(wnd, IDC_USERNAME);
        saveChecked = ::IsDlgButtonChecked(wnd, IDC_SAVEPASSWORD) == BST_CHECKED;
        deleteEnabled = ::IsWindowEnabled(::GetDlgItem(wnd, IDC_DELETE));
        dateVisible = ::IsWindowVisible(::GetDlgItem(wnd, IDC_ACTIVATION_DATE));
        ::SetDlgItemTextA(wnd, IDC_USERNAME, "   ");
        PostClick(wnd, IDOK);
        return true;
      })
      .Then([&] {
        HWND box = FindMessageBox("Corvalen 2.0");
        if (!box) return false;
        boxText = MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      })
      .Then([&] {
        if (FindMessageBox("Corvalen 2.0") || !::IsWindowVisible(wnd)) return false;
        focus = std::to_string(::GetDlgCtrlID(::GetFocus()));
        ::SetDlgItemTextA(wnd, IDC_USERNAME, "  neu ");
        ::SetDlgItemTextA(wnd, IDC_PASSWORD, " pw1 ");
        ::CheckDlgButton(wnd, IDC_SAVEPASSWORD, BST_UNCHECKED);
        PostClick(wnd, IDOK);
        return true;
      });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(shownUser, "alt");
  EXPECT_TRUE(saveChecked);
  EXPECT_FALSE(deleteEnabled);
  EXPECT_FALSE(dateVisible);
  EXPECT_EQ(boxText, "Der Benutzername darf nicht leer sein !");
  EXPECT_EQ(focus, std::to_string(IDC_USERNAME));
  EXPECT_EQ(dlg.GetUserName(), CString("neu"));
  EXPECT_EQ(dlg.GetPassword(), CString("pw1"));
  EXPECT_FALSE(dlg.IsSavePassword());
  EXPECT_FALSE(dlg.IsActivationDateChanged());
}

TEST_F(UserDataTest, ActivationDayIsShownAndAChangedDayIsKept) {
  CProvider* p = settings_->GetProvider();
  p->SetRegistrationDate(COleDateTime(2001, 3, 15, 0, 0, 0));
  CDlg_Benutzerdaten dlg(controller_.get(), TRUE, TRUE);
  dlg.SetUserName("u");
  bool deleteEnabled = false, dateVisible = false;
  ModalRun run = RunModal("Anmeldungsdaten '" + std::string(p->GetName().c_str()) + "'", [&](HWND wnd) {
    deleteEnabled = ::IsWindowEnabled(::GetDlgItem(wnd, IDC_DELETE));
    dateVisible = ::IsWindowVisible(::GetDlgItem(wnd, IDC_ACTIVATION_DATE));
    SYSTEMTIME st = {};
    st.wYear = 2001;
    st.wMonth = 4;
    st.wDay = 2;
    ::SendDlgItemMessageA(wnd, IDC_ACTIVATION_DATE, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }, [&] { return dlg.DoModal(); });
  EXPECT_EQ(run.result, IDOK);
  ASSERT_TRUE(run.finished);
  EXPECT_TRUE(deleteEnabled);
  EXPECT_TRUE(dateVisible);
  EXPECT_TRUE(dlg.IsActivationDateChanged());
  EXPECT_EQ(p->GetRegistrationDate().GetMonth(), 4);
  EXPECT_EQ(p->GetRegistrationDate().GetDay(), 2);
}

TEST_F(UserDataTest, DeleteAsksFirst) {
  CDlg_Benutzerdaten dlg(controller_.get(), TRUE, FALSE);
  dlg.SetUserName("u");
  HWND wnd = nullptr;
  std::string question;
  DialogScript script;
  script
      .Then([&] {
        wnd = FindThreadWindow("Anmeldungsdaten '" + std::string(settings_->GetProvider()->GetName().c_str()) + "'");
        if (!wnd) return false;
        PostClick(wnd, IDC_DELETE);
        return true;
      })
      .Then([&] {
        HWND box = FindMessageBox("Astrel Corvalen 2.0");
        if (!box) return false;
        question = MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, IDNO, 0);  // No: the dialog stays
        return true;
      })
      .Then([&] {
        if (FindMessageBox("Astrel Corvalen 2.0")) return false;
        EXPECT_TRUE(::IsWindowVisible(wnd));
        ::PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
        return true;
      });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(question, std::string(AfxLoadString(5121).c_str()));
}

TEST_F(UserDataTest, DeleteWithYesGoesThroughTheControllerAndEndsTheDialog) {
  CDlg_Benutzerdaten dlg(controller_.get(), TRUE, FALSE);
  dlg.SetUserName("u");
  std::string report;
  DialogScript script;
  script
      .Then([&] {
        HWND wnd = FindThreadWindow("Anmeldungsdaten '" + std::string(settings_->GetProvider()->GetName().c_str()) + "'");
        if (!wnd) return false;
        PostClick(wnd, IDC_DELETE);
        return true;
      })
      .Then([&] {
        HWND box = FindMessageBox("Astrel Corvalen 2.0");
        if (!box) return false;
        ::PostMessageA(box, WM_COMMAND, IDYES, 0);
        return true;
      })
      .Then([&] {
        // Without an assignment the controller says it could not read one.
        HWND box = FindMessageBox("Corvalen 2.0");
        if (!box) return false;
        report = MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), CDlg_Benutzerdaten::kDeleted);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(report, "Fehler beim Lesen der Zuordnungsdaten ( corva.dat )!");
}

class FreeMinutesTest : public ControllerTest {
 protected:
  void SetUp() override {
    ControllerTest::SetUp();
    manager_.GetProtocolStore().SetSettings(settings_.get());
    controller_->SetTariffManager(&manager_);
  }
  // Runs the dialog for "P1", sets the four fields and presses OK; returns the texts of the
  // message boxes shown, "" when it closed at once.
  std::string RunWith(const char* hours, const char* minutes, const char* day, const char* calls,
                      std::string* shown = nullptr) {
    CDlg_Freiminuten dlg(controller_.get(), "P1", "Corvalen2000");
    std::string boxes;
    HWND wnd = nullptr;
    DialogScript script;
    script
        .Then([&] {
          wnd = FindThreadWindow("Freiminutenverwaltung");
          if (!wnd) return false;
          if (shown)
            *shown = ItemText(wnd, IDC_FM_HOURS) + "/" + ItemText(wnd, IDC_FM_MINUTES) + "/" +
                     ItemText(wnd, IDC_FM_DAY) + "/" + ItemText(wnd, IDC_FM_CALLS);
          ::SetDlgItemTextA(wnd, IDC_FM_HOURS, hours);
          ::SetDlgItemTextA(wnd, IDC_FM_MINUTES, minutes);
          ::SetDlgItemTextA(wnd, IDC_FM_DAY, day);
          ::SetDlgItemTextA(wnd, IDC_FM_CALLS, calls);
          PostClick(wnd, IDOK);
          return true;
        })
        .Then([&] {
          HWND box = FindMessageBox("Corvalen 2.0");
          if (box) {
            boxes += MessageBoxText(box);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
          }
          if (!::IsWindow(wnd)) return true;  // closed by OK
          return false;
        })
        .Then([&] {
          if (::IsWindow(wnd) && !FindMessageBox("Corvalen 2.0")) ::PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
          return true;
        });
    script.Start();
    INT_PTR r = dlg.DoModal();
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(r, boxes.empty() ? IDOK : IDCANCEL);
    return boxes;
  }
  CTarifManager manager_;
};

TEST_F(FreeMinutesTest, OkReplacesTheRecordAndSavesFreeLog) {
  auto* old = new CTarifProtocol;
  old->SetOnlineMinutes(125);
  old->SetDay(0);
  old->SetCallCount(4);
  manager_.GetProtocolStore().SetAt("P1", old);
  std::string shown;
  EXPECT_EQ(RunWith("3", "7", "15", "9", &shown), "");
  EXPECT_EQ(shown, "2/5/1/4");
  CTarifProtocol* rec = nullptr;
  ASSERT_TRUE(manager_.GetProtocolStore().Lookup("P1", rec));
  EXPECT_EQ(rec->GetOnlineMinutes(), 187);
  EXPECT_EQ(rec->GetDay(), 15);
  EXPECT_EQ(rec->GetCallCount(), 9);
  // The saved file reads back the same.
  CTarifManager again;
  again.GetProtocolStore().SetSettings(settings_.get());
  again.LoadProtocols();
  ASSERT_TRUE(again.GetProtocolStore().Lookup("P1", rec));
  EXPECT_EQ(rec->GetOnlineMinutes(), 187);
}

TEST_F(FreeMinutesTest, OutOfRangeValuesKeepTheDialogOpen) {
  struct Case {
    const char *hours, *minutes, *day, *calls, *message;
  } cases[] = {
      {"0", "0", "0", "0", "Rücksetzungsdatum zu klein (min. 1)"},
      {"0", "0", "32", "0", "Rücksetzungsdatum zu groß (max. 31)"},
      {"0", "0", "1", "-1", "Anzahl der bereits aufgebauten Verbindungen zu klein (min. 0)"},
      {"-2", "0", "1", "0", "Bereits verbrauchte Freiminuten zu klein (min. 0)"},
      {"1", "75", "1", "0", "Bereits verbrauchte Minuten zu groß (max. 59)"},
      {"0", "60", "1", "0", "Bereits verbrauchte Minuten zu groß (max. 59)"},
      {"751", "0", "1", "0", "Bereits verbrauchte Stunden zu groß (max. 750)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunWith(c.hours, c.minutes, c.day, c.calls), c.message);
    CTarifProtocol* rec = nullptr;
    EXPECT_FALSE(manager_.GetProtocolStore().Lookup("P1", rec)) << c.message;
  }
  // A new provider starts on day 1 with nothing used.
  std::string shown;
  EXPECT_EQ(RunWith("0", "30", "1", "0", &shown), "");
  EXPECT_EQ(shown, "0/0/1/0");
}

TEST_F(FreeMinutesTest, HelpShowsTheTextInTheHelpViewer) {
  CDlg_Freiminuten dlg(controller_.get(), "P1", "Corvalen2000");
  HWND wnd = nullptr;
  std::string help;
  DialogScript script;
  script
      .Then([&] {
        wnd = FindThreadWindow("Freiminutenverwaltung");
        if (!wnd) return false;
        PostClick(wnd, IDC_HILFE_FM);
        return true;
      })
      .Then([&] {
        HWND viewer = FindThreadWindow("Hilfesystem Corvalen");
        if (!viewer) return false;
        help = ItemText(viewer, IDC_VIEWER20);
        PostClick(viewer, IDOK);
        return true;
      })
      .Then([&] {
        if (FindThreadWindow("Hilfesystem Corvalen")) return false;
        ::PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
        return true;
      });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(help.find("Freiminutenverwaltung\r\n"), 0u) << help;
  EXPECT_EQ(help.find('\\'), std::string::npos) << help;
  CTarifProtocol* rec = nullptr;
  EXPECT_FALSE(manager_.GetProtocolStore().Lookup("P1", rec));
}

}  // namespace
