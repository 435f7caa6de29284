// What a connection costs while it runs: the metered provider, the online time, the price
// segment with its price per minute, the running cost added up by billing units, and the cost
// record of every segment in the cost log.
//
// Everything runs on the tariff clock (TarifClock.h): the local times that the log records come
// from GetNow, the durations (online time, a segment's seconds) from the steady clock, so a
// connection across a daylight-saving switch is billed for the time it really lasted.
//
// The meter is the connection the tariff engine asks for the connected provider: after the
// tariff data were read again it is handed the provider's new record, or keeps the former one
// when the new data lack it.
#pragma once

#include <memory>

#include "COleDateTime.h"
#include "CString.h"
#include "CostLog.h"
#include "TarifDatabase.h"

class CConnectionMeter : public CTarifConnection {
 public:
  // The segments' cost records go to `log`; without one none is written.
  explicit CConnectionMeter(CCostLog* log = nullptr) : log_(log) {}
  ~CConnectionMeter() override = default;
  CConnectionMeter(const CConnectionMeter&) = delete;
  CConnectionMeter& operator=(const CConnectionMeter&) = delete;

  // Connect time, end time and segment start now; no online seconds, cost, price or billed fee.
  void Reset();
  // The connect: `provider` is metered from now on at its current price, and its dial-in fee is
  // the first cost.
  void Start(CProvider* provider);
  // Once per billing interval: when the metered provider's price or takt has changed since the
  // price segment began, the segment ends now (its cost record goes to the log) and a new one
  // begins at the new price and takt with the dial-in fee already billed; then one billing unit
  // (the interval that begins now) is added to the running cost. TRUE when a new segment began:
  // the billing timer then starts again at GetIntervalSeconds, so that its ticks fall where the
  // new segment's intervals begin, as the log counts them. Without a metered provider it does
  // nothing.
  bool OnBillingInterval();
  // Between two billing intervals (the free minutes ran out): when the price or takt changed,
  // the segment ends now and the new one begins with its first unit, as at a billing interval;
  // otherwise nothing is billed. TRUE when a new segment began (the timer starts again).
  bool OnPriceChange();
  // The billing interval of the current segment, in seconds (CBillingRule), which the billing
  // timer runs at.
  int GetIntervalSeconds() const;
  // The hang-up: the end time is now, the last segment's cost record goes to the log, and the
  // meter lets go of its provider. FALSE (and nothing written) when no provider was metered.
  bool Stop();

  // Whether the last segment record (of Stop or of a price change) went into the log.
  bool WasRecordWritten() const { return recordWritten_; }

  CProvider* GetProvider() const { return provider_; }
  // The metered provider; a former record kept over a reload is let go when another takes its place.
  void SetProvider(CProvider* p) {
    if (p != former_.get()) former_.reset();
    provider_ = p;
  }
  CProvider* GetConnectedProvider() const override { return provider_; }
  void SetConnectedProvider(CProvider* p) override { SetProvider(p); }
  // The tariff data were read again without the metered provider: its former record is kept,
  // and the connection is metered and logged at its tariff until the hang-up.
  void KeepFormerProvider(std::unique_ptr<CProvider> former) override {
    former_ = std::move(former);
    provider_ = former_.get();
  }

  // The local time of the connect (and of the first segment's start); the steady clock's reading
  // is taken with it, and the online time and the segment's duration are measured from that.
  void SetConnectTime(const COleDateTime& t);
  const COleDateTime& GetConnectTime() const { return connectTime_; }
  const COleDateTime& GetEndTime() const { return endTime_; }
  void SetEndTime(const COleDateTime& t) { endTime_ = t; }
  // The time online since the connect, measured on the steady clock (a daylight-saving switch
  // does not change it); its whole seconds are kept as the online seconds.
  COleDateTimeSpan GetOnlineSpan();
  int GetOnlineSeconds() const { return onlineSeconds_; }
  void SetPricePerMinute(float p) { price_ = p; }
  float GetPricePerMinute() const { return price_; }
  // One billing interval of the metered provider at the segment's price (CBillingRule::UnitCost);
  // returns the new cost.
  float AddBillingUnit();
  void SetFeeBilled(BOOL on) { feeBilled_ = on ? 1 : 0; }
  BOOL IsFeeBilled() const { return feeBilled_; }
  float GetCost() const { return cost_; }
  void SetCost(float c) { cost_ = c; }
  // A segment beginning at local time `t`, at the steady clock's reading `steady`.
  void SetSegmentStart(const COleDateTime& t, double steady);
  const COleDateTime& GetSegmentStart() const { return segmentStart_; }
  // Seconds from the segment's start to the steady clock's reading `steadyNow`.
  double GetSegmentSeconds(double steadyNow) const;

 private:
  // The cost record of the current price segment, ending at local time `end` and steady-clock
  // reading `steadyEnd`, into the log.
  void AppendSegmentRecord(const COleDateTime& end, double steadyEnd);
  // Ends the segment and begins the next when the provider's price or takt changed.
  bool RenewSegmentIfChanged();

  CCostLog* log_ = nullptr;
  COleDateTime segmentStart_;
  BYTE feeBilled_ = 0;
  float price_ = 0;
  int segmentTakt_ = 0;  // the takt the segment is billed at
  int onlineSeconds_ = 0;
  CProvider* provider_ = nullptr;
  std::unique_ptr<CProvider> former_;  // the metered provider's record when the tariff data lost it
  float cost_ = 0;
  COleDateTime endTime_;
  COleDateTime connectTime_;
  double connectSteady_ = 0;  // steady-clock readings at the connect and at the segment's start
  double segmentSteady_ = 0;
  bool recordWritten_ = false;
};
