#include <gtest/gtest.h>

#include "CArray.h"
#include "CMapStringToOb.h"

namespace {
class CItem : public CObject {
 public:
  explicit CItem(int v) : v(v) {}
  int v;
};

std::string Keys(const CMapStringToOb& m) {
  std::string r;
  CString key;
  CObject* obj;
  for (POSITION pos = m.GetStartPosition(); pos;) {
    m.GetNextAssoc(pos, key, obj);
    r += key.str() + ",";
  }
  return r;
}
}  // namespace

TEST(CMapStringToOb, IteratesInInsertionOrderAndReplacesInPlace) {
  CItem a(1), b(2), c(3), d(4);
  CMapStringToOb m(10);
  m.SetAt("zeta", &a);
  m.SetAt("alpha", &b);
  m.SetAt("mid", &c);
  EXPECT_EQ(Keys(m), "zeta,alpha,mid,");
  m.SetAt("alpha", &d);
  EXPECT_EQ(Keys(m), "zeta,alpha,mid,");
  CObject* found = nullptr;
  ASSERT_TRUE(m.Lookup("alpha", found));
  EXPECT_EQ(found, &d);
  EXPECT_TRUE(m.RemoveKey("zeta"));
  EXPECT_FALSE(m.RemoveKey("zeta"));
  EXPECT_EQ(Keys(m), "alpha,mid,");
  ASSERT_TRUE(m.Lookup("mid", found));
  EXPECT_EQ(found, &c);
  EXPECT_FALSE(m.Lookup("", found));
  m.RemoveAll();
  EXPECT_EQ(m.GetStartPosition(), nullptr);
}

TEST(CObArray, InsertAtKeepsOrder) {
  CItem a(1), b(2), c(3);
  CTypedPtrArray<CObArray, CItem*> arr;
  arr.Add(&a);
  arr.InsertAt(0, &b);
  arr.InsertAt(5, &c);  // past the end: appended
  ASSERT_EQ(arr.GetSize(), 3);
  EXPECT_EQ(arr[0]->v, 2);
  EXPECT_EQ(arr[1]->v, 1);
  EXPECT_EQ(arr[2]->v, 3);
  arr.RemoveAt(1);
  EXPECT_EQ(arr[1]->v, 3);
}
