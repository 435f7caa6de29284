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

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(SaveFile, ASaveCutOffLeavesOneTemporaryThatTheNextSaveRemoves) {
  // The program ends in the middle of writing (no destructor runs): each time the page is whole,
  // and the temporaries it leaves are one file named after the page, not one more per save.
  SaveFolder d("cutoff");
  const String page = d.File("seite.htm");
  Put(page, "alt");
  for (int i = 0; i < 3; ++i) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TSaveFileStream s(page);
      s.WriteBuffer("halb geschrieben", 16);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(Contents(page), "alt");
    EXPECT_EQ(d.Count(), 2);
  }
  EXPECT_TRUE(fs::exists(d.dir / "~seite.htm.tmp"));
  TStringList l;
  l.SetText("neu");
  l.SaveToFile(page);
  EXPECT_EQ(Contents(page), "neu\r\n");
  EXPECT_EQ(d.Count(), 1);
}

TEST(SaveFile, ATargetThatIsNoFileIsNotReplaced) {
  // A pipe and a folder under the name saved to stay what they are; no temporary is left.
  SaveFolder d("nofile");
  const String pipe = d.File("geraet"), folder = d.File("ordner");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  fs::create_directory(folder);
  for (const String& target : {pipe, folder}) {
    SCOPED_TRACE(target);
    TStringList l;
    l.SetText("neu");
    try {
      l.SaveToFile(target);
      ADD_FAILURE() << "saved";
    } catch (const EStreamError& e) {
      EXPECT_EQ(e.Message(), "Datei " + target + " ist ein Gerät oder Ordner und kann nicht ersetzt werden");
    }
  }
  struct stat st;
  ASSERT_EQ(lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(d.Count(), 0);
}
#endif
