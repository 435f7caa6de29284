// Memory and file streams, and string lists loaded from and saved to files.
#include <gtest/gtest.h>

#include <cstdio>

#include "lists.h"
#include "streams.h"

static String TempName(const char* name) { return String(ASTREL_BINARY_DIR) + "/" + name; }

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  EXPECT_EQ(m.Size(), 6);
  m.SetPosition(2);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 10), 4);
  EXPECT_STREQ(buf, "cdef");
  m.Seek(-3, soFromEnd);
  m.WriteBuffer("XYZW", 4);
  EXPECT_EQ(String(m.Memory(), static_cast<size_t>(m.Size())), "abcXYZW");
  m.SetPosition(5);
  try {
    m.ReadBuffer(buf, 3);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream-Lesefehler");
  }
}

TEST(Streams, FileStreamErrorsNameTheFile) {
  String missing = TempName("gibt-es-nicht/datei.txt");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Datei " + missing + " kann nicht geöffnet werden");
  }
  try {
    TFileStream f(missing, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Datei " + missing + " kann nicht erstellt werden");
  }
}

TEST(Streams, StringListRoundTripThroughAFile) {
  String name = TempName("forms_core_lines.txt");
  TStringList l;
  l.SetText("<html>\r\n  Grüße\r\n\r\nEnde");
  l.SaveToFile(name);
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(String(m.Memory(), static_cast<size_t>(m.Size())), "<html>\r\n  Grüße\r\n\r\nEnde\r\n");
  TStringList back;
  back.LoadFromFile(name);
  EXPECT_TRUE(back.Equals(&l));
  std::remove(name.c_str());
}

TEST(Streams, CopyFromCopiesAllOrACount) {
  TMemoryStream a, b;
  a.WriteBuffer("0123456789", 10);
  EXPECT_EQ(b.CopyFrom(a, 0), 10);
  a.SetPosition(3);
  EXPECT_EQ(b.CopyFrom(a, 2), 2);
  EXPECT_EQ(String(b.Memory(), static_cast<size_t>(b.Size())), "012345678934");
}
