// Saving a file whole on a full disk: the process's file-size limit (RLIMIT_FSIZE, with SIGXFSZ
// ignored) makes every write past it fail as a full device would.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lists.h"
#include "streams.h"

namespace fs = std::filesystem;

namespace {
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit l = old_;
    l.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

String Contents(const fs::path& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

TEST(SaveFileFullDisk, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  // 200 bytes fail only when the stream's buffer is flushed at the commit; 100000 bytes fail
  // in the write itself.
  for (size_t size : {size_t(200), size_t(100000)}) {
    SCOPED_TRACE(size);
    const fs::path dir = fs::path(ASTREL_BINARY_DIR) / "savefile" / "full";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const String page = (dir / "seite.htm").string();
    std::ofstream(page, std::ios::binary) << "<html>alt</html>";
    TStringList l;
    l.SetText(String(size, 'x'));
    try {
      FileSizeLimit full(100);
      l.SaveToFile(page);
      ADD_FAILURE() << "saved";
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message(), "Datei " + page + " kann nicht geschrieben werden (Datenträger voll?)");
    }
    EXPECT_EQ(Contents(page), "<html>alt</html>");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
  }
}
