// The pure text work of the application: the provider list's items, the item selected at start,
// the online display's values, the viewer's markers and the AutoDial hook's start parameter.
#pragma once

#include "CString.h"
#include "Provider.h"
#include "TarifDatabase.h"

// " _A  1.23 Pfg     Name": the marker ("_A" login required, "_R" login required and registered,
// "__" every other provider) right-aligned in three characters, the price, five blanks and the
// name; "F" replaces the marker's first character for a provider with free minutes.
CString ProviderItemText(const CProvider& provider);

// The provider id to select at start: "DefaultConnection", or the cheapest provider's id when that
// value is shorter than two characters or is the options page's "- Günstigstem Provider -".
CString DefaultProviderId(const CString& defaultConnection, const CProviderArray& ranking);

// The index of the provider with that id in the list; 0 when none matches.
int IndexOfProvider(const CProviderArray& list, const CString& id);

// Online time "h:mm:ss".
CString FormatOnlineTime(long seconds);

// A text of the viewer as plain text: the bold and underline markers "\b" and "\v" removed.
CString StripViewerMarkers(const CString& text);

// TRUE when the command line's file parameter starts with "AfterDll" (case-sensitive): the
// AutoDial hook started the program. What follows is not read.
BOOL IsStartedByHookParameter(const CString& fileName);
