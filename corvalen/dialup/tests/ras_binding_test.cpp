// How the RAS access layer binds RASAPI32.DLL by name: the full library, the first dial-up
// networking whose entry functions lie in RNAPH.DLL, no RAS at all, and a RAS whose manager did not
// start. This program has no RAS library beside it; each case loads the stand-in's variant by path
// first, so that the layer's load by name finds it.
#include "RasAccess.h"
#include "rassim_fixture.h"
#include "test_files.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::WinPath;

// Keeps a library loaded by path for the time of one case.
struct Preloaded {
  explicit Preloaded(const char* path) : module(LoadLibraryA(WinPath(path).c_str())) {}
  ~Preloaded() {
    if (module) FreeLibrary(module);
  }
  HMODULE module;
};

TEST(RasBinding, NoRasLibraryAtAll) {
  RasSimFixture sim;
  CRasAccess ras;
  EXPECT_EQ(ras.Load(), kErrRasNotLoaded);
  EXPECT_FALSE(ras.IsLoaded());
  EXPECT_EQ(ras.EnumConnections(), kErrRasNotLoaded);
  EXPECT_EQ(ras.GetConnectionCount(), -1);
  EXPECT_EQ(ras.Dial(nullptr, "Corvalen2000", "", nullptr, nullptr), kErrRasNotLoaded);
  EXPECT_EQ(ras.IsConnected(), 0);
  EXPECT_TRUE(ras.IsEntryMissing("Corvalen2000"));
}

TEST(RasBinding, TheFullLibrary) {
  RasSimFixture sim;
  Preloaded full(RASSIM_FULL);
  ASSERT_NE(full.module, nullptr);
  CRasAccess ras;
  EXPECT_EQ(ras.Load(), 0);
  EXPECT_TRUE(ras.IsAvailable(CRasAccess::kRasValidateEntryName));
  EXPECT_EQ(ras.EnumDevices(), 0);
  EXPECT_EQ(ras.GetDeviceCount(), 2);
  // The probe: a status query of the (still empty) own handle with the 160-byte record.
  EXPECT_NE(sim.Log().find("rasapi32 RasGetConnectStatusA size=160 handle=unknown -> 6"), std::string::npos);
  EXPECT_NE(sim.Log().find("rasapi32 RasEnumDevicesA"), std::string::npos);
}

TEST(RasBinding, FirstDialUpNetworkingTakesTheEntryFunctionsFromRnaph) {
  RasSimFixture sim;
  Preloaded dun(RASSIM_DUN10);
  Preloaded rnaph(RASSIM_RNAPH);
  ASSERT_NE(dun.module, nullptr);
  ASSERT_NE(rnaph.module, nullptr);
  CRasAccess ras;
  EXPECT_EQ(ras.Load(), 0);
  EXPECT_EQ(ras.EnumDevices(), 0);
  EXPECT_EQ(ras.ValidateEntryName("Neu"), 0);
  EXPECT_EQ(ras.EnumConnections(), 0);
  std::string log = sim.Log();
  EXPECT_NE(log.find("rnaph RasEnumDevicesA"), std::string::npos) << log;
  EXPECT_NE(log.find("rnaph RasValidateEntryNameA"), std::string::npos);
  EXPECT_NE(log.find("rasapi32 RasEnumConnectionsA"), std::string::npos);
  EXPECT_EQ(log.find("rasapi32 RasEnumDevicesA"), std::string::npos);
}

TEST(RasBinding, FirstDialUpNetworkingWithoutRnaph) {
  RasSimFixture sim;
  Preloaded dun(RASSIM_DUN10);
  ASSERT_NE(dun.module, nullptr);
  CRasAccess ras;
  EXPECT_EQ(ras.Load(), kErrRasNotLoaded);
  EXPECT_EQ(ras.EnumConnections(), kErrRasNotLoaded);
}

TEST(RasBinding, ARasManagerThatDidNotStartFailsTheProbeAndIsRetriedLater) {
  RasSimFixture sim;
  Preloaded full(RASSIM_FULL);
  sim.Set("Probe", "fail");
  CRasAccess ras;
  EXPECT_EQ(ras.Load(), kErrRasNotLoaded);
  EXPECT_EQ(ras.GetDeviceCount(), -1);
  EXPECT_EQ(ras.EnumDevices(), kErrRasNotLoaded);
  sim.Set("Probe", "ok");
  EXPECT_EQ(ras.EnumDevices(), 0);  // the next operation loads again
  EXPECT_TRUE(ras.IsLoaded());
}

}  // namespace
