// The dialogs of the options pages: the provider filter, the mailbox (also asked by the mailbox
// check), the bill of a period of the user's choice and the administration of the log files.
#pragma once

#include "AfxWin.h"
#include "DialogsResource.h"
#include "Settings.h"
#include "TarifManager.h"

// "Anbieterauswahl": the six filter switches and the ids always shown or hidden. Every change is
// written at once (the lists show what the ranking will do); "Abbrechen" writes back the values
// found at the start.
class CDlg_Anbieterauswahl : public CDialog {
 public:
  CDlg_Anbieterauswahl(CTarifManager* manager, CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void OnSwitch();
  void OnHide();
  void OnShow();
  void OnHilfe();
  void Refill();
  // Takes the selected provider of list `from` out of the list `cutFrom`, else adds it to `addTo`.
  void Move(int from, BOOL hide);

  CTarifManager* m_manager;
  CSettings m_ownSettings;  // over the same registry keys, for a manager without settings
  CSettings* m_settings;
  CString m_startShown, m_startHidden;
  CFilterSwitches m_startSwitches;
};

// "Postfach-Abfrage": whether and with which user name and password the mailbox is checked.
// Opened by the mailbox check, a password that is not to be kept is written for that one check
// (the check clears it); opened from the options, it is not written at all.
class CDlg_Postfach : public CDialog {
 public:
  explicit CDlg_Postfach(BOOL forMailCheck, CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  static const char kDefaultUser[];  // "Benutzer"

 private:
  void OnHilfe();
  BOOL m_forMailCheck;
  CSettings m_settings;
};

// "Benutzerdefinierte Rechnung": the HTML bill of the period between two dates and times.
class CDlg_Benutzerrechnung : public CDialog {
 public:
  explicit CDlg_Benutzerrechnung(CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void SetSorted(BOOL sorted) { m_sorted = sorted; }

  // "7:5" -> 7, 5: hours below 24, a colon, minutes below 60, at most 5 characters with one or two
  // digits on each side. FALSE for anything else.
  static BOOL ParseTime(const CString& text, int& hours, int& minutes);

 private:
  void OnRechnung();
  void OnHilfe();
  BOOL m_sorted = FALSE;
  CDateTimeCtrl m_fromDate, m_toDate;
};

// "Administration der Protokolldateien": export, import and delete the cost log "rechnung.log"
// and the free-minute protocol "free.log" of the data folder.
class CDlg_Protokolldateien : public CDialog {
 public:
  CDlg_Protokolldateien(CTarifManager* manager, CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;

 private:
  void Export(const char* name);
  // Both ask first (No is the default answer); an import of the cost log takes only a file whose
  // every record reads, else the log in force stays.
  void Import(const char* name);
  void Delete(const char* name);
  bool Ask(const CString& question);
  void OnExportBill() { Export(kBill); }
  void OnImportBill() { Import(kBill); }
  void OnDeleteBill() { Delete(kBill); }
  void OnExportFree() { Export(kFree); }
  void OnImportFree() { Import(kFree); }
  void OnDeleteFree() { Delete(kFree); }
  // The free-minute records in memory follow the file, so the next save cannot bring back a
  // deleted or replaced one.
  void AfterFreeChange(const char* name);

  static const char kBill[];
  static const char kFree[];
  CTarifManager* m_manager;
  CString m_folder;
};
