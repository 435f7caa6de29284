// Texts for the error numbers of RAS (600 to 753); any other number gets a general German text.
#pragma once

const unsigned kRasErrorFirst = 600;
const unsigned kRasErrorLast = 753;

const char* RasErrorText(unsigned code);

// The reason of a failed dial in German, for the user: "Leitung besetzt", "Benutzername oder
// Kennwort falsch", ... for the RAS error numbers a dial ends with; any other number gets
// "Die Einwahl ist fehlgeschlagen".
const char* RasErrorReason(unsigned code);
// Whether the error says that the remote side refused the user name or the password.
bool IsRasLoginRefused(unsigned code);
