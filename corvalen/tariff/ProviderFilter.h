// The provider filter of the options: ids always shown, ids hidden, and the switches that hide
// providers by login, fees and billing interval. Read from the settings once per ranking.
//
// The two id lists are stored as the ids joined by "<" ("a<b<c", empty for none). An id counts
// as listed only when it stands there whole: hiding "tel" does not touch "hotel".
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

  // TRUE when `id` is one of the "<"-joined ids of `list`.
  static BOOL ListHas(const CString& list, const CString& id);
  // Takes the first whole `id` out of `list` with one neighbouring "<" (the one before it, or the
  // one after it when it stands first); FALSE (list unchanged) when it is not there.
  static BOOL CutFromList(CString& list, const CString& id);
  // Appends `id` ("<" + id, or the id alone to an empty list).
  static void AppendToList(CString& list, const CString& id);
};
