// Context names: the names by which the help source's topics and jumps name a topic, and the
// help viewer's hash of them, by which the help file finds a topic.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace hlpc {

// A context name has at most this many characters.
const size_t kMaxContextBytes = 64;

// True when `name` is a context name: 1 to kMaxContextBytes characters of 0-9, A-Z, a-z, '_'
// and '.' (the characters the viewer's hash tells apart).
bool IsContextName(const std::string& name);

// The help viewer's hash of a context name: per character, hash * 43 + the character's value,
// in 32 bits; letters count without case. The empty name hashes to 1.
int32_t ContextHash(const std::string& name);

// True when the two names differ only in the case of their letters (so that the viewer, whose
// hash ignores case, takes them for one name).
bool SameContextName(const std::string& a, const std::string& b);

}  // namespace hlpc
