// The provider filter of the options: ids always shown, ids hidden, and the switches that hide
// providers by login, fees and billing interval. Read from the settings once per ranking.
#pragma once

#include "CString.h"
#include "Provider.h"
#include "Settings.h"

struct CProviderFilter {
  CString notInFilter;  // ids always shown
  CString filtered;     // ids hidden
  CFilterSwitches switches;
  // TRUE = hide.
  BOOL IsFilteredOut(const CProvider* provider) const;
  // The filter of the settings; without settings nothing is hidden.
  static CProviderFilter Read(CSettings* settings);
};
