// Texts for the error numbers of RAS (600 to 753); any other number gets a general German text.
#pragma once

const unsigned kRasErrorFirst = 600;
const unsigned kRasErrorLast = 753;

const char* RasErrorText(unsigned code);
