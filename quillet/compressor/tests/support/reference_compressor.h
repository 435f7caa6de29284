// The compressor's passes read plainly: one string, a position i walking over it, and every
// replacement erasing and inserting in place (so it moves the rest of the text each time and
// takes quadratic time). Tests and the fuzz target compare CompressHTMLText with it on small texts.
#pragma once

#include <string>

#include "compresspasses.h"

std::string ReferenceCompressHTML(std::string Text, const THTMLCompressOptions& Options);
