#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CFile.h"
#include "TarifClock.h"
#include "TarifScramble.h"

namespace fs = std::filesystem;

namespace {
// Where a test's data folder lies, one per test so no two tests share files.
std::string TestFolder() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/') c = '_';
  return std::string(ASTREL_BINARY_DIR) + "/tariff-test-data/" + name;
}
}  // namespace

void TariffTest::SetUp() {
  dir_ = TestFolder();
  std::error_code ec;
  fs::remove_all(CFile::NativePath(dir_.c_str()), ec);
  fs::create_directories(CFile::NativePath(dir_.c_str()));
  reg.DeleteTree(kRegCurrentUser, "Software\\ASTREL");
  reg.DeleteTree(kRegLocalMachine, "Software\\ASTREL");
  SetMachineValue("PATH", dir_);
  SetTarifUi(&ui);
  At(2026, 3, 4, 13, 30, 0);  // a Wednesday afternoon
}

void TariffTest::TearDown() {
  SetTarifUi(nullptr);
  SetTarifClock(nullptr);
}

void TariffTest::At(int y, int mo, int d, int h, int mi, int s) { SetFixedNow(COleDateTime(y, mo, d, h, mi, s)); }

void TariffTest::WriteFile(const std::string& name, const std::string& bytes) const {
  ASSERT_TRUE(WriteWholeFile(PathOf(name).c_str(), bytes)) << name;
}

std::string TariffTest::ReadFile(const std::string& name) const {
  std::string out;
  ReadWholeFile(PathOf(name).c_str(), out);
  return out;
}

bool TariffTest::FileExists(const std::string& name) const { return CFile::Exists(PathOf(name).c_str()); }
void TariffTest::RemoveFile(const std::string& name) const { CFile::Remove(PathOf(name).c_str()); }

void TariffTest::WriteTarif(const std::string& xml) const {
  std::string s = xml;
  ScrambleTarif(reinterpret_cast<unsigned char*>(&s[0]), s.size());
  WriteFile("tarif.dat", s);
}

std::string TariffTest::SourceFile(const std::string& relative) {
  std::string out;
  ReadWholeFile((std::string(ASTREL_SOURCE_DIR) + "/" + relative).c_str(), out);
  return out;
}

void TariffTest::SetMachineValue(const char* name, const std::string& value) {
  RegKey k = 0;
  ASSERT_EQ(reg.CreateKey(kRegLocalMachine, "Software\\ASTREL\\Corvalen2.0", &k), kRegOk);
  reg.SetString(k, name, value.data(), static_cast<DWORD>(value.size()));
  reg.CloseKey(k);
}

bool TariffTest::RawUserValue(const char* name, std::string* out) {
  RegKey k = 0;
  if (reg.OpenKey(kRegCurrentUser, "Software\\ASTREL\\Corvalen", &k) != kRegOk) return false;
  char buf[20000];
  DWORD len = sizeof buf;
  long r = reg.QueryString(k, name, buf, &len);
  reg.CloseKey(k);
  if (r != kRegOk) return false;
  // Wine keeps REG_SZ values as strings and hands them back with a terminator; the in-memory
  // registry keeps exactly the bytes written.
  if (len > 0 && buf[len - 1] == '\0') --len;
  out->assign(buf, len);
  return true;
}

std::string Hex(const std::string& bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : bytes) {
    r += d[c >> 4];
    r += d[c & 15];
  }
  return r;
}

#if defined(__SANITIZE_ADDRESS__)
#define PEAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PEAK_SANITIZED 1
#endif
#endif

#if defined(_WIN32) || defined(PEAK_SANITIZED)
long long PeakGrowthInChild(void (*)(const void*), const void*) { return -1; }
#else
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace {
// A value of /proc/self/status in bytes ("VmRSS", "VmHWM": the resident size now, and its peak).
long long StatusBytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(key);
  while (std::getline(status, line))
    if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':') return std::atoll(line.c_str() + n + 1) * 1024;
  return -1;
}
}  // namespace

long long PeakGrowthInChild(void (*work)(const void*), const void* arg) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    close(fds[0]);
    // The child starts with what this process holds resident; its peak beyond that is the work's.
    // Memory this process freed but kept would be used again without growing: it is given back
    // first.
    malloc_trim(0);
    const long long before = StatusBytes("VmRSS");
    work(arg);
    const long long growth = StatusBytes("VmHWM") - before;
    ssize_t written = write(fds[1], &growth, sizeof growth);
    _exit(written == sizeof growth ? 0 : 1);
  }
  close(fds[1]);
  long long growth = -1;
  if (read(fds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? growth : -1;
}
#endif
