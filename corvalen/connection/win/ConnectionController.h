// The engine behind "Verbinden" and "Trennen": start-up checks, choosing and dialling the phone-book
// entry of the current provider with attempts and pauses, the work after connecting, and the
// hang-up. It holds the RAS access it dials with and the meter (ConnectionMeter.h) that costs
// the connection while it runs and writes its cost records.
//
// The controller reaches the main window only through its window handle (the timers and the
// progress and refresh messages of MainWindowMessages.h, SC_MINIMIZE, WM_CLOSE) and through
// CStatusHelper (texts and message boxes). The dialogs it opens and the work of the folders above
// it (server messages, update checks, mailbox check, entry assignments) are reached through
// CControllerServices, which the application supplies.
#pragma once

#include <windows.h>

#include <memory>

#include "CArray.h"
#include "COleDateTime.h"
#include "CString.h"
#include "ConnectionMeter.h"
#include "ConnectionNote.h"
#include "MainWindowMessages.h"
#include "CostLog.h"
#include "RasAccess.h"
#include "RasEntrySetup.h"
#include "Settings.h"
#include "StatusHelper.h"
#include "TarifManager.h"

class CConnectionController;

// A dial routine's result besides 0 (connected) and the CErrTable indices.
const int kDialCancelled = 99999;
// The own phone-book entry of the router.
extern const char kOwnEntryName[];

// What the controller asks of the rest of the program: its dialogs, the update checks, the
// mailbox check and the entry-assignment store, which live above this folder. Every default
// does nothing and answers "not done", so a caller (a test) overrides only what it needs; the
// program's set is CAppDialogs (corvalen/app).
class CControllerServices {
 public:
  virtual ~CControllerServices() = default;
  // The terms dialog; TRUE when it ended with OK and the terms were accepted.
  virtual BOOL ShowTerms(HWND parent) { return FALSE; }
  // The free-minutes dialog for a provider and the entry about to be dialled; TRUE for OK.
  virtual BOOL ShowFreeMinutes(HWND parent, CConnectionController& c, const CString& providerId,
                               const CString& entry) { return FALSE; }
  // The user-data dialog of a provider with an assigned entry; IDOK fills the three values.
  virtual int ShowUserData(HWND parent, CConnectionController& c, BOOL allowDelete, BOOL showActivationDay,
                           CString& user, CString& password, BOOL& saved) { return IDCANCEL; }
  // The dialog that names a new entry of the user's own for a provider; IDOK fills the values
  // (savePassword: its "Passwort speichern" box).
  virtual int ShowNewEntry(HWND parent, CConnectionController& c, CProvider& provider, BOOL ownNumber,
                           CString& name, CString& user, CString& password, BOOL& savePassword,
                           int& activationDay) {
    return IDCANCEL;
  }
  // The set-up wizard; its result (ID_WIZFINISH when finished, with the settings saved).
  virtual INT_PTR RunSetupWizard(HWND parent, CConnectionController& c) { return IDCANCEL; }
  // The text viewer in tip mode.
  virtual void ShowTip(HWND parent, const CString& text) {}

  // Server messages: read the stored ones (download off) or fetch them; 1 when refreshed.
  virtual int UpdateServerInfo(CConnectionController& c, BOOL download) { return 0; }
  virtual BOOL IsMessageOfDayDue(CConnectionController& c) { return FALSE; }
  // The tariff-update check: TRUE when an update was offered and taken.
  virtual BOOL RunTarifUpdateCheck(CConnectionController& c) { return FALSE; }
  virtual void RunDialerUpdateCheck(CConnectionController& c) {}
  virtual void StartMailCheck(CConnectionController& c) {}
  // Gives up the downloads that run now: the line they need is being hung up.
  virtual void CancelDownloads() {}

  // The entry-assignment store: the entry assigned to a provider id, or "null".
  virtual CString LookupAssignment(const CString& providerId) { return "null"; }
  virtual BOOL AddAssignment(const CString& providerId, const CString& entry, int activationDay) { return FALSE; }
  virtual BOOL RemoveAssignment(const CString& providerId) { return FALSE; }
  // A changed activation day of the provider's assignment, into the store and its file.
  virtual BOOL SetAssignmentDate(const CString& providerId, const COleDateTime& date) { return FALSE; }
  virtual void LoadAssignments(CTarifManager* manager) {}
};

class CConnectionController : public CObject {
 public:
  CConnectionController(CSettings* settings, CProvider* current, CStatusHelper* status, HWND mainWindow,
                        CControllerServices* services);
  ~CConnectionController() override;
  CConnectionController(const CConnectionController&) = delete;
  CConnectionController& operator=(const CConnectionController&) = delete;

  bool StartupCheck();
  bool Connect();
  int DialAssignedEntry();
  int DialOwnEntry();
  // typedPassword, when given, receives the password typed in the new-entry dialog, which the
  // entry keeps only when the user chose to save it.
  int CreateProviderEntry(CTarifManager* manager, CProvider* provider, CString& entryName, HWND parent,
                          CString* typedPassword = nullptr);
  CString MakeUniqueEntryName(const CString& base);
  void GetAssignedCredentials(CString& user, CString& password, BOOL& saved);
  void SetAssignedCredentials(const CString& user, const CString& password, BOOL save);
  int AskUserData(CString& password, BOOL allowDelete, BOOL showActivationDay);
  bool DeleteAssignment(CProvider* provider);
  bool HangUp();
  // Timer 5, once per billing interval while online: the meter's billing interval (a changed
  // price or takt ends the price segment with its cost record, and the timer starts again at the
  // new segment's interval). Offline it does nothing.
  void OnBillingInterval();
  // The connected provider's price may have changed between two intervals (its free minutes ran
  // out): a changed price ends the segment now and starts the timer again; an unchanged one
  // bills nothing.
  void OnPriceChange();
  void CancelDial();
  bool IsOnline();

  // The note of the running connection (ConnectionNote.h): written at the connect, at every new
  // price segment and, through NoteIfDue from timer 4, once a minute; removed at the hang-up, so
  // a program that ends online without its hang-up loses at most the last minute of its record.
  void NoteConnection();
  void NoteIfDue();
  // At start, after the start-up check: a note that a program left which ended online becomes its
  // cost record, marked as recovered, unless the line of its entry is still up; a line of the
  // router's entries that is still up (its own entry, the note's, those assigned to providers)
  // is kept to be hung up by "Trennen". TRUE when such a line is up.
  bool RecoverConnection();
  // The line found up at start, and its entry ("" when none).
  bool HasStrayConnection() const { return strayHandle_ != nullptr; }
  const CString& GetStrayEntry() const { return strayEntry_; }
  // Hangs that line up; a note that was left with it becomes its record up to now (the line ran
  // all the time), marked as recovered.
  void HangUpStray();
  void FormatDialProgress(WPARAM code, LPARAM number, HWND title, HWND status, HWND group);
  void OnConnected();
  CStringArray& GetDeviceNames();
  void GetDevice(CString& name, CString& type, int index);
  void SetTariffManager(CTarifManager* manager);
  bool RunSetupWizard();
  int UpdateOwnEntry();
  void ProbeProviderHomePage();

  // The provider the main dialog shows and the next dial uses; kept by its id as well, so that
  // it is found again after the tariff data were read again.
  void SetCurrentProvider(CProvider* p) {
    current_ = p;
    currentId_ = p ? p->GetId() : CString();
  }
  // After a reload of the tariff data: the current provider is the new record of its id, or
  // none when the new data lack it or hold it inactive (every record of before is gone).
  void FindCurrentProviderAgain();
  CProvider* GetCurrentProvider() const { return current_; }
  CRasAccess& GetRasAccess() { return ras_; }
  CConnectionMeter& GetMeter() { return meter_; }
  // The number shown while dialling: the dialled entry's area code and local number.
  void SetNumber(const CString& n) { number_ = n; }
  const CString& GetNumber() const { return number_; }
  CTarifManager* GetTariffManager() const { return manager_; }
  CSettings* GetSettings() const { return settings_; }
  CCostLog& GetCostLog() { return costLog_; }
  HWND GetMainWindow() const { return main_; }
  CStatusHelper* GetStatus() const { return status_; }
  CControllerServices& GetServices() { return *services_; }
  BOOL IsAutoDisconnect() const { return autoDisconnect_; }
  void SetAutoDisconnect(BOOL on) { autoDisconnect_ = on ? 1 : 0; }
  BOOL IsStartedByHook() const { return startedByHook_; }
  void SetStartedByHook(BOOL on) { startedByHook_ = on ? 1 : 0; }
  BOOL IsUpdateConnection() const { return updateConnection_; }
  void SetUpdateConnection(BOOL on) { updateConnection_ = on ? 1 : 0; }
  BOOL HasServerMessages() const { return serverMessages_; }

  // Timer periods and pauses are divided by this (1 in use; tests run the clock faster).
  void SetTimeScale(int scale) { scale_ = scale > 0 ? scale : 1; }
  UINT Scaled(UINT ms) const;
  // The pause between dial attempts; it keeps the windows answering ("Abbrechen" must work) and
  // ends early when the dial is cancelled.
  virtual void PauseBetweenAttempts(DWORD ms);
  // The prefix the modem dials: "DefaultDialString" without the line-type letters i, I, M, m.
  static CString DialPrefix(const CString& dialString);
  static CString ProgressText(int state, const CString& number);

 private:
  enum DialKind { kOwnEntry, kAssignedEntry };
  // Ends the line found up at start: hangs it up when `stillUp`, and writes the record of a note
  // left with it.
  void EndStray(bool stillUp);
  // The meter's stop at the hang-up: its last record, and the note removed once it is written.
  void StopMeter();
  int DialLoop(const CString& entry, const CString& user, const CString& password, DialKind kind);
  int Show(UINT textId, UINT icon);
  int ShowText(const CString& text, UINT icon);
  void SetMainTimer(UINT id, UINT ms) { ::SetTimer(main_, id, ms, nullptr); }
  void KillMainTimer(UINT id) { ::KillTimer(main_, id); }
  // Timer 5 at the billing interval of the meter's segment (CBillingRule), from now.
  void StartBillingTimer();
  // Stops the meter when a hang-up came while a billing step ran (its failure box open); TRUE then.
  bool StopIfPending();

  BYTE serverMessages_ = 0;
  BYTE updateConnection_ = 0;
  BYTE startedByHook_ = 0;
  BYTE autoDisconnect_ = 0;
  BYTE cancelDial_ = 0;
  BYTE hangingUp_ = 0;    // HangUp runs (a failure box of its cost record may be open)
  BYTE billing_ = 0;      // the billing interval runs (likewise)
  BYTE stopPending_ = 0;  // a hang-up came during the billing interval: the meter stops after it
  DWORD lastDialError_ = 0;  // the RAS error that ended the last attempt, 0 when none
  CCostLog costLog_;
  CStringArray deviceNames_;
  CTarifManager* manager_ = nullptr;
  HWND main_ = nullptr;
  CStatusHelper* status_ = nullptr;
  CSettings* settings_ = nullptr;
  CProvider* current_ = nullptr;
  CString currentId_;
  CRasAccess ras_;
  CConnectionMeter meter_;
  CString number_;
  CString dialledEntry_;  // the entry of the connection that runs
  CConnectionNoteFile note_;
  DWORD noteWritten_ = 0;  // tick count of the last note
  HRASCONN strayHandle_ = nullptr;
  CString strayEntry_;
  BYTE strayNoted_ = 0;       // a note was left with the stray line
  CConnectionNote strayNote_;
  CRasEntrySetup entrySetup_;
  CControllerServices* services_ = nullptr;
  CControllerServices noServices_;
  int scale_ = 1;
  bool socketsStarted_ = false;
};
