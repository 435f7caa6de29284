// The billing rule of a connection, in one place: the screen's running cost (the connection
// meter), the cost log's records and the billing timer of the connection controller all bill by it.
//
// A tariff's takt is its billing interval in seconds; each begun interval is billed whole at the
// price per minute. Takt 0 bills by the second: an interval of no length would bill nothing for
// the time, yet the price per minute is what the ranking chose the provider by. A takt outside
// 0..kMaxTakt is no tariff; the tariff reader refuses a file that sets one (IsValidTakt).
#pragma once

class CBillingRule {
 public:
  // The longest billing interval a tariff may set: an hour. Real tariffs bill by the second, by
  // ten seconds or by the minute.
  static const int kMaxTakt = 3600;
  // Pf of one second at a price of 1 Pf per minute: the float nearest 1/60.
  static constexpr float kMinutesPerSecond = 0.016666668f;

  static bool IsValidTakt(long long takt) { return takt >= 0 && takt <= kMaxTakt; }
  // The interval in seconds that a takt bills by (and the billing timer runs at): the takt,
  // or 1 for takt 0 (and for any value that is no takt).
  static int IntervalSeconds(int takt) { return takt >= 1 && takt <= kMaxTakt ? takt : 1; }
  // The begun intervals of a duration of whole seconds (none for none).
  static long long Units(long long seconds, int takt);
  // One interval at a price per minute, in Pf.
  static float UnitCost(int takt, float pricePerMinute);
  // A segment of whole seconds at a price per minute, with its dial-in fee, in Pf.
  static float SegmentCost(long long seconds, int takt, float pricePerMinute, float dialInFee);
};
