#include <winsock2.h>

#include "ConnectionController.h"

#include <cstring>

#include "ErrTable.h"
#include "RasErrorText.h"
#include "Internet.h"
#include "PropertySheet.h"
#include "TarifClock.h"
#include "TarifTexts.h"

const char kOwnEntryName[] = "Corvalen2000";

namespace {

// The web server that a provider flagged "skipfirstpage" wants to see once before its line
// carries traffic.
const char kProbeHost[] = "www.freenet.de";

// String-table ids of the texts shown here.
enum : UINT {
  kIdsDialFailed = 146,
  kIdsConnectionActive = 147,
  kIdsFreenetWarning = 201,
  kIdsNoDun = 5102,
  kIdsNoPath = 5105,
  kIdsEntryNotCreated = 5107,
  kIdsAssignmentRead = 5114,
  kIdsAssignmentDelete = 5116,
  kIdsOfferOwnEntry = 5119,
  kIdsNoSockets = 5126,
  kIdsLoginOnly = 5508,
};

// Sets a flag for as long as a scope runs (also when an exception leaves it).
class CFlagScope {
 public:
  explicit CFlagScope(BYTE& flag) : flag_(flag) { flag_ = 1; }
  ~CFlagScope() { flag_ = 0; }
  CFlagScope(const CFlagScope&) = delete;
  CFlagScope& operator=(const CFlagScope&) = delete;

 private:
  BYTE& flag_;
};

}  // namespace

CConnectionController::CConnectionController(CSettings* settings, CProvider* current, CStatusHelper* status,
                                             HWND mainWindow, CControllerServices* services)
    : costLog_(settings),
      main_(mainWindow),
      status_(status),
      settings_(settings),
      current_(current),
      currentId_(current ? current->GetId() : CString()),
      meter_(&costLog_),
      note_(settings),
      services_(services ? services : &noServices_) {}

void CConnectionController::FindCurrentProviderAgain() {
  CProvider* again = manager_ && !currentId_.IsEmpty() ? manager_->FindProvider(currentId_) : nullptr;
  if (again && !again->IsActive()) again = nullptr;
  current_ = again;
  if (!again) currentId_.Empty();
}

CConnectionController::~CConnectionController() {
  if (socketsStarted_) WSACleanup();
}

UINT CConnectionController::Scaled(UINT ms) const {
  UINT v = ms / static_cast<UINT>(scale_);
  return v ? v : 1;
}

int CConnectionController::Show(UINT textId, UINT icon) {
  status_->LoadText(textId);
  return status_->ShowMessage(icon);
}

int CConnectionController::ShowText(const CString& text, UINT icon) {
  status_->SetText(text);
  return status_->ShowMessage(icon);
}

bool CConnectionController::StartupCheck() {
  UINT failure = 0;
  WSADATA wsa;
  if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) {
    failure = kIdsNoSockets;
  } else {
    socketsStarted_ = true;
    if (ras_.Load() != 0) failure = kIdsNoDun;
  }
  if (!failure) {
    services_->UpdateServerInfo(*this, FALSE);
    while (!settings_->IsAGBAccepted()) {
      if (!services_->ShowTerms(main_)) {
        status_->SendToOwner(WM_CLOSE, 0, 0);
        return false;
      }
      settings_->SetAGB("1");
    }
    CString path = settings_->GetPATH();
    path.Trim();
    if (path.IsEmpty()) failure = kIdsNoPath;
  }
  if (!failure && entrySetup_.EntryExists(ras_, kOwnEntryName)) return true;
  if (!failure) {
    CProvider* def = settings_->GetProvider();
    int rc = entrySetup_.CreateEntry(kOwnEntryName, ras_, def->GetPhoneNumber(), *settings_, def->GetUserName(),
                                     def->GetPassword(), TRUE);
    if (rc == 0) return true;
    // The RAS layer keeps the system's own error number; its text is looked up by that number
    // (when RAS reported none, the access layer's own text says what failed).
    unsigned r = ras_.GetLastResult();
    CString text = CString::Formatted("Fehler %d, %d :  ", static_cast<int>(r), 600);
    text += r ? CRasAccess::GetRasErrorText(r) : CErrTable::GetErrorString(rc);
    ShowText(text, MB_ICONEXCLAMATION);
    failure = kIdsEntryNotCreated;
  }
  Show(failure, MB_ICONHAND);
  status_->SendToOwner(WM_CLOSE, 0, 0);
  return false;
}

bool CConnectionController::Connect() {
  meter_.SetProvider(nullptr);
  lastDialError_ = 0;
  int rc = ras_.EnumConnections();
  if (rc != 0) {
    // Without knowing whether a line is up, dialling could start a second connection: say so.
    ShowText(status_->GetString(kIdsDialFailed) + " " + CErrTable::GetErrorString(rc), MB_ICONEXCLAMATION);
    return false;
  }
  if (ras_.GetConnectionCount() != 0) {
    Show(kIdsConnectionActive, MB_ICONEXCLAMATION);
    return true;
  }
  // The line found up at start went down by itself meanwhile.
  EndStray(false);
  if (!current_) return false;
  int result = current_->IsLoginRequired() ? DialAssignedEntry() : DialOwnEntry();
  if (result == 0 || result == kDialCancelled) {
    OnConnected();
    return true;
  }
  // A dial that RAS ended names its reason in German (busy, refused login, no dial tone, ...);
  // the layer's own failures keep their table text.
  CString reason = lastDialError_ ? CString(RasErrorReason(lastDialError_)) + "."
                                  : CString(CErrTable::GetErrorString(result));
  ShowText(status_->GetString(kIdsDialFailed) + " " + reason, MB_ICONEXCLAMATION);
  return false;
}

int CConnectionController::DialAssignedEntry() {
  CString entry, user, password;
  if (current_->IsRegistered()) {
    entry = services_->LookupAssignment(current_->GetId());
    if (entry == "null") {
      Show(kIdsAssignmentRead, MB_ICONEXCLAMATION);
      return kDialCancelled;
    }
    BOOL saved = FALSE;
    GetAssignedCredentials(user, password, saved);
    if (user.IsEmpty() || password.IsEmpty() || !saved) {
      if (AskUserData(password, FALSE, FALSE) == kDialCancelled) return kDialCancelled;
    }
    user = "";  // the entry's stored user name is dialled
  } else {
    meter_.SetProvider(current_);
    // The first dial of the new entry uses the password just typed, saved or not.
    int rc = CreateProviderEntry(manager_, current_, entry, main_, &password);
    SetCurrentProvider(meter_.GetProvider());
    meter_.SetProvider(nullptr);
    if (rc != 0) return rc;
  }
  int result = DialLoop(entry, user, password, kAssignedEntry);
  // A refused login is the user's own entry's: the user may type the credentials again and the
  // entry is dialled with them.
  while (result != 0 && result != kDialCancelled && IsRasLoginRefused(lastDialError_) && current_->IsRegistered()) {
    status_->SetText(CString(RasErrorReason(lastDialError_)) + ": der Zugang '" + entry +
                     "' wurde abgelehnt.\nMöchten Sie Benutzername und Kennwort neu eingeben?");
    if (status_->ShowMessageTitled(status_->GetString(kIdsTitle), MB_YESNO | MB_ICONQUESTION) != IDYES) break;
    if (AskUserData(password, FALSE, FALSE) == kDialCancelled) return kDialCancelled;
    result = DialLoop(entry, "", password, kAssignedEntry);
  }
  return result;
}

int CConnectionController::DialOwnEntry() {
  CString entry;
  if (current_->IsRegistered()) {
    entry = services_->LookupAssignment(current_->GetId());
    if (entry == "null") {
      Show(kIdsAssignmentRead, MB_ICONEXCLAMATION);
      return kDialCancelled;
    }
  } else {
    entry = kOwnEntryName;
    if (current_->HasFreeMinutes() && current_->GetCallCount() == 0) {
      if (!services_->ShowFreeMinutes(main_, *this, current_->GetId(), entry)) return kDialCancelled;
      // The minutes the user just gave as used may have ended the free ones: the providers are
      // ranked again, so the connection starts at the price that holds now.
      if (manager_) {
        int changes = 0;
        manager_->Recompute(&changes, nullptr);
      }
    }
    entrySetup_.SetDefaultInternetEntry(kOwnEntryName);
    int rc = entrySetup_.WriteEntry(kOwnEntryName, ras_, current_->GetPhoneNumber(), *settings_, "", "", TRUE, FALSE);
    if (rc != 0) return rc;
  }
  return DialLoop(entry, current_->GetUserName(), current_->GetPassword(), kOwnEntry);
}

CString CConnectionController::DialPrefix(const CString& dialString) {
  CString prefix;
  for (int i = 0; i < dialString.GetLength(); ++i) {
    char c = dialString[i];
    if (c != 'i' && c != 'I' && c != 'M' && c != 'm') prefix += c;
  }
  return prefix;
}

void CConnectionController::PauseBetweenAttempts(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (cancelDial_) return;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    if (!AfxPumpWaitingMessages()) return;
  }
}

int CConnectionController::DialLoop(const CString& entry, const CString& user, const CString& password,
                                    DialKind kind) {
  CString prefix = DialPrefix(settings_->GetDefaultDialString());
  int result = -1;
  int attempt = 1;
  cancelDial_ = 0;
  ras_.SetNotifyWindow(main_, kMsgDialProgress);
  char number[21] = {}, area[11] = {};
  ras_.GetEntryPhoneNumber(entry, number, sizeof number, area, sizeof area);
  SetNumber(CString(area) + number);
  int maxAttempts = settings_->GetMaxDialAttempts();
  DWORD pause = Scaled(static_cast<UINT>(settings_->GetWaitingTimeForDialAttempts()) * 1000u);
  while (attempt <= maxAttempts && result != kErrRasNotLoaded && !cancelDial_) {
    status_->SendToOwner(kMsgDialProgress, kProgressAttempt, attempt);
    // An empty user name or password dials what the entry has stored; an empty text would be
    // dialled over it.
    result = ras_.Dial(main_, entry, prefix.str(), user.IsEmpty() ? nullptr : static_cast<const char*>(user),
                       password.IsEmpty() ? nullptr : static_cast<const char*>(password));
    lastDialError_ = result == 0 ? 0 : ras_.GetDialError();
    if (cancelDial_) return kDialCancelled;
    if (result == 0) {
      dialledEntry_ = entry;
      break;
    }
    bool pauseFollows;
    if (kind == kOwnEntry) {
      pauseFollows = attempt < maxAttempts;
      ++attempt;
    } else {
      ++attempt;
      pauseFollows = attempt < maxAttempts;
    }
    if (pauseFollows && result != kErrRasNotLoaded) {
      PauseBetweenAttempts(pause);
      if (cancelDial_) return kDialCancelled;
    }
  }
  return result;
}

int CConnectionController::CreateProviderEntry(CTarifManager* manager, CProvider* provider, CString& entryName,
                                               HWND parent, CString* typedPassword) {
  CString name = provider->GetName();
  name.MakeLower();
  if (name.Find("freenet") >= 0) Show(kIdsFreenetWarning, MB_ICONWARNING);
  CString text;
  if (provider->IsLoginRequired()) {
    text = status_->GetString(kIdsLoginOnly);
    if (provider->GetBaseFee() > 0)
      text += "\n(Monatliche Grundgebühr des Anbieters : " + CString::Formatted("%.2f", provider->GetBaseFee()) + " DM)";
  } else {
    text = status_->GetString(kIdsOfferOwnEntry);
  }
  status_->SetText(text);
  if (status_->ShowMessageTitled(status_->GetString(kIdsTitle), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
    return kDialCancelled;
  CString entry = MakeUniqueEntryName(provider->GetName());
  CString user = provider->GetUserName(), password = provider->GetPassword();
  int day = 1;
  BOOL save = TRUE;
  if (services_->ShowNewEntry(parent, *this, *provider, !provider->IsLoginRequired(), entry, user, password, save,
                              day) != IDOK)
    return kDialCancelled;
  // Unless the user saves the password the entry keeps only the user name, and later dials ask
  // for the password in the user-data dialog.
  if (entrySetup_.CreateEntry(entry, ras_, provider->GetPhoneNumber(), *settings_, user, password, save) != 0) return 1;
  // An entry whose assignment is not stored would be dialled now and orphaned at the next start:
  // it is taken back instead and nothing is dialled.
  if (!services_->AddAssignment(provider->GetId(), entry, day)) {
    ras_.DeleteEntry(entry);
    ShowText("Die Zuordnung der DFÜ-Verbindung '" + entry + "' konnte nicht in Corva.dat gespeichert werden.",
             MB_ICONEXCLAMATION);
    return kDialCancelled;
  }
  entryName = entry;
  if (typedPassword) *typedPassword = password;
  provider->SetRegistered(TRUE);
  status_->SendToOwner(kMsgRefreshProviders, 0, 0);
  return 0;
}

CString CConnectionController::MakeUniqueEntryName(const CString& base) {
  if (ras_.ValidateEntryName(base) == 0) return base;
  for (int n = 1; n <= 99; ++n) {
    CString candidate = base + CString::Formatted("(%d)", n);
    if (ras_.ValidateEntryName(candidate) == 0) return candidate;
  }
  return base;
}

void CConnectionController::GetAssignedCredentials(CString& user, CString& password, BOOL& saved) {
  user = password = "";
  saved = FALSE;
  CString entry = current_ ? services_->LookupAssignment(current_->GetId()) : CString("null");
  if (entry == "null") {
    Show(kIdsAssignmentRead, MB_ICONEXCLAMATION);
    return;
  }
  entrySetup_.GetCredentials(entry, ras_, user, password, saved);
}

void CConnectionController::SetAssignedCredentials(const CString& user, const CString& password, BOOL save) {
  CString entry = current_ ? services_->LookupAssignment(current_->GetId()) : CString("null");
  if (entry == "null") {
    Show(kIdsAssignmentRead, MB_ICONEXCLAMATION);
    return;
  }
  entrySetup_.SetCredentials(entry, ras_, user, password, save);
}

int CConnectionController::AskUserData(CString& password, BOOL allowDelete, BOOL showActivationDay) {
  if (current_ && current_->IsRegistered() && current_->IsLoginRequired()) {
    CString user, pw;
    BOOL saved = FALSE;
    GetAssignedCredentials(user, pw, saved);
    if (services_->ShowUserData(main_, *this, allowDelete, showActivationDay, user, pw, saved) != IDOK)
      return kDialCancelled;
    SetAssignedCredentials(user, pw, saved);
    password = pw;
    return 0;
  }
  if (!current_) return 0;
  CString entry;
  int rc = CreateProviderEntry(manager_, current_, entry, main_);
  if (rc != 0 && rc != kDialCancelled) Show(kIdsAssignmentRead, MB_ICONEXCLAMATION);
  return 0;
}

bool CConnectionController::DeleteAssignment(CProvider* provider) {
  services_->LoadAssignments(manager_);
  CString entry = services_->LookupAssignment(provider->GetId());
  if (entry == "null") {
    Show(kIdsAssignmentRead, MB_ICONEXCLAMATION);
    return false;
  }
  services_->RemoveAssignment(provider->GetId());
  provider->SetRegistered(FALSE);
  if (ras_.DeleteEntry(entry) != 0) {
    Show(kIdsAssignmentDelete, MB_ICONEXCLAMATION);
    return false;
  }
  status_->SendToOwner(kMsgRefreshProviders, 0, 0);
  return true;
}

bool CConnectionController::HangUp() {
  // A cost record that cannot be written shows a message box, whose message loop runs this
  // window's timers and buttons: timer 4 would find the line down and hang up again, nested, and
  // every nesting would show its own box. The timers stop before the record is written, and a
  // hang-up that is running is not entered again.
  if (hangingUp_) return true;
  CFlagScope running(hangingUp_);
  KillMainTimer(kTimerOnline);
  KillMainTimer(kTimerBilling);
  KillMainTimer(kTimerMailCheck);
  // A download that runs meanwhile (the window keeps answering during it) has no line any more.
  services_->CancelDownloads();
  ras_.HangUp();
  CProvider* metered = meter_.GetProvider();
  if (!metered) return true;
  if (manager_) manager_->StopFreeMinutes(metered);
  // A billing interval that is writing its segment's record (its failure box open) finishes the
  // meter's work first; the last record is written when it returns.
  if (billing_) {
    stopPending_ = 1;
    return true;
  }
  StopMeter();
  return true;
}

void CConnectionController::StopMeter() {
  // The note is brought up to the hang-up first: when the record cannot be written (the failure
  // is reported), the note stays, and the next start writes the record it holds.
  NoteConnection();
  meter_.Stop();
  if (meter_.WasRecordWritten()) note_.Remove();
  SetMainTimer(kTimerRefresh, Scaled(60000));
}

void CConnectionController::OnBillingInterval() {
  if (billing_ || hangingUp_ || !meter_.GetProvider() || !IsOnline()) return;
  const COleDateTime segmentBefore = meter_.GetSegmentStart();
  bool newInterval = false;
  {
    CFlagScope running(billing_);
    newInterval = meter_.OnBillingInterval();
  }
  if (StopIfPending()) return;
  if (newInterval) StartBillingTimer();
  // A new price segment began: the note follows it at once.
  if (meter_.GetSegmentStart() != segmentBefore) NoteConnection();
}

void CConnectionController::OnPriceChange() {
  if (billing_ || hangingUp_ || !meter_.GetProvider() || !IsOnline()) return;
  bool newInterval = false;
  {
    CFlagScope running(billing_);
    newInterval = meter_.OnPriceChange();
  }
  if (StopIfPending()) return;
  if (newInterval) StartBillingTimer();
  NoteConnection();
}

bool CConnectionController::StopIfPending() {
  // A hang-up that came while a cost record's failure box was open stops the meter now.
  if (!stopPending_) return false;
  stopPending_ = 0;
  CFlagScope stopping(hangingUp_);  // the last record's failure box runs no hang-up either
  StopMeter();
  return true;
}

void CConnectionController::StartBillingTimer() {
  SetMainTimer(kTimerBilling, Scaled(static_cast<UINT>(meter_.GetIntervalSeconds()) * 1000u));
}

void CConnectionController::NoteConnection() {
  if (!meter_.GetProvider()) return;
  note_.Write(MakeConnectionNote(meter_, dialledEntry_, GetNow(), GetSteadySeconds()));
  noteWritten_ = ::GetTickCount();
}

void CConnectionController::NoteIfDue() {
  if (meter_.GetProvider() && ::GetTickCount() - noteWritten_ >= Scaled(60000)) NoteConnection();
}

bool CConnectionController::RecoverConnection() {
  CConnectionNote note;
  CConnectionNoteFile::ReadResult read = note_.Read(note);
  // A damaged note makes no record: its values cannot be trusted. It is removed, so it does not
  // come again at every start.
  if (read == CConnectionNoteFile::kNoteDamaged) note_.Remove();
  // The router's entries: its own, the note's, and those assigned to providers.
  CStringArray entries;
  entries.Add(kOwnEntryName);
  if (read == CConnectionNoteFile::kNoteRead && !note.entry.IsEmpty()) entries.Add(note.entry);
  if (manager_) {
    const CProviderArray& providers = manager_->GetActiveByName();
    for (int i = 0; i < providers.GetSize(); ++i) {
      if (!providers[i]->IsRegistered()) continue;
      CString entry = services_->LookupAssignment(providers[i]->GetId());
      if (entry != "null") entries.Add(entry);
    }
  }
  strayHandle_ = nullptr;
  strayEntry_.Empty();
  if (ras_.EnumConnections() == 0) {
    for (int i = 0; i < ras_.GetConnectionCount() && !strayHandle_; ++i) {
      RASCONNA conn = {};
      conn.dwSize = sizeof conn;
      if (ras_.GetConnection(&conn, i) != 0) continue;
      for (int e = 0; e < entries.GetSize(); ++e) {
        if (entries[e] != conn.szEntryName) continue;
        strayHandle_ = conn.hrasconn;
        strayEntry_ = conn.szEntryName;
        break;
      }
    }
  }
  strayNoted_ = 0;
  if (read != CConnectionNoteFile::kNoteRead) return strayHandle_ != nullptr;
  if (strayHandle_ && strayEntry_ == note.entry) {
    // The line of the note still runs: its record is written when it is hung up.
    strayNote_ = note;
    strayNoted_ = 1;
    return true;
  }
  if (costLog_.AppendRecordText(RecoveredRecordText(note, note.seconds))) note_.Remove();
  return strayHandle_ != nullptr;
}

void CConnectionController::HangUpStray() { EndStray(true); }

void CConnectionController::EndStray(bool stillUp) {
  if (!strayHandle_) return;
  HRASCONN handle = strayHandle_;
  strayHandle_ = nullptr;
  strayEntry_.Empty();
  if (stillUp) ras_.HangUpConnection(handle);
  if (!strayNoted_) return;
  strayNoted_ = 0;
  // A line hung up here ran from the note's writing until now: that time is billed as well. One
  // that went down by itself meanwhile is billed up to the note (when it ended is not known).
  double later = stillUp ? (GetNow() - strayNote_.written).GetTotalSeconds() : 0;
  if (!(later > 0) || later > 36500.0 * 86400.0) later = 0;
  if (costLog_.AppendRecordText(RecoveredRecordText(strayNote_, strayNote_.seconds + later))) note_.Remove();
}

void CConnectionController::CancelDial() {
  cancelDial_ = 1;
  ras_.CancelDial();
  ras_.HangUp();
}

bool CConnectionController::IsOnline() { return ras_.IsConnected() != 0; }

CString CConnectionController::ProgressText(int state, const CString& number) {
  switch (state) {
    case 0: return "Initialisiere DFÜ-Device .";
    case 1: return "DFÜ-Device initialisiert ...";
    case 2: return "Wähle - " + number + " ........";
    case 3: return "Verbindung hergestellt ...";
    case 5:
    case 19: return "Passwortüberprüfung .......";
    case 14: return "Passwortüberprüfung erfolgreich .......";
    default: return CString();
  }
}

void CConnectionController::FormatDialProgress(WPARAM code, LPARAM number, HWND title, HWND status, HWND group) {
  unsigned low = static_cast<unsigned>(code & 0xFFFF);
  if (low == kProgressAttempt) {
    CString name = current_ ? current_->GetName() : CString();
    CString text = CString::Formatted("Verbindungsaufbau Versuch-Nr.  %d", static_cast<int>(number)) + " mit '" + name + "'";
    ::SetWindowTextA(title, text);
    return;
  }
  if (low == kProgressMailCheck) {
    ::SetWindowTextA(status, "Sende POP3 Request ..... ");
    return;
  }
  // A state that RAS reports with an error ends the attempt: the status line says why (and keeps
  // saying it through the pause before the next attempt and after the last one).
  unsigned error = static_cast<unsigned>(code >> 16) & 0xFFFF;
  CString text = error ? CString(RasErrorReason(error)) + " ..." : ProgressText(static_cast<int>(low), number_);
  if (!text.IsEmpty()) ::SetWindowTextA(status, text);
}

void CConnectionController::OnConnected() {
  serverMessages_ = 0;
  if (!IsOnline() || !current_) return;
  meter_.Start(current_);
  NoteConnection();
  SetMainTimer(kTimerOnline, Scaled(1000));
  StartBillingTimer();
  ::SendMessageA(main_, WM_TIMER, kTimerBilling, 0);
  if (manager_) {
    manager_->CountCall(current_);
    manager_->StartFreeMinutes(current_);
  }
  if (current_->GetSkipFirstPage()) ProbeProviderHomePage();
  // The downloads keep the window answering, so the user may hang up during one: what follows
  // is work for a line that is up, and stops when it is not any more.
  if (services_->IsMessageOfDayDue(*this) && services_->UpdateServerInfo(*this, TRUE) == 1) serverMessages_ = 1;
  if (updateConnection_ || !IsOnline()) return;
  if (services_->RunTarifUpdateCheck(*this)) {
    services_->ShowTip(main_, settings_->GetTarifUpdateTip());
    status_->SendToOwner(kMsgRefreshProviders, 0, 1);
  }
  if (!IsOnline()) return;
  services_->RunDialerUpdateCheck(*this);
  if (settings_->GetPOP3() == "1") {
    status_->SendToOwner(kMsgDialProgress, kProgressMailCheck, 0);
    services_->StartMailCheck(*this);
    SetMainTimer(kTimerMailCheck, Scaled(1200000));
  }
  if (!startedByHook_)
    SetMainTimer(kTimerUrlOfDay, 1);
  else if (serverMessages_)
    services_->ShowTip(main_, settings_->GetDailyTip());
  ::SendMessageA(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

CStringArray& CConnectionController::GetDeviceNames() {
  deviceNames_.RemoveAll();
  if (ras_.EnumDevices() == 0) {
    for (int i = 0; i < ras_.GetDeviceCount(); ++i) {
      RASDEVINFOA info = {};
      info.dwSize = sizeof info;
      if (ras_.GetDevice(&info, i) == 0) deviceNames_.Add(info.szDeviceName);
    }
  }
  return deviceNames_;
}

void CConnectionController::GetDevice(CString& name, CString& type, int index) {
  name = type = "";
  RASDEVINFOA info = {};
  info.dwSize = sizeof info;
  if (ras_.EnumDevices() == 0 && ras_.GetDevice(&info, index) == 0) {
    name = info.szDeviceName;
    type = info.szDeviceType;
  }
}

void CConnectionController::SetTariffManager(CTarifManager* manager) {
  manager_ = manager;
  services_->LoadAssignments(manager);
}

bool CConnectionController::RunSetupWizard() { return services_->RunSetupWizard(main_, *this) == ID_WIZFINISH; }

int CConnectionController::UpdateOwnEntry() {
  return entrySetup_.WriteEntry(kOwnEntryName, ras_, "", *settings_, "", "", FALSE, FALSE);
}

void CConnectionController::ProbeProviderHomePage() {
  try {
    CInternetSession session("Microsoft Internet Browser");
    CHttpConnection* connection = session.GetHttpConnection(kProbeHost);
    CHttpFile* file = nullptr;
    try {
      file = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "/");
      file->SendRequest();
      char buffer[256];
      while (file->Read(buffer, sizeof buffer) == sizeof buffer) {
      }
    } catch (CInternetException&) {
    }
    delete file;
    delete connection;
  } catch (CInternetException&) {
  }
}
