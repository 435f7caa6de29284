// What the tests of the dialogs over the entry assignments share: a connection controller over the
// RAS stand-in's phone book whose assignments live in a "Corva.dat" of the test's own folder,
// stored by the router's assignment store as the program has it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "AssignmentStore.h"
#include "Settings.h"
#include "TarifManager.h"
#include "dialog_script.h"
#include "rassim_fixture.h"

// The store behind the controller, as the program has it.
class StoreServices : public CControllerServices {
 public:
  CAssignmentStore store;
  CString LookupAssignment(const CString& id) override { return store.Lookup(id); }
  BOOL AddAssignment(const CString& id, const CString& entry, int day) override {
    return store.AddAssignment({id, entry, COleDateTime(static_cast<double>(day))});
  }
  BOOL RemoveAssignment(const CString& id) override { return store.RemoveAssignment(id); }
  void LoadAssignments(CTarifManager* m) override {
    store.SetTariffManager(m);
    store.Load();
  }
};

class StoreFixture : public ::testing::Test {
 protected:
  // The user's settings removed, the router's folder "<name>-<process id>" without a "Corva.dat",
  // and fresh settings (set them up before StartController).
  void MakeFolder(const std::string& name) {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
    dir_ = MakeRouterFolder(name + "-" + std::to_string(::GetCurrentProcessId()));
    ::DeleteFileA((dir_ + "\\Corva.dat").c_str());
    settings_ = std::make_unique<CSettings>();
  }
  // The controller over the settings and the store, with the phone book loaded.
  void StartController() {
    services_.store.SetFolder(dir_.c_str());
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, &services_);
    ASSERT_EQ(controller_->GetRasAccess().Load(), 0);
  }
  // "Corva.dat" as stored.
  std::string Store() const {
    std::ifstream f(dir_ + "\\Corva.dat", std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  std::string dir_;
  RasSimFixture ras_;
  CStatusHelper status_;
  StoreServices services_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CConnectionController> controller_;
  CTarifManager manager_;
};
