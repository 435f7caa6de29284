#include "BillingRule.h"

long long CBillingRule::Units(long long seconds, int takt) {
  if (seconds <= 0) return 0;
  const int interval = IntervalSeconds(takt);
  return seconds / interval + (seconds % interval > 0 ? 1 : 0);
}

float CBillingRule::UnitCost(int takt, float pricePerMinute) {
  return static_cast<float>(IntervalSeconds(takt)) * kMinutesPerSecond * pricePerMinute;
}

float CBillingRule::SegmentCost(long long seconds, int takt, float pricePerMinute, float dialInFee) {
  return UnitCost(takt, pricePerMinute) * static_cast<float>(Units(seconds, takt)) + dialInFee;
}
