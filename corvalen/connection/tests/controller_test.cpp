// The connection controller in a test program of its own, against the RAS stand-in: the dial
// loop's attempts and pauses, cancelling in a pause, the error texts, the progress texts, unique
// entry names and the billing segments while online (the meter's own cases are meter_test's).
// The main window is a hidden window that records the progress messages; the texts come from
// the test's status helper, which holds the program's texts of the ids it is asked for.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ConnectionController.h"
#include "ErrTable.h"
#include "TarifUi.h"
#include "rassim_fixture.h"

namespace {

std::vector<LPARAM> g_attempts;

LRESULT CALLBACK RecordingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kMsgDialProgress && wp == kProgressAttempt) g_attempts.push_back(lp);
  return DefWindowProcA(w, msg, wp, lp);
}

HWND MakeWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ControllerTestMain";
  RegisterClassA(&wc);
  return CreateWindowA("ControllerTestMain", "Astrel Corvalen", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                       wc.hInstance, nullptr);
}

// Message boxes are recorded and answered.
class RecordingStatus : public CStatusHelper {
 public:
  CString GetString(UINT id) const override {
    switch (id) {
      case 146: return "Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler -";
      case 5508: return "Dieser Anbieter ist nur nach Anmeldung verfügbar !";
      default: return CString::Formatted("Text %u", id);
    }
  }
  int ShowMessage(UINT f1, UINT f2) const override { return ShowMessageTitled("Corvalen 2.0", f1 | f2); }
  int ShowMessageTitled(const char*, UINT) const override {
    shown.push_back(GetText().str());
    return answer;
  }
  mutable std::vector<std::string> shown;
  int answer = IDOK;
};

class FakeServices : public CControllerServices {
 public:
  BOOL ShowTerms(HWND) override { return TRUE; }
  CString LookupAssignment(const CString& id) override {
    if (id == "login-1") return "Meins";
    for (const std::string& record : added)
      if (record.compare(0, std::string(id).size() + 1, std::string(id) + "=") == 0)
        return record.substr(std::string(id).size() + 1).c_str();
    return "null";
  }
  int ShowUserData(HWND, CConnectionController&, BOOL, BOOL, CString& user, CString& password, BOOL& saved) override {
    ++userDataShown;
    user = "ich";
    password = "geheim";
    saved = TRUE;
    return IDOK;
  }
  int ShowNewEntry(HWND, CConnectionController&, CProvider&, BOOL, CString& name, CString& user, CString& password,
                   BOOL& save, int&) override {
    name = "Neuer Zugang";
    user = "kunde";
    password = "geheim";
    save = savePassword;
    return IDOK;
  }
  BOOL AddAssignment(const CString& id, const CString& entry, int) override {
    added.push_back(std::string(id) + "=" + std::string(entry));
    return storeAccepts;
  }
  std::vector<std::string> added;
  BOOL storeAccepts = TRUE;
  BOOL savePassword = TRUE;  // the new-entry dialog's "Passwort speichern"
  int userDataShown = 0;
};

// Counts the pauses instead of waiting; may cancel in the first one.
class CountingController : public CConnectionController {
 public:
  using CConnectionController::CConnectionController;
  void PauseBetweenAttempts(DWORD) override {
    ++pauses;
    if (cancelInPause) CancelDial();
  }
  int pauses = 0;
  bool cancelInPause = false;
};

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(tmp), static_cast<DWORD>(strlen(tmp) + 1));
    RegCloseKey(key);
    settings.SetAGB("1");
    settings.SetDefaultDFUDeviceName("Standardmodem");
    settings.SetDefaultDialString("0i");
    settings.SetMaxDialAttempts(3);
    settings.SetWaitingTimeForDialAttempts(2);
    main = MakeWindow();
    status.SetOwner(main);
    g_attempts.clear();
    provider.SetId("own-1");
    provider.SetName("Testnetz");
    provider.SetPhoneNumber("0190123");
    provider.SetTakt(60);
    controller = new CountingController(&settings, &provider, &status, main, &services);
    ASSERT_TRUE(controller->StartupCheck());
    status.shown.clear();
  }
  void TearDown() override {
    delete controller;
    DestroyWindow(main);
  }

  RasSimFixture ras;
  CSettings settings;
  RecordingStatus status;
  FakeServices services;
  CProvider provider;
  HWND main = nullptr;
  CountingController* controller = nullptr;
};

TEST_F(ControllerTest, OwnEntryPausesBetweenEveryPairOfAttempts) {
  ras.Set("Outcome", "busy");
  EXPECT_FALSE(controller->Connect());
  EXPECT_EQ(3, ras.Count("RasDialA"));
  EXPECT_EQ(2, controller->pauses);
  EXPECT_EQ((std::vector<LPARAM>{1, 2, 3}), g_attempts);
  ASSERT_EQ(1u, status.shown.size());
  EXPECT_EQ(0u, status.shown[0].find("Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - "));
  // The line-type letter is not dialled: the prefix is "0" alone.
  EXPECT_EQ(std::string::npos, ras.Log().find("0i"));
  EXPECT_FALSE(controller->IsOnline());
}

TEST_F(ControllerTest, AssignedEntryHasNoPauseBeforeTheLastAttempt) {
  ras.Set("Outcome", "busy");
  CRasEntrySetup setup;
  ASSERT_EQ(0, setup.CreateEntry("Meins", controller->GetRasAccess(), "0190999", settings, "ich", "geheim", TRUE));
  provider.SetId("login-1");
  provider.SetLoginRequired(TRUE);
  provider.SetRegistered(TRUE);
  EXPECT_FALSE(controller->Connect());
  EXPECT_EQ(3, ras.Count("RasDialA"));
  EXPECT_EQ(1, controller->pauses);
  EXPECT_NE(std::string::npos, ras.Log().find("Meins"));
}

// A failed dial says why in German, by the RAS error it ended with.
TEST_F(ControllerTest, AFailedDialNamesItsReason) {
  struct Case { const char* outcome; const char* reason; } cases[] = {
      {"busy", "Leitung besetzt."},
      {"badpassword", "Benutzername oder Kennwort falsch."},
      {"nodialtone", "Kein Freizeichen."},
      {"noanswer", "Keine Antwort der Gegenstelle."},
      {"nodevice", "Das DFÜ-Gerät ist belegt oder nicht für ausgehende Verbindungen eingerichtet."},
      {"797", "Das Modem wurde nicht gefunden oder ist belegt."},
  };
  settings.SetMaxDialAttempts(1);
  for (const Case& c : cases) {
    ras.Set("Outcome", c.outcome);
    status.shown.clear();
    EXPECT_FALSE(controller->Connect()) << c.outcome;
    ASSERT_EQ(1u, status.shown.size()) << c.outcome;
    EXPECT_EQ(std::string("Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - ") + c.reason,
              status.shown[0]);
  }
}

// A refused login through the user's own entry: the user is offered to type the credentials
// again, and the entry is dialled with them.
TEST_F(ControllerTest, ARefusedLoginOffersToEnterTheCredentialsAgain) {
  ras.Set("Password", "geheim");
  CRasEntrySetup setup;
  ASSERT_EQ(0, setup.CreateEntry("Meins", controller->GetRasAccess(), "0190999", settings, "ich", "alt", TRUE));
  provider.SetId("login-1");
  provider.SetLoginRequired(TRUE);
  provider.SetRegistered(TRUE);
  settings.SetMaxDialAttempts(1);
  status.answer = IDYES;
  EXPECT_TRUE(controller->Connect());
  EXPECT_TRUE(controller->IsOnline());
  ASSERT_EQ(1u, status.shown.size());
  EXPECT_EQ("Benutzername oder Kennwort falsch: der Zugang 'Meins' wurde abgelehnt.\n"
            "Möchten Sie Benutzername und Kennwort neu eingeben?", status.shown[0]);
  EXPECT_EQ(1, services.userDataShown);
  EXPECT_EQ(2, ras.Count("RasDialA"));
  EXPECT_EQ("geheim", ras.PhonebookValue("Meins", "Password"));
  controller->HangUp();
  // Answered No, the failure is told with its reason.
  ras.Set("Password", "anders");
  status.answer = IDNO;
  status.shown.clear();
  EXPECT_FALSE(controller->Connect());
  ASSERT_EQ(2u, status.shown.size());
  EXPECT_EQ(std::string("Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - ") +
                "Benutzername oder Kennwort falsch.",
            status.shown[1]);
  EXPECT_EQ(1, services.userDataShown);
}

TEST_F(ControllerTest, CancelInThePauseEndsTheDialQuietly) {
  ras.Set("Outcome", "busy");
  controller->cancelInPause = true;
  EXPECT_TRUE(controller->Connect());
  EXPECT_EQ(1, ras.Count("RasDialA"));
  EXPECT_TRUE(status.shown.empty());
}

TEST_F(ControllerTest, NoAttemptsGiveTheOutOfBoundsText) {
  settings.SetMaxDialAttempts(0);
  EXPECT_FALSE(controller->Connect());
  EXPECT_EQ(0, ras.Count("RasDialA"));
  ASSERT_EQ(1u, status.shown.size());
  EXPECT_EQ(std::string("Der Verbindungsaufbau zum gewählten Provider ist fehlgeschlagen.\r\nFehler - ") +
                CErrTable::GetErrorString(-1),
            status.shown[0]);
}

TEST_F(ControllerTest, ConnectsAndHangsUp) {
  EXPECT_TRUE(controller->Connect());
  EXPECT_TRUE(controller->IsOnline());
  EXPECT_EQ(&provider, controller->GetMeter().GetProvider());
  EXPECT_EQ("0190123", std::string(controller->GetNumber()));
  EXPECT_TRUE(controller->HangUp());
  EXPECT_FALSE(controller->IsOnline());
  EXPECT_EQ(nullptr, controller->GetMeter().GetProvider());
}

TEST_F(ControllerTest, ProgressTexts) {
  HWND title = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr, nullptr);
  HWND line = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr, nullptr);
  controller->SetNumber("0190123");
  struct Case {
    WPARAM code;
    const char* text;
  } cases[] = {
      {0, "Initialisiere DFÜ-Device ."},
      {1, "DFÜ-Device initialisiert ..."},
      {2, "Wähle - 0190123 ........"},
      {3, "Verbindung hergestellt ..."},
      {5, "Passwortüberprüfung ......."},
      // a state with an error ends the attempt: its reason, not the state
      {2 | (676u << 16), "Leitung besetzt ..."},
      {19 | (691u << 16), "Benutzername oder Kennwort falsch ..."},
      {0 | (633u << 16), "Das DFÜ-Gerät ist belegt oder nicht für ausgehende Verbindungen eingerichtet ..."},
      {14, "Passwortüberprüfung erfolgreich ......."},
      {0x404, "Sende POP3 Request ..... "},
      {7, "Sende POP3 Request ..... "},  // other states change nothing
  };
  char buf[256];
  for (const Case& c : cases) {
    controller->FormatDialProgress(c.code, 0, title, line, nullptr);
    GetWindowTextA(line, buf, sizeof buf);
    EXPECT_STREQ(c.text, buf) << c.code;
  }
  controller->FormatDialProgress(0x402, 2, title, line, nullptr);
  GetWindowTextA(title, buf, sizeof buf);
  EXPECT_STREQ("Verbindungsaufbau Versuch-Nr.  2 mit 'Testnetz'", buf);
}

TEST_F(ControllerTest, UniqueEntryNames) {
  EXPECT_EQ("Neu", std::string(controller->MakeUniqueEntryName("Neu")));
  EXPECT_EQ("Corvalen2000(1)", std::string(controller->MakeUniqueEntryName("Corvalen2000")));
  EXPECT_EQ("", std::string(CConnectionController::DialPrefix("iImM")));
  EXPECT_EQ("0,", std::string(CConnectionController::DialPrefix("0i,")));
}

// Timer 5's work: an unchanged price only adds a billing unit; a changed one ends the price
// segment with its cost record and begins the next at the new price with the dial-in fee billed.
TEST_F(ControllerTest, BillingIntervalEndsTheSegmentWhenThePriceChanges) {
  CTarifManager manager;
  controller->SetTariffManager(&manager);
  provider.SetPrice(2.0f);
  ASSERT_TRUE(controller->Connect());
  ASSERT_TRUE(controller->IsOnline());
  CConnectionMeter& c = controller->GetMeter();
  CCostLog& log = controller->GetCostLog();
  auto records = [&log] {  // every record begins with its field "default"
    std::string text;
    log.BuildPaths();
    log.SetPath(&log.GetLogPath());
    log.ReadAll(text);
    int n = 0;
    for (size_t at = text.find("default;"); at != std::string::npos; at = text.find("default;", at + 1)) ++n;
    return n;
  };
  const auto before = records();
  controller->OnBillingInterval();
  EXPECT_FLOAT_EQ(2.0f, c.GetCost());
  EXPECT_EQ(before, records());
  EXPECT_FALSE(c.IsFeeBilled());

  provider.SetPrice(1.0f);
  controller->OnBillingInterval();
  EXPECT_EQ(before + 1, records());
  EXPECT_TRUE(c.IsFeeBilled());
  EXPECT_FLOAT_EQ(1.0f, c.GetPricePerMinute());
  EXPECT_FLOAT_EQ(3.0f, c.GetCost());

  EXPECT_TRUE(controller->HangUp());
  EXPECT_EQ(before + 2, records());
  controller->OnBillingInterval();  // offline: nothing
  EXPECT_EQ(before + 2, records());
}

// The failure box of a cost record, whose message loop runs the main window's timers: timer 4
// hangs up when it finds the line down, timer 5 runs the billing interval.
class NestingUi : public CTarifUi {
 public:
  void ShowError(const char*, const char*) override {
    ++errors;
    if (errors < 10 && nested) nested();
  }
  bool OpenDocument(const char*) override { return false; }
  int errors = 0;
  std::function<void()> nested;
};

// A cost record that cannot be written ("rechnung.log" is a folder) is reported once, and what
// the box's loop runs meanwhile neither hangs up again nor writes again; a hang-up during a
// billing interval's box stops the meter once the interval has returned, with one more message
// for its own record.
TEST_F(ControllerTest, AFailedCostRecordIsReportedOnceAndNothingNests) {
  CCostLog& log = controller->GetCostLog();
  log.BuildPaths();
  const std::string path = log.GetLogPath().str(), aside = path + ".beiseite";
  MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  NestingUi ui;
  SetTarifUi(&ui);
  ui.nested = [this] {
    controller->HangUp();
    controller->OnBillingInterval();
  };
  ASSERT_TRUE(controller->Connect());
  ras.ClearLog();
  EXPECT_TRUE(controller->HangUp());
  EXPECT_EQ(1, ui.errors);
  EXPECT_EQ(1, ras.Count("RasHangUpA")) << ras.Log();
  EXPECT_EQ(nullptr, controller->GetMeter().GetProvider());

  provider.SetPrice(2.0f);
  ASSERT_TRUE(controller->Connect());
  provider.SetPrice(1.0f);
  ui.errors = 0;
  ui.nested = [this] {
    controller->OnBillingInterval();
    controller->HangUp();
  };
  controller->OnBillingInterval();
  EXPECT_EQ(2, ui.errors);
  EXPECT_EQ(nullptr, controller->GetMeter().GetProvider());
  EXPECT_FALSE(controller->IsOnline());

  SetTarifUi(nullptr);
  RemoveDirectoryA(path.c_str());
  MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

// A provider with login and no entry yet: the new entry is created with the user's data and
// dialled with what it stores, not with empty texts over them; an assignment the store refuses
// takes the entry back and dials nothing.
TEST_F(ControllerTest, ANewEntryIsDialledWithItsStoredUserData) {
  ras.Set("Password", "geheim");
  provider.SetLoginRequired(TRUE);
  status.answer = IDYES;
  ras.ClearLog();
  EXPECT_TRUE(controller->Connect());
  EXPECT_TRUE(controller->IsOnline()) << ras.Log();
  EXPECT_EQ(ras.PhonebookValue("Neuer Zugang", "Password"), "geheim");
  EXPECT_EQ(ras.Count("password=\"\""), 0) << ras.Log();
  EXPECT_EQ(services.added, std::vector<std::string>{"own-1=Neuer Zugang"});
  EXPECT_TRUE(controller->HangUp());
}

// "Passwort speichern" of the new-entry dialog: the entry keeps the password only when ticked;
// the first dial uses the typed one either way, and a later dial of an entry without it asks
// for the user data.
TEST_F(ControllerTest, ANewEntryKeepsThePasswordOnlyWhenAskedTo) {
  const struct {
    BOOL save;
    const char* stored;
    const char* savedFlag;
    int askedOnSecondDial;
  } cases[] = {{TRUE, "geheim", "1", 0}, {FALSE, "", "0", 1}};
  for (const auto& c : cases) {
    services.added.clear();
    services.userDataShown = 0;
    services.savePassword = c.save;
    provider.SetRegistered(FALSE);
    controller->GetRasAccess().DeleteEntry("Neuer Zugang");
    ras.Set("Password", "geheim");
    provider.SetLoginRequired(TRUE);
    status.answer = IDYES;
    ras.ClearLog();
    EXPECT_TRUE(controller->Connect());
    EXPECT_TRUE(controller->IsOnline()) << c.save << ras.Log();
    EXPECT_EQ(ras.PhonebookValue("Neuer Zugang", "User"), "kunde") << c.save;
    EXPECT_EQ(ras.PhonebookValue("Neuer Zugang", "Password"), c.stored) << c.save;
    EXPECT_EQ(ras.PhonebookValue("Neuer Zugang", "PasswordSaved"), c.savedFlag) << c.save;
    EXPECT_EQ(ras.Count("user=\"kunde\" password=\"geheim\" domain=\"\" notifier"), 1) << c.save << ras.Log();
    EXPECT_TRUE(controller->HangUp());
    EXPECT_TRUE(controller->Connect());
    EXPECT_TRUE(controller->IsOnline()) << c.save << ras.Log();
    EXPECT_EQ(services.userDataShown, c.askedOnSecondDial) << c.save;
    EXPECT_TRUE(controller->HangUp());
  }
}

TEST_F(ControllerTest, ARefusedAssignmentDialsNothingAndTakesTheEntryBack) {
  provider.SetLoginRequired(TRUE);
  status.answer = IDYES;
  services.storeAccepts = FALSE;
  ras.ClearLog();
  controller->Connect();
  EXPECT_FALSE(controller->IsOnline());
  EXPECT_EQ(ras.Count("RasDialA"), 0) << ras.Log();
  EXPECT_EQ(ras.PhonebookValue("Neuer Zugang", "LocalPhoneNumber"), "<missing>");
  ASSERT_FALSE(status.shown.empty());
  EXPECT_EQ(status.shown.back(),
            "Die Zuordnung der DFÜ-Verbindung 'Neuer Zugang' konnte nicht in Corva.dat gespeichert werden.");
}
