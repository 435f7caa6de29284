// The options sheet under Wine against the RAS stand-in: each page driven as a user would, and
// the registry values the sheet writes read back as stored.
#include "http_server.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CostLog.h"
#include "Options.h"
#include "TarifClock.h"
#include "TarifScramble.h"
#include "TarifUi.h"
#include "Updates.h"
#include "WinApp.h"
#include "dialog_script.h"
#include "rassim_fixture.h"

namespace {

const char kUserKey[] = "Software\\ASTREL\\Corvalen";

std::string UserValue(const char* name) { return UserSetting(name); }
void SetUserValue(const char* name, const char* value) { SetUserSetting(name, value); }

// CP1252 text as the product shows it.
std::string Ansi(const wchar_t* text) {
  char buf[1024] = {};
  ::WideCharToMultiByte(1252, 0, text, -1, buf, sizeof buf, nullptr, nullptr);
  return buf;
}

bool Visible(HWND page, int id) { return ::IsWindowVisible(::GetDlgItem(page, id)) != FALSE; }
bool Enabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE; }
bool Checked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }

// Selects an item of a drop-down list as a user would (the page hears CBN_SELCHANGE).
void Choose(HWND page, int id, int index) {
  HWND combo = ::GetDlgItem(page, id);
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::string ComboText(HWND page, int id) {
  HWND combo = ::GetDlgItem(page, id);
  int sel = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
  if (sel < 0) return "<none>";
  char buf[256] = {};
  ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buf));
  return buf;
}

std::vector<std::string> ComboItems(HWND page, int id) {
  HWND combo = ::GetDlgItem(page, id);
  std::vector<std::string> items;
  int n = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char buf[256] = {};
    ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    items.push_back(buf);
  }
  return items;
}

void Click(HWND page, int id) {
  HWND button = ::GetDlgItem(page, id);
  ::SendMessageA(button, BM_CLICK, 0, 0);
}

struct RecordingUi : CTarifUi {
  std::vector<std::string> errors, opened;
  void ShowError(const char* text, const char*) override { errors.push_back(text); }
  bool OpenDocument(const char* path) override {
    opened.push_back(path);
    return true;
  }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
};

struct NoRegistrations : CRegistrationSource {
  std::vector<std::string> ids;
  BOOL GetAt(int i, CString& id, COleDateTime& date) const override {
    if (i >= static_cast<int>(ids.size())) return FALSE;
    id = ids[static_cast<size_t>(i)].c_str();
    date = COleDateTime(2026, 1, 1, 0, 0, 0);
    return TRUE;
  }
};

std::string Provider(const std::string& id, const std::string& name, const std::string& price,
                     const std::string& extra = "") {
  return "<Provider id=\"" + id + "\"><name>" + name + "</name>" + extra + "<set a=\"preis\" b=\"" + price +
         "\" c=\"takt\" d=\"1\"/></Provider>\n";
}

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kUserKey);
    static int n = 0;
    dir_ = MakeRouterFolder("corvopt-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++n));
    sim_.Set("Devices", "modem,Standardmodem;isdn,AVM ISDN-Controller");
    SetFixedNow(COleDateTime(2026, 3, 4, 13, 30, 0));  // a Wednesday afternoon
    SetTarifUi(&ui_);
    AfxSetExceptionReporter([](const char* text) { ADD_FAILURE() << text; });

    std::string xml = "<Providerliste>\n" + Provider("billig", "Billig", "1.0") +
                      Provider("teuer", "Teuer", "3.0", "<freiminuten>1</freiminuten>") +
                      Provider("login", "Anmeldung", "2.0",
                               "<anmeldepflichtig>j</anmeldepflichtig><freiminuten>1</freiminuten>") +
                      "</Providerliste>";
    ScrambleTarif(reinterpret_cast<unsigned char*>(&xml[0]), xml.size());
    Write("tarif.dat", xml);
    Write("Feiertags.dat", "<Feiertage><feiertag datum=\"20260406\"/></Feiertage>");

    settings_ = std::make_unique<CSettings>();
    manager_.Init(settings_.get(), nullptr, &regs_);
    int changes = 0;
    manager_.Recompute(&changes, nullptr);
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, nullptr);
    controller_->SetTariffManager(&manager_);
  }
  void TearDown() override {
    SetTarifUi(nullptr);
    SetTarifClock(nullptr);
    AfxSetExceptionReporter(nullptr);
    for (int i = 0; i < CPpg_Erweitert::kDialogCount; ++i) CPpg_Erweitert::SetDialog(i, nullptr);
    CPpg_Kosten::SetUserBillDialog(nullptr);
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ + "\\" + name, std::ios::binary) << bytes;
  }
  // The router's own phone-book entry, as the start-up check makes it.
  void MakeOwnEntry() {
    CRasAccess& ras = controller_->GetRasAccess();
    RASENTRYA e = {};
    e.dwSize = sizeof e;
    strcpy(e.szLocalPhoneNumber, "0191011");
    strcpy(e.szDeviceType, "isdn");
    strcpy(e.szDeviceName, "AVM ISDN-Controller");
    ASSERT_EQ(ras.SetEntryProperties("Corvalen2000", &e, sizeof e), 0);
  }
  // A step of a sheet's run: it gets the sheet and waits until the sheet shows, unless it is a
  // message box's answer (those come while a page is made, or after the sheet ended).
  struct Step {
    template <class F>
    Step(F f, bool anyTime = false) : fn(f), anyTime(anyTime) {}
    std::function<bool(HWND)> fn;
    bool anyTime;
  };
  // Opens the sheet at a start page and runs the steps in its modal loop.
  INT_PTR Run(int startPage, std::vector<Step> steps) {
    DialogScript script;
    for (auto& step : steps) {
      script.Then([this, step] {
        HWND sheet = sheet_.m_hWnd;
        if (step.anyTime) return step.fn(sheet);
        return sheet && ::IsWindowVisible(sheet) && step.fn(sheet);
      });
    }
    script.Start();
    INT_PTR r = RunOptionsSheet(sheet_, nullptr, controller_.get(), &manager_, settings_.get(), startPage);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(script.Finished());
    return r;
  }
  // The message box over the sheet: its text, answered with `button`; false while there is none.
  Step Answer(std::string* text, int button) {
    return Step([text, button](HWND sheet) {
      HWND box = FindOtherDialog(sheet);
      if (!box || ::GetDlgItem(box, 0xFFFF) == nullptr) return false;
      *text = MessageBoxText(box);
      ::PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
      return true;
    }, true);
  }
  static bool PressOk(HWND sheet) {
    ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    return true;
  }
  static bool PressCancel(HWND sheet) {
    ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return true;
  }

  std::string dir_;
  RasSimFixture sim_;
  RecordingUi ui_;
  NoRegistrations regs_;
  CStatusHelper status_;
  std::unique_ptr<CSettings> settings_;
  CTarifManager manager_;
  std::unique_ptr<CConnectionController> controller_;
  CPsh_Sheet sheet_;
};

TEST(OptionsTexts, UpdateStampsAndLineTypes) {
  EXPECT_EQ(FormatUpdateStamp("2000-08-08 14:15:00"), "08.08.2000 14:15:00");
  EXPECT_EQ(FormatUpdateStamp("2026-12-1"), "1.12.2026");
  EXPECT_EQ(FormatUpdateStamp(""), "");
  EXPECT_EQ(FormatUpdateStamp("unbekannt"), "unbekannt");
  struct Case {
    const char* dial;
    const char* type;
    const char* expected;
  } cases[] = {{"0", "isdn", "isdn"}, {"0i", "modem", "isdn"}, {"0I", "modem", "isdn"},
               {"0m", "isdn", "modem"}, {"0mi", "isdn", "modem"}, {"", "modem", "modem"}};
  for (const Case& c : cases) EXPECT_EQ(LineTypeOf(c.dial, c.type), c.expected) << c.dial;
}

TEST_F(OptionsTest, StandardPageShowsTheSettingsAndOkWritesThem) {
  SetUserValue("DefaultDialString", "0");
  SetUserValue("DefaultDFUDeviceName", "AVM ISDN-Controller");
  SetUserValue("DefaultDFUDeviceTyp", "isdn");
  SetUserValue("DefaultConnection", "teuer");
  SetUserValue("Automatic", "1");
  SetUserValue("UpdateFrequence", "0");
  SetUserValue("CurrentTarif", "2000-08-08 14:15:00");
  MakeOwnEntry();
  std::string shown;
  INT_PTR r = Run(1, {[&](HWND sheet) {
                        HWND page = sheet_.m_optionen.m_hWnd;
                        EXPECT_EQ(WindowText(::GetDlgItem(sheet, IDCANCEL)), "Abbrechen");
                        EXPECT_EQ(WindowText(::GetDlgItem(sheet, 9)), "&Hilfe");
                        shown = ComboText(page, 5537) + "|" + ItemText(page, 1068) + "|" + ComboText(page, 1079) +
                                "|" + ComboText(page, 1020) + "|" + ItemText(page, 1047) + "|" +
                                ItemText(page, 1048);
                        EXPECT_EQ(ComboItems(page, 1079),
                                  (std::vector<std::string>{Ansi(L"- Günstigstem Provider -"), "Billig", "Teuer"}));
                        EXPECT_TRUE(Checked(page, 1121));
                        EXPECT_FALSE(Enabled(page, 1049));
                        // "Nur manuell" enables the manual update at once, "Einmal täglich" disables it.
                        Choose(page, 1020, 1);
                        EXPECT_TRUE(Enabled(page, 1049));
                        Choose(page, 1020, 0);
                        EXPECT_FALSE(Enabled(page, 1049));
                        Choose(page, 1020, 1);
                        Choose(page, 5537, static_cast<int>(::SendDlgItemMessageA(page, 5537, CB_FINDSTRINGEXACT,
                                                                                   -1, (LPARAM) "Standardmodem")));
                        ::SetDlgItemTextA(page, 1068, "0mi");
                        Choose(page, 1079, static_cast<int>(::SendDlgItemMessageA(page, 1079, CB_FINDSTRINGEXACT,
                                                                                   -1, (LPARAM) "Billig")));
                        Click(page, 1121);
                        return PressOk(sheet);
                      }});
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(shown, "AVM ISDN-Controller|0|Teuer|" + Ansi(L"Einmal täglich") + "|08.08.2000 14:15:00|");
  EXPECT_EQ(UserValue("DefaultDialString"), "0mi");
  EXPECT_EQ(UserValue("DefaultDFUDeviceTyp"), "modem");  // the m comes last
  EXPECT_EQ(UserValue("DefaultDFUDeviceName"), "Standardmodem");
  EXPECT_EQ(UserValue("DefaultConnection"), "billig");
  EXPECT_EQ(UserValue("Automatic"), "0");
  EXPECT_EQ(UserValue("UpdateFrequence"), "1");
  // The device change rewrote the own entry (without an error box, the run would not end).
  EXPECT_EQ(sim_.PhonebookValue("Corvalen2000", "DeviceName"), "Standardmodem");
}

TEST_F(OptionsTest, CheapestProviderIsStoredAsItsTextAndAFailedEntryRewriteIsReported) {
  SetUserValue("DefaultDFUDeviceName", "Standardmodem");
  SetUserValue("DefaultConnection", "billig");
  std::string box;
  INT_PTR r = Run(1, {[&](HWND) {
                        HWND page = sheet_.m_optionen.m_hWnd;
                        EXPECT_EQ(ComboText(page, 1079), "Billig");
                        EXPECT_EQ(ItemText(page, 1047), "");  // no tariff date yet
                        Choose(page, 1079, 0);
                        Choose(page, 5537, 1);  // the other device; there is no own entry to rewrite
                        ::SetDlgItemTextA(page, 1068, "");
                        return true;
                      },
                      PressOk, Answer(&box, IDOK)});
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(box, Ansi(L"Bei der Erkennung des von Ihnen  gewählten DFÜ-Devices sind Probleme  aufgetreten.\n"
                      L"Bitte nehmen sie diese Einstellungen daher direkt über \"Expertenmodus - DFÜ "
                      L"Netzwerkeinstellungen\" für den Standardeintrag vor !"));
  // Written all the same; an empty value as one blank.
  EXPECT_EQ(UserValue("DefaultConnection"), Ansi(L"- Günstigstem Provider -"));
  EXPECT_EQ(UserValue("DefaultDialString"), " ");
  EXPECT_EQ(UserValue("DefaultDFUDeviceName"), "AVM ISDN-Controller");
  EXPECT_EQ(UserValue("DefaultDFUDeviceTyp"), "isdn");
}

TEST_F(OptionsTest, CancelWritesNothingAndTheStartPageIsChosen) {
  SetUserValue("DefaultDialString", "0");
  int active = -1;
  INT_PTR r = Run(3, {[&](HWND sheet) {
                        active = sheet_.GetActiveIndex();
                        ::PostMessageA(sheet, PSM_SETCURSEL, 0, 0);
                        return true;
                      },
                      [&](HWND) {
                        if (!sheet_.m_optionen.m_hWnd) return false;
                        ::SetDlgItemTextA(sheet_.m_optionen.m_hWnd, 1068, "9");
                        return true;
                      },
                      PressCancel});
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_EQ(active, 2);
  EXPECT_EQ(UserValue("DefaultDialString"), "0");
  EXPECT_EQ(UserValue("UpdateFrequence"), "<missing>");
}

TEST_F(OptionsTest, OkOnAnotherPageLeavesTheStandardSettingsAlone) {
  SetUserValue("DefaultDFUDeviceName", "Standardmodem");
  SetUserValue("DefaultDialString", "0");
  EXPECT_EQ(Run(3, {PressOk}), IDOK);
  EXPECT_EQ(UserValue("DefaultDFUDeviceName"), "Standardmodem");
  EXPECT_EQ(UserValue("DefaultDialString"), "0");
  // After an opening of the page, a later opening elsewhere does not write its old values either.
  EXPECT_EQ(Run(1, {PressCancel}), IDCANCEL);
  SetUserValue("DefaultDialString", "9");
  EXPECT_EQ(Run(2, {PressOk}), IDOK);
  EXPECT_EQ(UserValue("DefaultDialString"), "9");
}

TEST_F(OptionsTest, ExpertModeAsksFirstAndIsKeptBetweenOpenings) {
  std::string question;
  bool hiddenAtFirst = false, hiddenAfterNo = false, shownAfterYes = false, filterRan = false;
  CPpg_Erweitert::SetDialog(CPpg_Erweitert::kProviderFilter,
                            [&](CWnd* parent, CConnectionController* c, CTarifManager* m) {
                              filterRan = parent == &sheet_.m_erweitert && c == controller_.get() && m == &manager_;
                            });
  auto page = [&] { return sheet_.m_erweitert.m_hWnd; };
  Run(2, {[&](HWND) {
            hiddenAtFirst = !Visible(page(), 1080) && !Visible(page(), 1001) && !Visible(page(), 1004);
            EXPECT_TRUE(Enabled(page(), 1083));
            EXPECT_TRUE(Enabled(page(), 1000));
            EXPECT_FALSE(Enabled(page(), 1002));  // no mailbox dialog in this program
            for (int id : {1000, 1002, 1005, 1001, 1004})
              EXPECT_NE(ToolTipText(page(), id).find("Klicken Sie hier"), std::string::npos) << id;
            ::PostMessageA(page(), WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), 0);
            ::CheckDlgButton(page(), 1083, BST_CHECKED);
            ::PostMessageA(page(), WM_COMMAND, MAKEWPARAM(1083, BN_CLICKED), 0);
            return true;
          },
          Answer(&question, IDNO),
          [&](HWND) {
            hiddenAfterNo = !Checked(page(), 1083) && !Visible(page(), 1080);
            ::CheckDlgButton(page(), 1083, BST_CHECKED);
            ::PostMessageA(page(), WM_COMMAND, MAKEWPARAM(1083, BN_CLICKED), 0);
            return true;
          },
          Answer(&question, IDYES),
          [&](HWND sheet) {
            shownAfterYes = Checked(page(), 1083) && Visible(page(), 1080) && Visible(page(), 1082) &&
                            Visible(page(), 1081) && Visible(page(), 1001) && Visible(page(), 1004);
            return PressCancel(sheet);
          }});
  EXPECT_TRUE(filterRan);
  EXPECT_TRUE(hiddenAtFirst);
  EXPECT_TRUE(hiddenAfterNo);
  EXPECT_TRUE(shownAfterYes);
  EXPECT_EQ(question, Ansi(L"Achtung im Expertenmodus können Sie Änderungen im DFÜ-Netzwerk vornehmen, \n"
                           L"die gute Kenntnisse des DFÜ-Netzwerkes voraussetzen!\n\n"
                           L"Möchte Sie den Expertenmodus aktivieren?"));
  // The next opening, now online: the mode is still on, but nothing of it can be used.
  MakeOwnEntry();
  ASSERT_EQ(controller_->GetRasAccess().Dial(nullptr, "Corvalen2000", "", "u", "p"), 0);
  ASSERT_TRUE(controller_->IsOnline());
  bool kept = false, disabled = false;
  Run(2, {[&](HWND sheet) {
    kept = Checked(page(), 1083) && Visible(page(), 1080) && Visible(page(), 1001);
    disabled = !Enabled(page(), 1083) && !Enabled(page(), 1080) && !Enabled(page(), 1082) &&
               !Enabled(page(), 1081) && !Enabled(page(), 1001) && !Enabled(page(), 1004);
    return PressCancel(sheet);
  }});
  EXPECT_TRUE(kept);
  EXPECT_TRUE(disabled);
  controller_->HangUp();
}

TEST_F(OptionsTest, CostPageShowsTheTotalsAndWritesTheBill) {
  // Now is Wednesday 4.3.2026 13:30: Monday the 2nd starts the week.
  Write("rechnung.log",
        "default;3/4/2026 9:0:0;00:01:00;Billig;60;1.00;0.00;0.125;;;0191;\r\n"
        "default;3/3/2026 23:59:0;00:01:00;Billig;60;1.00;0.00;1.000;;;0191;\r\n"
        "default;3/2/2026 0:0:0;00:01:00;Billig;60;1.00;0.00;2.000;;;0191;\r\n"
        "default;3/1/2026 12:0:0;00:01:00;Billig;60;1.00;0.00;4.000;;;0191;\r\n"
        "default;2/28/2026 12:0:0;00:01:00;Billig;60;1.00;0.00;8.000;;;0191;\r\n");
  std::string totals;
  std::vector<std::string> free;
  bool detailsOn = false;
  bool userBillSorted = false;
  CPpg_Kosten::SetUserBillDialog([&](CWnd*, CConnectionController*, BOOL sorted) { userBillSorted = sorted; });
  INT_PTR r = Run(3, {[&](HWND sheet) {
                        HWND page = sheet_.m_kosten.m_hWnd;
                        for (int id : {1009, 1010, 1011, 1012}) {
                          totals += ItemText(page, id) + "|";
                          EXPECT_TRUE(::GetWindowLongA(::GetDlgItem(page, id), GWL_STYLE) & ES_READONLY);
                        }
                        free = ComboItems(page, 1015);
                        detailsOn = Enabled(page, 1016);
                        Click(page, 1018);
                        Click(page, 1004);  // yesterday's bill
                        Click(page, 1000);
                        return PressCancel(sheet);
                      }});
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_EQ(totals, "0.13 DM|1.00 DM|3.13 DM|7.13 DM|");
  // The login provider is not registered: its free minutes are of no use.
  EXPECT_EQ(free, std::vector<std::string>{"Teuer"});
  EXPECT_TRUE(detailsOn);
  EXPECT_TRUE(userBillSorted);
  EXPECT_TRUE(sheet_.m_kosten.m_sorted);
  ASSERT_EQ(ui_.opened.size(), 1u);
  std::ifstream html(dir_ + "\\rechnung.html");
  std::string bill((std::istreambuf_iterator<char>(html)), std::istreambuf_iterator<char>());
  EXPECT_NE(bill.find("1.00"), std::string::npos);
  EXPECT_NE(bill.find("Kosten vom  03.03.2026 bis  03.03.2026"), std::string::npos);
  EXPECT_EQ(bill.find("04.03.2026"), std::string::npos);  // today's connection is not yesterday's
}

// A log that cannot be read (here: beyond the records one read takes) is reported once for the
// four totals, counts as nothing, and gives no bill.
TEST_F(OptionsTest, UnreadableCostLogIsReportedOnceAndCountsAsNothing) {
  Write("rechnung.log", std::string(11 * (CCostLog::kMaxCostRecords + 1), ';'));
  std::string box, billBox, totals;
  INT_PTR r = Run(3, {Answer(&box, IDOK),
                      [&](HWND) {
                        HWND page = sheet_.m_kosten.m_hWnd;
                        if (!page || FindOtherDialog(sheet_.m_hWnd)) return false;
                        for (int id : {1009, 1010, 1011, 1012}) totals += ItemText(page, id) + "|";
                        ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
                        return true;
                      },
                      Answer(&billBox, IDOK), PressCancel});
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_EQ(box, "Ihre Rechnungsdaten konnten nicht korrekt gelesen werden!");
  EXPECT_EQ(billBox, "Ihre Rechnungsdaten konnten nicht korrekt gelesen werden!");
  EXPECT_EQ(totals, "0.00 DM|0.00 DM|0.00 DM|0.00 DM|");
  EXPECT_TRUE(ui_.opened.empty());
}

// A damaged record is named once for the four totals; the records that read count, and today's
// bill is written from them with the damaged one named at its end.
TEST_F(OptionsTest, ADamagedRecordIsNamedOnceAndTheOthersCount) {
  const std::string damaged = "default;kaputt;00:01:01;X;60;1.49;5.00;0.080;;;1;";
  Write("rechnung.log", "default;3/4/2026 9:0:0;00:01:00;Billig;60;1.00;0.00;0.125;;;0191;" + damaged);
  std::string box, totals;
  INT_PTR r = Run(3, {Answer(&box, IDOK),
                      [&](HWND) {
                        HWND page = sheet_.m_kosten.m_hWnd;
                        if (!page || FindOtherDialog(sheet_.m_hWnd)) return false;
                        for (int id : {1009, 1010, 1011, 1012}) totals += ItemText(page, id) + "|";
                        ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
                        return true;
                      },
                      [&](HWND sheet) {
                        if (ui_.opened.empty() || FindOtherDialog(sheet)) return false;
                        return PressCancel(sheet);
                      }});
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_EQ(box, Ansi(L"Ein Eintrag der Datei rechnung.log ist beschädigt und wird nicht mitgerechnet:\n\nEintrag 2: ") +
                     damaged + "\n");
  EXPECT_EQ(totals, "0.13 DM|0.00 DM|0.13 DM|0.13 DM|");
  ASSERT_EQ(ui_.opened.size(), 1u);
  std::ifstream html(dir_ + "\\rechnung.html");
  std::string bill((std::istreambuf_iterator<char>(html)), std::istreambuf_iterator<char>());
  EXPECT_NE(bill.find("0.125 DM"), std::string::npos);
  EXPECT_NE(bill.find("Eintrag 2: " + damaged), std::string::npos);
}

TEST_F(OptionsTest, HelpExplainsThePageShown) {
  std::vector<std::string> texts;
  bool helpShown = false, helpEnabled = false;
  auto helpStep = [&](HWND) {
    HWND help = FindThreadWindow("Hilfesystem Corvalen");
    if (!help) return false;
    texts.push_back(WindowText(::GetDlgItem(help, 1061)));
    ::PostMessageA(help, WM_COMMAND, IDOK, 0);
    return true;
  };
  auto waitGone = [](HWND) { return FindThreadWindow("Hilfesystem Corvalen") == nullptr; };
  auto press = [](HWND sheet) {
    PostClick(sheet, 9);
    return true;
  };
  Run(1, {[&](HWND sheet) {
            helpShown = ::IsWindowVisible(::GetDlgItem(sheet, 9)) != FALSE;
            helpEnabled = ::IsWindowEnabled(::GetDlgItem(sheet, 9)) != FALSE;
            return press(sheet);
          },
          Step(helpStep, true), Step(waitGone, true),
          [&](HWND sheet) {
            ::SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
            return press(sheet);
          },
          Step(helpStep, true), Step(waitGone, true),
          [&](HWND sheet) {
            ::SendMessageA(sheet, PSM_SETCURSEL, 2, 0);
            return press(sheet);
          },
          Step(helpStep, true), Step(waitGone, true), PressCancel});
  EXPECT_TRUE(helpShown);
  EXPECT_TRUE(helpEnabled);
  auto plain = [](UINT id) {
    std::string t = AfxLoadString(id).c_str();
    for (const char* m : {"\\b", "\\v"})
      for (size_t at; (at = t.find(m)) != std::string::npos;) t.erase(at, 2);
    return t;
  };
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], plain(5542) + plain(5543) + plain(5544));
  EXPECT_EQ(texts[1], plain(5557) + plain(5558));
  EXPECT_EQ(texts[2], plain(5545) + plain(5546));
}

// The manual update reloads the tariff database while the sheet is open: the providers its lists
// pointed to are freed, so the lists are filled anew from the new ranking.
TEST_F(OptionsTest, ManualTariffUpdateFillsTheListsFromTheNewTariffs) {
  TestHttpServer server;
  std::string next = "<Providerliste>\n" + Provider("neu", "Neuling", "0.5", "<freiminuten>1</freiminuten>") +
                     Provider("billig", "Billig", "1.0") + "</Providerliste>";
  ScrambleTarif(reinterpret_cast<unsigned char*>(&next[0]), next.size());
  server.Set("/tarif.dat", next);
  settings_->SetTarifUrl((server.Base() + "/tarif.dat").c_str());
  // The server's note on the new tariffs, which the page shows after the download.
  settings_->SetTarifUpdateTip("Neue Tarife.");
  CDlg_Download::SetDefaultStartDelay(1);
  SetUpdateMessageBox([](HWND, const CString&, const CString&, UINT) { return IDOK; });
  SetUserValue("UpdateFrequence", "1");
  SetUserValue("DefaultConnection", "teuer");
  MakeOwnEntry();
  ASSERT_EQ(controller_->GetRasAccess().Dial(nullptr, "Corvalen2000", "", "u", "p"), 0);
  std::vector<std::string> before, after, free;
  INT_PTR r = Run(1, {[&](HWND sheet) {
                        // The cost page's list exists too: it points at providers as well.
                        ::SendMessageA(sheet, PSM_SETCURSEL, 2, 0);
                        ::SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
                        HWND page = sheet_.m_optionen.m_hWnd;
                        before = ComboItems(page, 1079);
                        ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(1049, BN_CLICKED), 0);
                        return true;
                      },
                      Step([&](HWND) {
                        HWND tip = FindThreadWindow("Astrel Corvalen Tipp des Tages");
                        if (!tip) return false;
                        ::PostMessageA(tip, WM_COMMAND, IDOK, 0);
                        return true;
                      }, true),
                      [&](HWND) {
                        if (FindThreadWindow("Astrel Corvalen Tipp des Tages")) return false;
                        HWND page = sheet_.m_optionen.m_hWnd;
                        after = ComboItems(page, 1079);
                        free = ComboItems(sheet_.m_kosten.m_hWnd, 1015);
                        Choose(page, 1079, static_cast<int>(::SendDlgItemMessageA(page, 1079, CB_FINDSTRINGEXACT, -1,
                                                                                   (LPARAM) "Neuling")));
                        return true;
                      },
                      PressOk});
  controller_->HangUp();
  SetUpdateMessageBox(nullptr);
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(before, (std::vector<std::string>{Ansi(L"- Günstigstem Provider -"), "Billig", "Teuer"}));
  EXPECT_EQ(after, (std::vector<std::string>{Ansi(L"- Günstigstem Provider -"), "Billig", "Neuling"}));
  EXPECT_EQ(free, std::vector<std::string>{"Neuling"});
  EXPECT_EQ(UserValue("DefaultConnection"), "neu");
  EXPECT_NE(manager_.FindProvider("neu"), nullptr);
  EXPECT_EQ(manager_.FindProvider("teuer"), nullptr);
}

}  // namespace
