// The text viewer of Corvalen: the tip of the day, the tariff-update note, every help text and
// the provider details. Texts of tips and help mark bold runs with "\b" and underlined runs with
// "\v" (see TipMarkup.h). The rich edit 2.0 variant detects addresses and opens a clicked one.
#pragma once

#include "AfxWin.h"
#include "DialogsResource.h"

// The rich edit 2.0 control of these dialogs.
class CRichEdit20Ctrl : public CRichEditCtrl {
 public:
  // EM_AUTOURLDETECT with that value.
  virtual LRESULT SendEditMessage(WPARAM wp) { return SendMessage(EM_AUTOURLDETECT, wp); }
  // Loads rich edit 2.0 and creates a "RichEdit20A" window; FALSE when the library cannot be loaded.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) override;
};

// The viewer with the plain rich edit control (template 175, control 1114), and the common
// work of both variants.
class CDlg_TippDesTages : public CDialog {
 public:
  explicit CDlg_TippDesTages(CWnd* parent = nullptr);
  void SetText(const CString& text) { m_text = text; }
  const CString& GetText() const { return m_text; }
  // Help mode titles the window "Hilfesystem Corvalen"; otherwise the template's tip caption stays.
  void SetHelpMode(BOOL help) { m_helpMode = help; }
  BOOL IsHelpMode() const { return m_helpMode; }
  // Cuts the text to kMaxTipLength (TipMarkup.h: the tips come from the server, and a rich edit
  // control handed megabytes stops answering), turns the markup into marker characters and runs
  // the rich edit 2.0 variant modally when RICHED20.DLL can be loaded, else this dialog.
  INT_PTR Show();
  // Shows `text` as a help text ("Hilfesystem Corvalen") over `parent`.
  static INT_PTR ShowHelp(CWnd* parent, const CString& text);

  BOOL OnInitDialog() override;
  void OnPaint() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  // The text as the control shows it and the runs made bold and underlined (for the tests).
  struct Run { long start, end; };
  std::vector<Run> m_boldRuns, m_underlineRuns;

 protected:
  CDlg_TippDesTages(UINT templateId, UINT editId, CWnd* parent);
  // Sets the text into the control and formats the runs.
  void ShowTextWithRuns(HWND edit);
  virtual void SetupControl(HWND edit) {}

  CString m_text;
  BOOL m_helpMode = FALSE;
  UINT m_editId;
  // Provider details: no markup, a title of their own.
  bool m_markup = true;
  CString m_title;
  CToolTipCtrl m_tip;
};

// The variant with rich edit 2.0 (template 5517, control 1061): links are detected and opened.
class CDlg_TippDesTages20 : public CDlg_TippDesTages {
 public:
  explicit CDlg_TippDesTages20(CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  // Opens a clicked web address (ShellExecute with "open"); the click handler hands on web
  // addresses only (WebAddress.h). The tests replace it.
  virtual void OpenLink(const CString& target);

 protected:
  CDlg_TippDesTages20(UINT templateId, CWnd* parent);
  void SetupControl(HWND edit) override;
  void OnLink(NMHDR* hdr, LRESULT* result);
  CRichEdit20Ctrl m_edit;
};

// The details of one provider: the viewer without markup, titled by the caller.
class CDlg_ProviderDetails20 : public CDlg_TippDesTages20 {
 public:
  CDlg_ProviderDetails20(CWnd* parent, const CString& title, const CString& text);
};
class CDlg_ProviderDetails : public CDlg_TippDesTages {
 public:
  CDlg_ProviderDetails(CWnd* parent, const CString& title, const CString& text);
};
// Shows the details (cut like a tip, without markup) in the rich edit 2.0 variant when RICHED20.DLL
// loads, else the fallback.
INT_PTR ShowProviderDetails(CWnd* parent, const CString& title, const CString& text);
