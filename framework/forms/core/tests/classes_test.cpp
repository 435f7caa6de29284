// Assign/AssignTo, component ownership and the loading state, shift states.
#include <gtest/gtest.h>

#include <vector>

#include "classes.h"
#include "keys.h"

namespace {

struct Point : TPersistent {
  int x = 0;
  const char* ClassName() const override { return "Point"; }
  void Assign(TPersistent* Source) override {
    if (auto* p = dynamic_cast<Point*>(Source)) x = p->x;
    else TPersistent::Assign(Source);
  }
};

// Knows how to copy itself into a Point, which does not know it.
struct Number : TPersistent {
  int v = 0;
  const char* ClassName() const override { return "Number"; }
  void AssignTo(TPersistent* Dest) override {
    if (auto* p = dynamic_cast<Point*>(Dest)) p->x = v;
    else TPersistent::AssignTo(Dest);
  }
};

struct Other : TPersistent {
  const char* ClassName() const override { return "Other"; }
};

std::vector<String> events;

struct Part : TComponent {
  String tag;
  Part(TComponent* owner, String t) : TComponent(owner), tag(std::move(t)) {}
  ~Part() override { events.push_back("free " + tag); }
  void Loaded() override {
    TComponent::Loaded();
    events.push_back("loaded " + tag);
  }
};

}  // namespace

TEST(Persistent, AssignFallsBackToAssignToThenFails) {
  Point a, b;
  b.x = 3;
  a.Assign(&b);
  EXPECT_EQ(a.x, 3);
  Number n;
  n.v = 9;
  a.Assign(&n);
  EXPECT_EQ(a.x, 9);
  Other o;
  try {
    a.Assign(&o);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Other kann nicht zu Point zugewiesen werden");
  }
}

TEST(Component, OwnerFreesOwnedAndLoadingEndsWithLoaded) {
  events.clear();
  {
    Part root(nullptr, "root");
    auto* a = new Part(&root, "a");
    auto* b = new Part(a, "b");
    b->SetName("Knopf");
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(a->FindComponent("knopf"), b);
    root.BeginLoading();
    EXPECT_TRUE(b->IsLoading());
    root.EndLoading();
    EXPECT_FALSE(root.IsLoading() || a->IsLoading() || b->IsLoading());
    EXPECT_EQ(events, (std::vector<String>{"loaded b", "loaded a", "loaded root"}));
    events.clear();
    auto* c = new Part(&root, "c");
    delete c;  // removes itself from its owner
    EXPECT_EQ(root.ComponentCount(), 1);
  }
  EXPECT_EQ(events, (std::vector<String>{"free c", "free root", "free a", "free b"}));
}

TEST(ShiftState, SetOperations) {
  TShiftState s{ssCtrl, ssShift};
  EXPECT_TRUE(s.Contains(ssCtrl));
  EXPECT_FALSE(s.Contains(ssAlt));
  EXPECT_EQ(s - ssShift, TShiftState{ssCtrl});
  EXPECT_EQ(TShiftState{} + ssAlt, TShiftState{ssAlt});
  EXPECT_TRUE(TShiftState{}.Empty());
  EXPECT_NE(s, TShiftState{ssCtrl});
  EXPECT_EQ(VK_LEFT, 0x25);
}
