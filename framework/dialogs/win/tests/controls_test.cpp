// Control wrappers, rich edit 2.0, message boxes with string-table titles.
#include <gtest/gtest.h>

#include "test_resources.h"
#include "test_support.h"

namespace {

class CRichDlg : public CDialog {
 public:
  CRichDlg() : CDialog(IDD_FORM) {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_RICH, m_rich);
    DDX_Control(dx, IDC_COMBO, m_combo);
    DDX_Control(dx, IDC_LIST, m_list);
    DDX_Control(dx, IDC_GROUP, m_group);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    check();
    EndDialog(IDOK);
    return TRUE;
  }
  std::function<void()> check;
  CRichEditCtrl m_rich;
  CComboBox m_combo;
  CListBox m_list;
  CGroupBox m_group;
};

TEST(Controls, RichEditHoldsTextWithBoldRunsAndLinksDetected) {
  ASSERT_TRUE(AfxInitRichEdit2());
  CRichDlg dlg;
  dlg.check = [&] {
    CRichEditCtrl& r = dlg.m_rich;
    EXPECT_EQ(WindowClass(r.m_hWnd), "RichEdit20A");
    r.SetWindowText("Tipp des Tages: Größe zählt. Mehr unter http://www.example.org/tipp");
    EXPECT_EQ(r.GetWindowText(), "Tipp des Tages: Größe zählt. Mehr unter http://www.example.org/tipp");
    EXPECT_EQ(r.GetTextLength(), 67);
    r.SetEventMask(ENM_LINK);
    EXPECT_EQ(r.GetEventMask(), DWORD(ENM_LINK));
    r.SetSel(16, 21);
    CHARFORMATA cf = {};
    cf.dwMask = CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    EXPECT_TRUE(r.SetSelectionCharFormat(cf));
    EXPECT_EQ(r.GetSelText(), "Größe");
    CHARFORMATA got = {};
    r.GetSelectionCharFormat(got);
    EXPECT_TRUE(got.dwEffects & CFE_BOLD);
    r.SetSel(0, 4);
    got = CHARFORMATA();
    r.GetSelectionCharFormat(got);
    EXPECT_FALSE(got.dwEffects & CFE_BOLD);
    EXPECT_EQ(r.GetTextRange(5, 8), "des");

    // A rich edit made at run time is of the same class.
    CRichEditCtrl made;
    RECT rc = {5, 5, 200, 60};
    ASSERT_TRUE(made.Create(WS_VISIBLE | ES_MULTILINE | ES_READONLY, rc, &dlg, 2000));
    EXPECT_EQ(WindowClass(made.m_hWnd), "RichEdit20A");
    EXPECT_EQ(dlg.GetDlgItem(2000)->m_hWnd, made.m_hWnd);
    made.SetWindowText("Zeile 1\r\nZeile 2");
    made.SetSel(-1, -1);
    made.ReplaceSel(" Ende");
    EXPECT_EQ(made.GetTextRange(0, -1).Right(5), " Ende");
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

// A click on a detected address reaches the dialog's map as EN_LINK with the link's range.
class CLinkDlg : public CDialog {
 public:
  CLinkDlg() : CDialog(IDD_FORM) {}
  const CMessageMap* GetMessageMap() const override {
    using M = CMessageMapOf<CLinkDlg>;
    static const CMessageMap map(CDialog::GetMessageMap(), {M::Notify(EN_LINK, IDC_RICH, &CLinkDlg::OnLink)});
    return &map;
  }
  void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_RICH, m_rich); }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_rich.SetEventMask(ENM_LINK);
    m_rich.SetAutoURLDetect(TRUE);
    m_rich.SetWindowText("Mehr unter http://www.example.org/hilfe dazu.");
    SetTimer(1, 1);
    return TRUE;
  }
  void OnTimer(UINT_PTR id) override {
    if (id == 1) {
      KillTimer(1);
      POINT p = m_rich.PosFromChar(15);
      m_rich.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 4));
      m_rich.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 4));
      SetTimer(2, 200);
    } else {
      KillTimer(2);
      EndDialog(IDOK);
    }
    CDialog::OnTimer(id);
  }
  void OnLink(NMHDR* nm, LRESULT* result) {
    const ENLINK* link = reinterpret_cast<const ENLINK*>(nm);
    if (link->msg == WM_LBUTTONDOWN) linkText = m_rich.GetTextRange(link->chrg.cpMin, link->chrg.cpMax);
    *result = 0;
  }
  CRichEditCtrl m_rich;
  CString linkText;
};

TEST(Controls, LinkClickInRichEditReachesTheDialog) {
  ASSERT_TRUE(AfxInitRichEdit2());
  CLinkDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.linkText, "http://www.example.org/hilfe");
}

TEST(Controls, ComboAndListBoxesKeepTextsAndItemData) {
  ASSERT_TRUE(AfxInitRichEdit2());
  CRichDlg dlg;
  int a = 1, b = 2;
  dlg.check = [&] {
    CComboBox& c = dlg.m_combo;
    EXPECT_EQ(c.AddString(" _A  1.50 Pfg     Ölnetz"), 0);
    EXPECT_EQ(c.AddString(" F_  2.00 Pfg     Zügig"), 1);
    c.SetItemDataPtr(0, &a);
    c.SetItemDataPtr(1, &b);
    EXPECT_EQ(c.GetCount(), 2);
    EXPECT_EQ(c.GetItemDataPtr(1), &b);
    EXPECT_EQ(c.GetLBText(0), " _A  1.50 Pfg     Ölnetz");
    EXPECT_EQ(c.FindString(-1, " F_"), 1);
    EXPECT_EQ(c.FindStringExact(-1, " F_"), CB_ERR);
    EXPECT_EQ(c.SetCurSel(1), 1);
    EXPECT_EQ(c.GetCurSel(), 1);
    c.ResetContent();
    EXPECT_EQ(c.GetCount(), 0);
    EXPECT_EQ(c.GetCurSel(), CB_ERR);

    CListBox& l = dlg.m_list;
    l.AddString("Ausgeblendet");
    l.InsertString(0, "Eingeblendet");
    l.SetItemData(1, 77);
    EXPECT_EQ(l.GetText(0), "Eingeblendet");
    EXPECT_EQ(l.GetItemData(1), DWORD_PTR(77));
    EXPECT_EQ(l.SelectString(-1, "Aus"), 1);
    EXPECT_EQ(l.GetCurSel(), 1);
    l.DeleteString(0);
    EXPECT_EQ(l.GetCount(), 1);

    dlg.m_group.SetWindowText("Aktuelle Verbindung : Ölnetz");
    EXPECT_EQ(dlg.m_group.GetWindowText(), "Aktuelle Verbindung : Ölnetz");
    EXPECT_EQ(dlg.m_group.GetButtonStyle() & 0x0F, UINT(BS_GROUPBOX));
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

// Message boxes take their title from the string table; without one, the application's name.
TEST(MessageBoxes, TitleFromStringTable) {
  struct Case {
    UINT type;
    UINT titleId;
    int answer;
    const char* title;
  };
  const Case cases[] = {
      {MB_OK | MB_ICONWARNING, IDS_TITLE, IDOK, "Astrel Corvalen 2.0"},
      {MB_YESNO | MB_ICONQUESTION, IDS_TITLE, IDNO, "Astrel Corvalen 2.0"},
      {MB_OK | MB_ICONERROR, IDS_ERROR_TITLE, IDOK, "Fehler"},
      {MB_OK, 0, IDOK, "Prüfprogramm"},
      {MB_OK, 4711, IDOK, "Prüfprogramm"},  // a missing title string
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    MessageBoxCloser closer(c.answer);
    EXPECT_EQ(AfxMessageBox(IDS_QUESTION, c.type, c.titleId), c.answer);
    ASSERT_TRUE(closer.Wait());
    EXPECT_EQ(closer.title, c.title);
    EXPECT_EQ(closer.text, "Es ist noch eine Verbindung aktiv !\nProgramm beenden?");
  }
  MessageBoxCloser closer(IDOK);
  EXPECT_EQ(AfxMessageBox("Der Benutzername darf nicht leer sein !", MB_ICONWARNING, IDS_ERROR_TITLE), IDOK);
  ASSERT_TRUE(closer.Wait());
  EXPECT_EQ(closer.text, "Der Benutzername darf nicht leer sein !");
}

TEST(Strings, LoadedFromTheResourcesInCodePage1252) {
  CString s = AfxLoadString(IDS_LONG);
  EXPECT_EQ(s.Left(24), "Ein langer Hilfetext, de");
  EXPECT_GT(s.GetLength(), 100);
  EXPECT_NE(s.Find("Länge"), -1);
  EXPECT_EQ(static_cast<unsigned char>(s[s.Find("Länge") + 1]), 0xE4);
  CString missing = "vorher";
  EXPECT_FALSE(AfxLoadString(4711, missing));
  EXPECT_EQ(missing, "");
}

}  // namespace
