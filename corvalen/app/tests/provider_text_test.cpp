#include <gtest/gtest.h>

#include "ProviderListText.h"

namespace {

struct ItemCase {
  bool login, registered, freeMinutes;
  float price;
  const char* expected;
};

TEST(ProviderItemText, MarkersPriceAndName) {
  const ItemCase cases[] = {
      {false, false, false, 1.5f, " __  1.50 Pfg     Anbieter"},
      {true, false, false, 2.0f, " _A  2.00 Pfg     Anbieter"},
      {true, true, false, 0.99f, " _R  0.99 Pfg     Anbieter"},
      {false, true, false, 1.0f, " __  1.00 Pfg     Anbieter"},  // registered, but no login needed
      {true, true, true, 3.25f, " FR  3.25 Pfg     Anbieter"},
      {true, false, true, 3.25f, " FA  3.25 Pfg     Anbieter"},
      {false, false, true, 12.5f, " F_  12.50 Pfg     Anbieter"},
  };
  for (const ItemCase& c : cases) {
    CProvider p;
    p.SetName("Anbieter");
    p.SetLoginRequired(c.login);
    p.SetRegistered(c.registered);
    p.SetHasFreeMinutes(c.freeMinutes);
    p.SetPrice(c.price);
    EXPECT_STREQ(c.expected, ProviderItemText(p).c_str());
  }
}

TEST(DefaultProviderId, CheapestUnlessANamedOne) {
  CProvider cheap, dear;
  cheap.SetId("id-1");
  dear.SetId("id-2");
  CProviderArray ranking;
  ranking.Add(&cheap);
  ranking.Add(&dear);
  EXPECT_STREQ("id-1", DefaultProviderId("", ranking).c_str());
  EXPECT_STREQ("id-1", DefaultProviderId("x", ranking).c_str());
  EXPECT_STREQ("id-1", DefaultProviderId("- Günstigstem Provider -", ranking).c_str());
  EXPECT_STREQ("id-2", DefaultProviderId("id-2", ranking).c_str());
  EXPECT_EQ(1, IndexOfProvider(ranking, "id-2"));
  EXPECT_EQ(0, IndexOfProvider(ranking, "id-unknown"));
  CProviderArray none;
  EXPECT_STREQ("", DefaultProviderId("", none).c_str());
}

TEST(FormatOnlineTime, HoursMinutesSeconds) {
  EXPECT_STREQ("0:00:00", FormatOnlineTime(0).c_str());
  EXPECT_STREQ("0:01:05", FormatOnlineTime(65).c_str());
  EXPECT_STREQ("2:00:59", FormatOnlineTime(7259).c_str());
  EXPECT_STREQ("0:00:00", FormatOnlineTime(-3).c_str());
}

TEST(StripViewerMarkers, BoldAndUnderlineMarkersGo) {
  EXPECT_STREQ("Titel und Wort.", StripViewerMarkers("\\bTitel\\b und \\vWort\\v.").c_str());
}

TEST(IsStartedByHookParameter, FirstEightCharactersCaseSensitive) {
  EXPECT_TRUE(IsStartedByHookParameter("AfterDll0;0"));
  EXPECT_TRUE(IsStartedByHookParameter("AfterDll"));
  EXPECT_FALSE(IsStartedByHookParameter("afterdll0;0"));
  EXPECT_FALSE(IsStartedByHookParameter("AfterDl"));
  EXPECT_FALSE(IsStartedByHookParameter(""));
}

}  // namespace
