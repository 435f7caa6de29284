// Files written whole: CSaveFile, WriteWholeFile and CFile::Replace, against the faults a save
// meets (read-only, held open, a full disk).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CArchive.h"
#include "CFile.h"
#include "save_faults.h"

namespace fs = std::filesystem;

namespace {
class SaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(CFile::NativePath(ASTREL_BINARY_DIR)) / "dialogs-savefile" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::string Read(const char* name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Put(const char* name, const std::string& bytes) const { std::ofstream(Path(name), std::ios::binary) << bytes; }
  int Files() const {
    int n = 0;
    for (auto& e : fs::directory_iterator(dir_)) n += e.is_regular_file() ? 1 : 0;
    return n;
  }
  fs::path dir_;
};
}  // namespace

TEST_F(SaveFileTest, CommitPutsTheNewFileInPlaceAndLeavesNoTemporary) {
  Put("Corva.dat", "alter und längerer Inhalt");
  EXPECT_TRUE(WriteWholeFile(Path("Corva.dat").c_str(), "neu", Path("Corva.sic").c_str()));
  EXPECT_EQ(Read("Corva.dat"), "neu");
  EXPECT_TRUE(WriteWholeFile(Path("rechnung.html").c_str(), "<html></html>"));  // a new file, "<name>.sic" between
  EXPECT_EQ(Read("rechnung.html"), "<html></html>");
  // Through an archive, as the free-minute protocol is written.
  CSaveFile f;
  ASSERT_TRUE(f.Open(Path("free.log").c_str(), Path("free.tmp").c_str()));
  {
    CArchive ar(&f, CArchive::store);
    ar << CString("id-1");
    ar.Close();
  }
  EXPECT_TRUE(f.Commit());
  EXPECT_EQ(Read("free.log"), std::string("\x04id-1", 5));
  EXPECT_EQ(Files(), 3);
}

TEST_F(SaveFileTest, WithoutCommitTheOldFileStays) {
  Put("tarif.dat", "alt");
  {
    CSaveFile f;
    ASSERT_TRUE(f.Open(Path("tarif.dat").c_str()));
    f.Write("halb", 4);
  }
  EXPECT_EQ(Read("tarif.dat"), "alt");
  EXPECT_EQ(Files(), 1);
  EXPECT_FALSE(WriteWholeFile(Path("fehlt\\tarif.dat").c_str(), "neu"));
}

TEST_F(SaveFileTest, OpensOnlyToCreateAndWrite) {
  Put("tarif.dat", "alt");
  CSaveFile f;
  EXPECT_FALSE(f.Open(Path("tarif.dat").c_str(), CFile::modeRead));
  EXPECT_FALSE(f.Open(Path("tarif.dat").c_str(), CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate));
  EXPECT_EQ(Read("tarif.dat"), "alt");
  EXPECT_EQ(Files(), 1);
}

TEST_F(SaveFileTest, AFaultLeavesTheOldFileWholeAndNoTemporary) {
  for (const testsupport::SaveFault& fault : testsupport::SaveFaults()) {
    SCOPED_TRACE(fault.name);
    Put("Corva.dat", "p1=Zugang|3/4/2000 0:0:0;");
    fault.apply(Path("Corva.dat"));
    const BOOL saved = WriteWholeFile(Path("Corva.dat").c_str(), "p2=Zweiter Zugang|31/12/2026 0:0:0;",
                                      Path("Corva.sic").c_str());
    fault.release(Path("Corva.dat"));
    EXPECT_FALSE(saved);
    EXPECT_EQ(Read("Corva.dat"), "p1=Zugang|3/4/2000 0:0:0;");
    EXPECT_EQ(Files(), 1);
  }
}
