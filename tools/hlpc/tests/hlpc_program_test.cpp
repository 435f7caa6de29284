// The compiler program: it never takes its source as its output, under whatever name, and it
// reads no more of a source than its limit and one byte.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "help_reader.h"
#include "help_source.h"

using namespace hlpc_test;

namespace {

const char kSource[] = "@title T\n@topic A Titel\nText\n";

class HelpProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    hlpc_ = getenv("HLPC");
    ASSERT_TRUE(hlpc_);
    char dir[] = "/tmp/hlpc_programXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    dir_ = dir;
  }
  void TearDown() override { EXPECT_EQ(system(("rm -rf " + dir_).c_str()), 0); }

  // Runs the compiler on source and output (relative to the test folder) in a child process;
  // its exit code, its messages in errors_, the most memory it held in peakKb_.
  int Run(const std::string& source, const std::string& out) {
    const std::string err = dir_ + "/err.txt";
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.c_str()) != 0 || !freopen(err.c_str(), "w", stderr)) _exit(99);
      alarm(30);  // a compiler that reads without end is stopped
      execl(hlpc_, hlpc_, source.c_str(), out.c_str(), (char*)nullptr);
      _exit(98);
    }
    int status = 0;
    struct rusage usage = {};
    EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
    peakKb_ = usage.ru_maxrss;
    errors_ = ReadText(err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  const char* hlpc_ = nullptr;
  std::string dir_, errors_;
  long peakKb_ = 0;
};

// The output names the source: by the same path, another spelling of it, a hard link or a
// symbolic link. Each is refused and the source stays; the output's temporary name as the source
// as well.
TEST_F(HelpProgram, TheSourceIsNeverItsOwnOutput) {
  std::ofstream(dir_ + "/q.hlt") << kSource;
  ASSERT_EQ(mkdir((dir_ + "/sub").c_str(), 0700), 0);
  ASSERT_EQ(link((dir_ + "/q.hlt").c_str(), (dir_ + "/hart.hlp").c_str()), 0);
  ASSERT_EQ(symlink("q.hlt", (dir_ + "/weich.hlp").c_str()), 0);
  for (const char* out : {"q.hlt", "./q.hlt", "sub/../q.hlt", "hart.hlp", "weich.hlp"}) {
    SCOPED_TRACE(out);
    EXPECT_EQ(Run("q.hlt", out), 1);
    EXPECT_EQ(errors_, std::string("hlpc: ") + out + " ist die Quelle selbst; die Hilfedatei braucht einen anderen Namen\n");
    EXPECT_EQ(ReadText(dir_ + "/q.hlt"), kSource);
  }
  std::ofstream(dir_ + "/h.hlp.tmp") << kSource;
  EXPECT_EQ(Run("h.hlp.tmp", "h.hlp"), 1);
  EXPECT_EQ(ReadText(dir_ + "/h.hlp.tmp"), kSource);
  // Another file is written as before.
  EXPECT_EQ(Run("q.hlt", "q.hlp"), 0) << errors_;
  EXPECT_EQ(ReadText(dir_ + "/q.hlt"), kSource);
  EXPECT_EQ(ReadText(dir_ + "/q.hlp").size(), Compile(kSource).size());
}

// A source of 300 MB (a sparse file) and a device that never ends are refused after the limit
// and one byte, with little memory; one of exactly the limit is read whole.
TEST_F(HelpProgram, ASourceIsReadNoFurtherThanItsLimit) {
  ASSERT_EQ(truncate((std::ofstream(dir_ + "/gross.hlt"), dir_ + "/gross.hlt").c_str(), 300L << 20), 0);
  // The program and its 1 MiB take a few MB (under AddressSanitizer some 90 MB); reading the whole
  // 300 MB file took some 600 MB.
  const long kBoundKb = 160 * 1024;
  for (const char* source : {"gross.hlt", "/dev/zero"}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(Run(source, "x.hlp"), 1);
    EXPECT_EQ(errors_, std::string("hlpc: ") + source + ": die Quelle ist gr\xC3\xB6\xC3\x9F" "er als 1048576 Bytes\n");
    EXPECT_LT(peakKb_, kBoundKb);
  }
  std::string exact = kSource;  // padded with comment lines to exactly the limit
  while (exact.size() < kMaxSourceBytes) {
    const size_t n = std::min<size_t>(100, kMaxSourceBytes - exact.size());
    exact += n >= 2 ? "#" + std::string(n - 2, 'k') + "\n" : "\n";
  }
  ASSERT_EQ(exact.size(), kMaxSourceBytes);
  std::ofstream(dir_ + "/genau.hlt", std::ios::binary) << exact;
  EXPECT_EQ(Run("genau.hlt", "genau.hlp"), 0) << errors_;
}

}  // namespace
