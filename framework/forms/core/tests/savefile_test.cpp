// Saving a file whole: TSaveFileStream and the saves built on it (string lists, memory streams).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "lists.h"
#include "streams.h"

namespace fs = std::filesystem;

namespace {

// A folder of its own per test, so that a left-over temporary shows as an extra file.
struct SaveFolder {
  fs::path dir;
  explicit SaveFolder(const char* name) : dir(fs::path(ASTREL_BINARY_DIR) / "savefile" / name) {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~SaveFolder() {
    std::error_code ec;
    fs::permissions(dir / "seite.htm", fs::perms::owner_all, ec);
    fs::remove_all(dir, ec);
  }
  String File(const char* name) const { return (dir / name).string(); }
  int Count() const {
    int n = 0;
    for (auto& e : fs::directory_iterator(dir)) n += e.is_regular_file() ? 1 : 0;
    return n;
  }
};

String Contents(const String& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const String& name, const String& text) { std::ofstream(name, std::ios::binary) << text; }

}  // namespace

TEST(SaveFile, ReplacesTheFileWholeAndLeavesNoTemporary) {
  SaveFolder d("replace");
  const String page = d.File("seite.htm");
  Put(page, "<html>alt und viel l\xE4nger als das Neue</html>");
  TStringList l;
  l.SetText("<p>neu</p>");
  l.SaveToFile(page);
  EXPECT_EQ(Contents(page), "<p>neu</p>\r\n");
  TMemoryStream m;
  m.WriteBuffer("GIF89a", 6);
  m.SaveToFile(d.File("bild.gif"));  // a new file
  EXPECT_EQ(Contents(d.File("bild.gif")), "GIF89a");
  SaveBytesToFile(d.File("leer.txt"), "", 0);
  EXPECT_TRUE(fs::exists(d.dir / "leer.txt"));
  EXPECT_EQ(fs::file_size(d.dir / "leer.txt"), 0u);
  EXPECT_EQ(d.Count(), 3);
}

TEST(SaveFile, WithoutCommitTheOldFileStays) {
  SaveFolder d("abandon");
  const String page = d.File("seite.htm");
  Put(page, "alt");
  {
    TSaveFileStream s(page);
    s.WriteBuffer("halb geschrieben", 16);
  }  // e.g. an exception while the page was being written
  EXPECT_EQ(Contents(page), "alt");
  EXPECT_EQ(d.Count(), 1);
}

TEST(SaveFile, FailuresNameTheFileAndKeepTheOldOne) {
  struct Case {
    const char* what;
    std::function<String(SaveFolder&)> prepare;  // returns the file to save
    String message;                              // after "Datei <Name>"
  };
  const String replace =
      " ist schreibgeschützt oder wird von einem anderen Programm verwendet und kann nicht ersetzt werden";
  const Case cases[] = {
      {"read-only page",
       [](SaveFolder& d) {
         fs::permissions(d.dir / "seite.htm", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         return d.File("seite.htm");
       },
       replace},
      {"missing folder", [](SaveFolder& d) { return d.File("fehlt/seite.htm"); }, " kann nicht erstellt werden"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveFolder d("failures");
    Put(d.File("seite.htm"), "alt");
    const String target = c.prepare(d);
    TStringList l;
    l.SetText("neu");
    try {
      l.SaveToFile(target);
      ADD_FAILURE() << "saved";
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), "Datei " + target + c.message);
    }
    EXPECT_EQ(Contents(d.File("seite.htm")), "alt");
    EXPECT_EQ(d.Count(), 1);
  }
}
