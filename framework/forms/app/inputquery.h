// The input box: a modal form with the prompt, an edit with Value and "OK" / "Abbrechen".
#pragma once

#include "sysutils.h"

// True (and Value the text typed) when the user confirmed with "OK".
bool InputQuery(const String& Caption, const String& Prompt, String& Value);
