// The registry of insert dialogs: one registration gives the command its dialog and, when asked,
// a start form, in the order of registration; a second registration of a kind replaces the
// dialog and adds no second start form.
#include <gtest/gtest.h>

#include <vector>

#include "insertdialogs.h"

namespace {

std::vector<int> gMade;  // which factory ran, in order

// A factory that records its number instead of making a form.
TDialogFactory Marked(int N) {
  return [N](TComponent*, TDialogContext&) -> TForm* {
    gMade.push_back(N);
    return nullptr;
  };
}

std::vector<int> MakeStartForms() {
  gMade.clear();
  TDialogContext context;
  for (const TDialogFactory& f : StartForms()) f(nullptr, context);
  return gMade;
}

TEST(InsertDialogRegistry, RecordsTheStartFormsInTheOrderOfRegistrationOnce) {
  ASSERT_TRUE(StartForms().empty());
  EXPECT_FALSE(InsertDialog(idImage));
  RegisterInsertDialog(idImage, {Marked(1), InsertFirstLine}, sfAtStart);
  RegisterInsertDialog(idSoundTable, {Marked(2), InsertFirstLine});  // on its command only
  RegisterStartForm(Marked(3));  // a start form of no insert dialog
  RegisterInsertDialog(idLink, {Marked(4), InsertFirstLine}, sfAtStart);
  EXPECT_EQ(MakeStartForms(), (std::vector<int>{1, 3, 4}));
  EXPECT_TRUE(InsertDialog(idSoundTable));

  // Registered again (as the tests drive a dialog): the command gets the new factory, the start
  // forms stay as they were.
  RegisterInsertDialog(idImage, {Marked(5), InsertFirstLine}, sfAtStart);
  EXPECT_EQ(MakeStartForms(), (std::vector<int>{1, 3, 4}));
  gMade.clear();
  TDialogContext context;
  InsertDialog(idImage).Create(nullptr, context);
  EXPECT_EQ(gMade, std::vector<int>{5});

  UnregisterInsertDialog(idImage);
  EXPECT_FALSE(InsertDialog(idImage));
}

}  // namespace
