// The take-over dialog and the assign dialog under Wine, against the RAS stand-in's phone book and
// a "Corva.dat" in a folder of the test's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "TakeOverDialogs.h"
#include "store_fixture.h"

namespace {

const char* const kTitle = "ASTREL Corvalen - Übernahme bestehender DFÜ-Einträge";
const char* const kAssignTitle = "DFÜ-Netzwerkeintrag zuordnen ";

std::vector<std::string> Column(HWND list, int col) {
  std::vector<std::string> out;
  int n = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char buf[128] = {};
    LVITEMA item = {};
    item.iSubItem = col;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ::SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
    out.push_back(buf);
  }
  return out;
}

void Select(HWND list, int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

class TakeOverTest : public StoreFixture {
 protected:
  void SetUp() override {
    MakeFolder("corvtake");
    ASSERT_NO_FATAL_FAILURE(StartController());
    struct {
      const char *id, *name, *number;
      bool free;
    } providers[] = {{"p1", "Eins", "0191011", false}, {"p2", "Zwei", "0192", false}, {"p3", "Drei", "0192", false},
                     {"p4", "Vier", "0193", true},     {"p5", "Fuenf", "0193", false}, {"p6", "Sechs", "0196", false}};
    for (const auto& p : providers) {
      CProvider* prov = new CProvider;
      prov->SetId(p.id);
      prov->SetName(p.name);
      prov->SetPhoneNumber(p.number);
      prov->SetActive(TRUE);
      if (p.free) prov->SetHasFreeMinutes(TRUE);
      manager_.GetDatabase().SetProvider(p.id, prov);
    }
    manager_.GetDatabase().SortActiveByName();
    controller_->SetTariffManager(&manager_);
    struct {
      const char *name, *area, *number;
    } entries[] = {{"Corvalen2000", "", "0190"}, {"corvalen", "", "0199"}, {"Eins-Zugang", "", " 0191011 "},
                   {"Doppelt", "", "0192"},      {"Frei", "", "0193"},     {"Sechs", "01", "96"}};
    for (const auto& e : entries) {
      ::WritePrivateProfileStringA(e.name, "PhoneNumber", e.number, (ras_.Dir() + "rassim.pbk").c_str());
      ::WritePrivateProfileStringA(e.name, "AreaCode", e.area, (ras_.Dir() + "rassim.pbk").c_str());
    }
  }
};

TEST_F(TakeOverTest, AssignsUniqueNumbersAndMovesRowsBetweenTheLists) {
  CDlg_Uebernahme dlg(controller_.get());
  HWND wnd = nullptr;
  std::string closeTip;
  std::vector<std::string> freeBefore, assignedBefore, idsBefore, freeAfterAssign, assignedAfterAssign,
      freeAfterRemove, assignedAfterRemove;
  std::string comboText, number, price, login, freeHours, warning;
  DialogScript script;
  script
      .Then([&] {
        wnd = FindThreadWindow(kTitle);
        if (!wnd) return false;
        freeBefore = Column(::GetDlgItem(wnd, IDC_UE_FREE), 0);
        assignedBefore = Column(::GetDlgItem(wnd, IDC_UE_ASSIGNED), 0);
        idsBefore = Column(::GetDlgItem(wnd, IDC_UE_ASSIGNED), 3);
        closeTip = ToolTipText(wnd, IDOK);
        // "Doppelt" (0192, shared by two providers) is assigned by hand.
        Select(::GetDlgItem(wnd, IDC_UE_FREE), 1);
        PostClick(wnd, IDC_UE_ASSIGN);
        return true;
      })
      .Then([&] {
        HWND a = FindThreadWindow(kAssignTitle);
        if (!a) return false;
        char buf[128] = {};
        int sel = static_cast<int>(::SendDlgItemMessageA(a, IDC_ZU_COMBO, CB_GETCURSEL, 0, 0));
        ::SendDlgItemMessageA(a, IDC_ZU_COMBO, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(buf));
        comboText = buf;
        number = ItemText(a, IDC_ZU_NUMBER);
        price = ItemText(a, IDC_ZU_PRICE);
        login = ItemText(a, IDC_ZU_LOGIN);
        freeHours = ItemText(a, IDC_ZU_FREEHOURS);
        PostClick(a, IDOK);
        return true;
      })
      .Then([&] {
        if (FindThreadWindow(kAssignTitle)) return false;
        freeAfterAssign = Column(::GetDlgItem(wnd, IDC_UE_FREE), 0);
        assignedAfterAssign = Column(::GetDlgItem(wnd, IDC_UE_ASSIGNED), 3);
        // Removing the first assignment asks nothing.
        Select(::GetDlgItem(wnd, IDC_UE_ASSIGNED), 0);
        PostClick(wnd, IDC_UE_UNASSIGN);
        return true;
      })
      .Then([&] {
        freeAfterRemove = Column(::GetDlgItem(wnd, IDC_UE_FREE), 0);
        assignedAfterRemove = Column(::GetDlgItem(wnd, IDC_UE_ASSIGNED), 3);
        if (FindOtherDialog(wnd)) return false;
        PostClick(wnd, IDOK);
        return true;
      });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_TRUE(script.Finished());
  // The program's own entry is skipped by its exact name only; the auto-assigned rows are hidden.
  // "Sechs" matched through area code and number together.
  EXPECT_EQ(closeTip, "Schließt das Dialogfeld und speichert Ihre Änderungen");
  EXPECT_EQ(freeBefore, (std::vector<std::string>{"corvalen", "Doppelt"}));
  EXPECT_EQ(assignedBefore, (std::vector<std::string>{"Eins-Zugang", "Frei", "Sechs"}));
  EXPECT_EQ(idsBefore, (std::vector<std::string>{"p1", "p5", "p6"}));
  // Of several providers with the number the last one by name is offered.
  EXPECT_EQ(comboText, "Zwei                                    ");
  EXPECT_EQ(number, "0192");
  EXPECT_EQ(price, "0.00");
  EXPECT_EQ(login, "Nein");
  EXPECT_EQ(freeHours, "Nein");
  EXPECT_EQ(freeAfterAssign, (std::vector<std::string>{"corvalen"}));
  EXPECT_EQ(assignedAfterAssign, (std::vector<std::string>{"p1", "p5", "p6", "p2"}));
  EXPECT_EQ(freeAfterRemove, (std::vector<std::string>{"corvalen", "Eins-Zugang"}));
  EXPECT_EQ(assignedAfterRemove, (std::vector<std::string>{"p5", "p6", "p2"}));
  std::string file = Store();
  EXPECT_EQ(file.find("p1="), std::string::npos) << file;
  EXPECT_NE(file.find("p5=Frei|"), std::string::npos) << file;
  EXPECT_NE(file.find("p6=Sechs|"), std::string::npos) << file;
  EXPECT_NE(file.find("p2=Doppelt|"), std::string::npos) << file;
  // Closing reloaded the controller's store.
  EXPECT_TRUE(manager_.FindProvider("p6")->IsRegistered());
  EXPECT_TRUE(manager_.FindProvider("p2")->IsRegistered());
  EXPECT_FALSE(manager_.FindProvider("p1")->IsRegistered());
  EXPECT_EQ(std::string(services_.store.Lookup("p5")), "Frei");
}

TEST_F(TakeOverTest, AssigningAProviderTwiceIsRefusedAndNoMatchSelectsNone) {
  CDlg_Uebernahme dlg(controller_.get());
  dlg.SetAutoAssign(0);
  ASSERT_TRUE(services_.store.AddAssignment({"p2", "Anderswo", COleDateTime(2000, 1, 1, 0, 0, 0)}));
  HWND wnd = nullptr;
  std::string warning, warningTitle, noneText, noneNumber;
  DialogScript script;
  script
      .Then([&] {
        wnd = FindThreadWindow(kTitle);
        if (!wnd) return false;
        // Without automatic assignment "Doppelt" (0192, p2 and p3) is row 2; pick p2 again.
        Select(::GetDlgItem(wnd, IDC_UE_FREE), 2);
        PostClick(wnd, IDC_UE_ASSIGN);
        return true;
      })
      .Then([&] {
        HWND a = FindThreadWindow(kAssignTitle);
        if (!a) return false;
        // Items: none, Drei, Eins, Fuenf, Sechs, Vier, Zwei.
        ::SendDlgItemMessageA(a, IDC_ZU_COMBO, CB_SETCURSEL, 6, 0);
        ::SendMessageA(a, WM_COMMAND, MAKEWPARAM(IDC_ZU_COMBO, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(a, IDC_ZU_COMBO)));
        PostClick(a, IDOK);
        return true;
      })
      .Then([&] {
        HWND a = FindThreadWindow(kAssignTitle);
        HWND box = a ? FindOtherDialog(a) : nullptr;
        if (!box || box == wnd) return false;
        warning = MessageBoxText(box);
        warningTitle = WindowText(box);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      })
      .Then([&] {
        HWND a = FindThreadWindow(kAssignTitle);
        if (!a || (FindOtherDialog(a) != nullptr && FindOtherDialog(a) != wnd)) return false;
        ::SendDlgItemMessageA(a, IDC_ZU_COMBO, CB_SETCURSEL, 0, 0);
        ::SendMessageA(a, WM_COMMAND, MAKEWPARAM(IDC_ZU_COMBO, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(a, IDC_ZU_COMBO)));
        noneNumber = ItemText(a, IDC_ZU_NUMBER);
        PostClick(a, IDOK);
        return true;
      })
      .Then([&] {
        if (FindThreadWindow(kAssignTitle)) return false;
        ::PostMessageA(wnd, WM_COMMAND, IDCANCEL, 0);
        return true;
      });
  script.Start();
  dlg.DoModal();
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(warning, "Sie haben diesem Anbieter bereits einem DFÜ-Netzwerkeintrag zugeordnet.");
  EXPECT_EQ(warningTitle, "Astrel Corvalen 2.0");
  EXPECT_EQ(noneNumber, "");
  EXPECT_EQ(Store(), "p2=Anderswo|1/1/2000 0:0:0;");
}

}  // namespace
