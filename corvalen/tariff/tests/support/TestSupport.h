// Shared set-up of the engine's tests: a fresh data folder whose path the machine key names, a
// cleared registry, a clock standing at a chosen moment, and a user interface that records the
// messages and documents instead of showing them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "COleDateTime.h"
#include "RegistryBackend.h"
#include "TarifUi.h"

struct RecordingUi : CTarifUi {
  struct Message {
    std::string text, title;
  };
  std::vector<Message> messages;
  std::vector<std::string> opened;
  int waitDepth = 0;
  void ShowError(const char* text, const char* title) override { messages.push_back({text, title}); }
  bool OpenDocument(const char* path) override {
    opened.push_back(path);
    return true;
  }
  void BeginWaitCursor() override { ++waitDepth; }
  void EndWaitCursor() override { --waitDepth; }
};

class TariffTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The data folder as the program sees it (no trailing separator).
  std::string Dir() const { return dir_; }
  std::string PathOf(const std::string& name) const { return dir_ + "\\" + name; }
  void WriteFile(const std::string& name, const std::string& bytes) const;
  std::string ReadFile(const std::string& name) const;
  bool FileExists(const std::string& name) const;
  void RemoveFile(const std::string& name) const;
  // Scrambles the document into tarif.dat.
  void WriteTarif(const std::string& xml) const;
  // A file of the repository (for the demo data).
  static std::string SourceFile(const std::string& relative);

  void SetMachineValue(const char* name, const std::string& value);
  // Reads a value of the user key as stored: FALSE when missing.
  bool RawUserValue(const char* name, std::string* out);
  void At(int y, int mo, int d, int h, int mi, int s);

  RecordingUi ui;
  CRegistryBackend& reg = GetRegistryBackend();

 private:
  std::string dir_;
};

std::string Hex(const std::string& bytes);

// How much memory a piece of work takes at its peak, measured in a child process: the child's
// peak resident size less what this process held when the child began (the child starts with it).
// Natively only, and not where a sanitizer keeps freed memory resident: -1 where it cannot be
// measured, and the callers then rely on the readers' own accounting.
long long PeakGrowthInChild(void (*work)(const void* arg), const void* arg);
