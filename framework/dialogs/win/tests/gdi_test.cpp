// List views, date pickers, bitmaps and device contexts, menus, the system menu, file dialogs.
#include <gtest/gtest.h>

#include "COleDateTime.h"
#include "test_resources.h"
#include "test_support.h"

namespace {

class CListsDlg : public CDialog {
 public:
  CListsDlg() : CDialog(IDD_LISTS) {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_ENTRIES, m_entries);
    DDX_DateTimeCtrl(dx, IDC_FROM, m_from);
  }
  BOOL OnInitDialog() override {
    m_from = COleDateTime(2000, 8, 8, 0, 0, 0);
    CDialog::OnInitDialog();
    check();
    return TRUE;
  }
  std::function<void()> check;
  CListCtrl m_entries;
  COleDateTime m_from;
};

TEST(CommonControls, ListViewAndDatePicker) {
  AfxEnableControlContainer();
  CListsDlg dlg;
  dlg.check = [&] {
    CListCtrl& l = dlg.m_entries;
    EXPECT_EQ(l.InsertColumn(0, "Verbindung", LVCFMT_LEFT, 80), 0);
    EXPECT_EQ(l.InsertColumn(1, "Rufnummer", LVCFMT_LEFT, 80), 1);
    EXPECT_EQ(l.InsertItem(0, "Büro"), 0);
    EXPECT_EQ(l.InsertItem(1, "Zuhause"), 1);
    EXPECT_TRUE(l.SetItemText(1, 1, "0191011"));
    EXPECT_TRUE(l.SetItemData(1, 5104));
    EXPECT_EQ(l.GetItemCount(), 2);
    EXPECT_EQ(l.GetItemText(0, 0), "Büro");
    EXPECT_EQ(l.GetItemText(1, 1), "0191011");
    EXPECT_EQ(l.GetItemData(1), DWORD_PTR(5104));
    EXPECT_EQ(l.GetNextItem(-1, LVNI_SELECTED), -1);
    l.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(l.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(l.GetSelectedCount(), 1);

    CDateTimeCtrl* picker = static_cast<CDateTimeCtrl*>(dlg.GetDlgItem(IDC_FROM));
    COleDateTime shown;
    ASSERT_TRUE(picker->GetTime(shown));
    EXPECT_EQ(shown.GetYear(), 2000);
    EXPECT_EQ(shown.GetMonth(), 8);
    EXPECT_EQ(shown.GetDay(), 8);
    picker->SetTime(COleDateTime(2024, 2, 29, 0, 0, 0));
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_from.GetDay(), 29);
    EXPECT_EQ(dlg.m_from.GetMonth(), 2);
    dlg.EndDialog(IDOK);
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST(Gdi, BitmapOfTheResourcesCopiedThroughMemoryContexts) {
  CBitmap bmp;
  ASSERT_TRUE(bmp.LoadBitmap(IDB_SPLASH));
  BITMAP info = {};
  ASSERT_TRUE(bmp.GetBitmap(&info));
  EXPECT_EQ(info.bmWidth, 4);
  EXPECT_EQ(info.bmHeight, 3);
  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(4711));

  CClientDC screen(nullptr);
  CDC src, dst;
  ASSERT_TRUE(src.CreateCompatibleDC(&screen));
  ASSERT_TRUE(dst.CreateCompatibleDC(&screen));
  CBitmap target;
  ASSERT_TRUE(target.CreateCompatibleBitmap(screen, 4, 3));
  HGDIOBJ oldSrc = src.SelectObject(bmp);
  HGDIOBJ oldDst = dst.SelectObject(target);
  EXPECT_TRUE(dst.BitBlt(0, 0, 4, 3, &src, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(dst.GetPixel(3, 2), RGB(0, 0, 255));
  src.SelectObject(oldSrc);
  dst.SelectObject(oldDst);
}

TEST(Menus, TrayMenuWithDefaultItem) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_TRAY));
  CMenu* popup = menu.GetSubMenu(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetMenuItemCount(), 4);
  EXPECT_EQ(popup->GetMenuItemID(0), 40006u);
  EXPECT_TRUE(popup->SetDefaultItem(2, TRUE));
  EXPECT_EQ(popup->GetDefaultItem(0, TRUE), 2u);
  EXPECT_EQ(popup->GetMenuString(40002, MF_BYCOMMAND), "Wiederherstellen");
  EXPECT_EQ(menu.GetSubMenu(0), popup) << "one wrapper per menu";
  CMenu none;
  EXPECT_FALSE(none.LoadMenu(4711));
}

// A system-menu item of the dialog's own reaches OnSysCommand, as the main dialog's "Info" does.
class CSysMenuDlg : public CDialog {
 public:
  CSysMenuDlg() : CDialog(IDD_LISTS) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    CMenu* sys = GetSystemMenu(FALSE);
    sys->AppendMenu(MF_SEPARATOR);
    sys->AppendMenu(MF_STRING, 16, "Inf&o über Corvalen2x...");
    itemText = sys->GetMenuString(16, MF_BYCOMMAND);
    PostMessage(WM_SYSCOMMAND, 16 | 0x3, 0);
    PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    return TRUE;
  }
  void OnSysCommand(UINT id, LPARAM lp) override {
    if ((id & 0xFFF0) == 16) ++infoCalls;
    CDialog::OnSysCommand(id, lp);  // SC_CLOSE ends the dialog through OnCancel
  }
  int infoCalls = 0;
  CString itemText;
};

TEST(Menus, SystemMenuCommandReachesOnSysCommand) {
  CSysMenuDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.itemText, "Inf&o über Corvalen2x...");
  EXPECT_EQ(dlg.infoCalls, 1);
}

TEST(FileDialogs, CancelledSaveDialog) {
  CFileDialog save(FALSE, "log", "rechnung.log", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "*.log|*.log||");
  MessageBoxCloser closer(IDCANCEL);
  EXPECT_EQ(save.DoModal(), IDCANCEL);
  EXPECT_TRUE(closer.Wait());
  EXPECT_EQ(save.GetFileName(), "rechnung.log");
}

}  // namespace
