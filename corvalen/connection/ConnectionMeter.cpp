#include "ConnectionMeter.h"

#include <cmath>

#include "BillingRule.h"
#include "TarifClock.h"

void CConnectionMeter::Reset() {
  COleDateTime now = GetNow();
  connectTime_ = endTime_ = segmentStart_ = now;
  connectSteady_ = segmentSteady_ = GetSteadySeconds();
  onlineSeconds_ = 0;
  cost_ = 0.0f;
  feeBilled_ = 0;
  price_ = 0.0f;
  segmentTakt_ = 0;
}

void CConnectionMeter::Start(CProvider* provider) {
  Reset();
  SetPricePerMinute(provider->GetPrice());
  segmentTakt_ = provider->GetTakt();
  SetCost(provider->GetDialInFee());
  SetConnectTime(GetNow());
  SetProvider(provider);
}

bool CConnectionMeter::OnBillingInterval() {
  if (!provider_) return false;
  const bool renewed = RenewSegmentIfChanged();
  AddBillingUnit();
  return renewed;
}

bool CConnectionMeter::OnPriceChange() {
  if (!provider_ || !RenewSegmentIfChanged()) return false;
  AddBillingUnit();  // the new segment's first interval has begun
  return true;
}

bool CConnectionMeter::RenewSegmentIfChanged() {
  if (std::fabs(price_ - provider_->GetPrice()) < 0.001f && segmentTakt_ == provider_->GetTakt()) return false;
  // One reading of both clocks: the segment that ends and the one that begins meet exactly.
  COleDateTime now = GetNow();
  double steady = GetSteadySeconds();
  AppendSegmentRecord(now, steady);
  SetSegmentStart(now, steady);
  SetFeeBilled(TRUE);
  SetPricePerMinute(provider_->GetPrice());
  segmentTakt_ = provider_->GetTakt();
  return true;
}

int CConnectionMeter::GetIntervalSeconds() const { return CBillingRule::IntervalSeconds(segmentTakt_); }

bool CConnectionMeter::Stop() {
  if (!provider_) return false;
  SetEndTime(GetNow());
  AppendSegmentRecord(endTime_, GetSteadySeconds());
  SetProvider(nullptr);
  Reset();
  return true;
}

void CConnectionMeter::SetConnectTime(const COleDateTime& t) {
  connectTime_ = segmentStart_ = t;
  connectSteady_ = segmentSteady_ = GetSteadySeconds();
}

void CConnectionMeter::SetSegmentStart(const COleDateTime& t, double steady) {
  segmentStart_ = t;
  segmentSteady_ = steady;
}

double CConnectionMeter::GetSegmentSeconds(double steadyNow) const {
  double s = steadyNow - segmentSteady_;
  return std::isfinite(s) && s > 0 ? s : 0;
}

COleDateTimeSpan CConnectionMeter::GetOnlineSpan() {
  double seconds = GetSteadySeconds() - connectSteady_;
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  onlineSeconds_ = static_cast<int>(std::floor(seconds + 0.5));
  return COleDateTimeSpan(seconds / 86400.0);
}

float CConnectionMeter::AddBillingUnit() {
  if (provider_) cost_ = cost_ + CBillingRule::UnitCost(provider_->GetTakt(), price_);
  return cost_;
}

void CConnectionMeter::AppendSegmentRecord(const COleDateTime& end, double steadyEnd) {
  recordWritten_ = false;
  if (!provider_ || !log_) return;
  CConnectionRecord record;
  record.start = segmentStart_;
  record.end = end;
  record.seconds = GetSegmentSeconds(steadyEnd);
  record.providerId = provider_->GetId();
  record.noDialInFee = feeBilled_ ? 1 : 0;
  record.price = price_;
  record.takt = segmentTakt_;
  // The record names the metered provider itself: it may no longer be among the active ones
  // (tariff data read again while online that lack it or switched it off).
  CProviderArray lookup;
  lookup.Add(provider_);
  recordWritten_ = log_->AppendConnection(record, lookup) != FALSE;
}
