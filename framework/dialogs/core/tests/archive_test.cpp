#include <gtest/gtest.h>

#include <string>

#include "CArchive.h"
#include "CFile.h"
#include "CMapStringToOb.h"

namespace {
class CSample : public CObject {
  DECLARE_SERIAL(CSample)
 public:
  LONG a = 0;
  double b = 0;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) ar << a << b;
    else ar >> a >> b;
  }
};
IMPLEMENT_SERIAL(CSample, CObject, 1)

std::string Hex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : s) { r += d[c >> 4]; r += d[c & 15]; }
  return r;
}
}  // namespace

TEST(CArchive, TextLengthsUseTheirThreeForms) {
  struct { int len; std::string prefix; } cases[] = {
      {0, "00"}, {254, "FE"}, {255, "FFFF00"}, {65533, "FFFDFF"}, {65534, "FFFFFFFEFF0000"},
  };
  for (auto& c : cases) {
    CMemFile f;
    {
      CArchive ar(&f, CArchive::store);
      ar << CString(std::string(static_cast<size_t>(c.len), 'x'));
    }
    EXPECT_EQ(Hex(f.Data().substr(0, c.prefix.size() / 2)), c.prefix) << c.len;
    EXPECT_EQ(f.Data().size(), c.prefix.size() / 2 + static_cast<size_t>(c.len));
    f.Seek(0, CFile::begin);
    CArchive in(&f, CArchive::load);
    CString back;
    in >> back;
    EXPECT_EQ(back.GetLength(), c.len);
  }
}

TEST(CArchive, ObjectsCarryNewClassTagThenClassReferences) {
  CSample one, two;
  one.a = 7; one.b = 0.5;
  two.a = -1; two.b = 2.0;
  CMemFile f;
  {
    CArchive ar(&f, CArchive::store);
    ar.WriteObject(&one);
    ar.WriteObject(&two);
  }
  // FFFF, schema 1, name length 7, "CSample", LONG 7, DOUBLE 0.5, then 8001 and the second.
  EXPECT_EQ(Hex(f.Data()),
            "FFFF01000700" + Hex("CSample") + "07000000" + "000000000000E03F" +
            "0180" + "FFFFFFFF" + "0000000000000040");
  f.Seek(0, CFile::begin);
  CArchive in(&f, CArchive::load);
  CObject* a = in.ReadObject(RUNTIME_CLASS(CSample));
  CObject* b = in.ReadObject(RUNTIME_CLASS(CSample));
  EXPECT_EQ(static_cast<CSample*>(a)->a, 7);
  EXPECT_EQ(static_cast<CSample*>(b)->b, 2.0);
  delete a;
  delete b;
}

TEST(CArchive, HostileInputThrowsAndLeaksNothing) {
  const std::string cases[] = {
      std::string("\xFF\xFF\x01\x00\x07\x00" "CSampl", 12),            // name cut short
      std::string("\xFF\xFF\x02\x00\x07\x00" "CSample", 13),           // wrong schema
      std::string("\xFF\xFF\x01\x00\x07\x00" "CXample", 13),           // unknown class
      std::string("\x01\x80", 2),                                      // reference to nothing
      std::string("\x02\x00", 2),                                      // object back-reference
      std::string("\xFF\xFF\x01\x00\x07\x00" "CSample" "\x07\x00", 15),  // record cut short
      std::string("\xFF\xFF\x01\x00\xFF\xFF", 6),                      // absurd name length
  };
  for (const auto& bytes : cases) {
    CMemFile f(bytes.data(), bytes.size());
    CArchive in(&f, CArchive::load);
    EXPECT_THROW(in.ReadObject(RUNTIME_CLASS(CSample)), CArchiveException) << Hex(bytes);
  }
}

TEST(CArchive, CountsSwitchToDwordAt65535) {
  CMemFile f;
  {
    CArchive ar(&f, CArchive::store);
    ar.WriteCount(65534);
    ar.WriteCount(65535);
  }
  EXPECT_EQ(Hex(f.Data()), "FEFF" "FFFF" "FFFF0000");
  f.Seek(0, CFile::begin);
  CArchive in(&f, CArchive::load);
  EXPECT_EQ(in.ReadCount(), 65534u);
  EXPECT_EQ(in.ReadCount(), 65535u);
}
