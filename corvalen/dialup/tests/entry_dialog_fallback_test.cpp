// The entry dialog without RASDLG.DLL: the older editing dialog of RAS opens instead. Part of the
// binding program, whose folder has no RAS library beside it.
#include "RasEntrySetup.h"
#include "rassim_fixture.h"
#include "test_files.h"
#include "window_driver.h"

#include <gtest/gtest.h>

namespace {

TEST(RasDlgBinding, WithoutTheDialogLibraryTheOlderEditingDialogOpens) {
  RasSimFixture sim;
  HMODULE full = LoadLibraryA(testsupport::WinPath(RASSIM_FULL).c_str());
  ASSERT_NE(full, nullptr);
  CRasDlgAccess dlg;
  dlg.Load();
  EXPECT_FALSE(dlg.IsAvailable());
  EXPECT_EQ(dlg.ShowEntryDialog(nullptr, "Corvalen2000"), kErrRasNotLoaded);
  EXPECT_TRUE(dlg.EditEntry(nullptr, "Corvalen2000"));
  EXPECT_EQ(sim.Count("rasapi32 RasEditPhonebookEntryA entry=\"Corvalen2000\""), 1) << sim.Log();
  FreeLibrary(full);
}

}  // namespace
