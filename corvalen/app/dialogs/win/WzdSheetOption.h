// The set-up wizard of the first start: the RAS device, the outside-line prefix and the
// take-over of existing dial-up entries. The connection controller runs it modally while
// "DefaultDFUDeviceName" is "DEFAULT" and saves its settings when it ends with "Fertig stellen".
#pragma once

#include <functional>

#include "AfxWin.h"
#include "ConnectionController.h"
#include "DialogsResource.h"

class CWzdSheetOption;

// A wizard page whose child controls get the tool tip of their id.
class CWzdPage : public CPropertyPage {
 public:
  using CPropertyPage::CPropertyPage;
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  CWzdSheetOption* GetWizard() const;

 protected:
  CToolTipCtrl m_tip;
};

// Page 1: the RAS device.
class CWzdPageOption1 : public CWzdPage {
 public:
  CWzdPageOption1() : CWzdPage(IDD_WZD_MODEM) {}
  const CMessageMap* GetMessageMap() const override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  void OnSelchangeDevices();

  CComboBox m_devices;
  CString m_deviceType;
  CString m_deviceName;
};

// Page 2: the digits for an outside line, at most 10 characters; "i" or "m" choose the line type.
class CWzdPageOption2 : public CWzdPage {
 public:
  CWzdPageOption2() : CWzdPage(IDD_WZD_AMTSHOLUNG) {}
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;

  CString m_dialString;
};

// Page 3: how often to look for updates. Built, but not shown: the wizard sets daily checks.
class CWzdPageOption3 : public CWzdPage {
 public:
  CWzdPageOption3() : CWzdPage(IDD_WZD_UPDATE) {}
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;

  int m_updateFrequency = -1;
};

// Page 4: taking over dial-up entries the user already has.
class CWzdPageOption4 : public CWzdPage {
 public:
  CWzdPageOption4() : CWzdPage(IDD_WZD_UEBERNAHME) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnWizardFinish() override;
  void OnUebernahme();
};

class CWzdSheetOption : public CPropertySheet {
 public:
  // The take-over dialog of the dial-up entries, run with the wizard's controller; while the
  // program has none, the button of page 4 is disabled.
  using TakeOverDialog = std::function<void(CWnd* parent, CConnectionController* controller)>;
  static void SetTakeOverDialog(TakeOverDialog run) { TakeOver() = std::move(run); }
  static TakeOverDialog& TakeOver();

  explicit CWzdSheetOption(CWnd* parent = nullptr);
  void SetController(CConnectionController* c) { m_controller = c; }
  CConnectionController* GetController() const { return m_controller; }
  BOOL OnInitDialog() override;
  // Writes the wizard's settings (an empty value as " ").
  void SaveSettings();

  CWzdPageOption1 m_page1;
  CWzdPageOption2 m_page2;
  CWzdPageOption3 m_page3;
  CWzdPageOption4 m_page4;

 private:
  CConnectionController* m_controller = nullptr;
};

// Runs the wizard for the controller; when it ends with ID_WIZFINISH its settings are saved and
// the router's own phone-book entry (made before the wizard ran, with the first device) is
// rewritten for the chosen device.
INT_PTR RunSetupWizard(CWnd* parent, CConnectionController* controller);
