// Saving a file whole on a full disk: the process's file-size limit (save_faults.h) makes every
// write past it fail as a full device would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "lists.h"
#include "save_faults.h"
#include "streams.h"

namespace fs = std::filesystem;

namespace {
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
      testsupport::FileSizeLimit full(100);
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
