// The billing rule that the screen's meter, the cost log and the billing timer share: the
// interval a takt bills by, the begun intervals of a duration, and their cost.
#include <gtest/gtest.h>

#include "BillingRule.h"

TEST(BillingRule, IntervalsUnitsAndCostsForEveryTakt) {
  const struct {
    int takt;
    long long seconds;
    int interval;
    long long units;
    float cost;  // Pf at 1.5 Pf per minute with a dial-in fee of 5 Pf
  } cases[] = {
      {60, 0, 60, 0, 5.0f},          {60, 1, 60, 1, 6.5f},        {60, 60, 60, 1, 6.5f},
      {60, 61, 60, 2, 8.0f},         {1, 61, 1, 61, 6.525f},      {10, 95, 10, 10, 7.5f},
      // Takt 0 bills by the second, as takt 1 does.
      {0, 0, 1, 0, 5.0f},            {0, 61, 1, 61, 6.525f},      {0, 150, 1, 150, 8.75f},
      {3600, 1, 3600, 1, 95.0f},     {3600, 3601, 3600, 2, 185.0f},
      // Values no tariff may set (the reader refuses them) still bill by the second.
      {-1, 150, 1, 150, 8.75f},      {3601, 150, 1, 150, 8.75f},  {1661992959, 150, 1, 150, 8.75f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "takt " << c.takt << ", " << c.seconds << " s");
    EXPECT_EQ(CBillingRule::IntervalSeconds(c.takt), c.interval);
    EXPECT_EQ(CBillingRule::Units(c.seconds, c.takt), c.units);
    EXPECT_NEAR(CBillingRule::SegmentCost(c.seconds, c.takt, 1.5f, 5.0f), c.cost, 1e-4);
    EXPECT_NEAR(CBillingRule::UnitCost(c.takt, 1.5f), c.interval * 1.5f / 60, 1e-5);
  }
  for (long long takt : {-1LL, 3601LL, 99999999999LL}) EXPECT_FALSE(CBillingRule::IsValidTakt(takt)) << takt;
  for (long long takt : {0LL, 1LL, 60LL, 3600LL}) EXPECT_TRUE(CBillingRule::IsValidTakt(takt)) << takt;
}
