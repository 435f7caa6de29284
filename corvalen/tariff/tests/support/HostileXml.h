// Documents that ask an XML reader for far more memory than their length: each of about 15 MB,
// the size of a real attack on the router, wrapped in what a reader expects around it
// (`head` and `tail`), so that the reader takes them for its own files.
#pragma once

#include <string>

struct HostileXml {
  const char* what;
  std::string doc;
};

// The body of about `bytes` bytes: elements nested inside each other, elements of millions of
// different names, one element with a million different attribute names.
inline std::string DeepNesting(size_t bytes) {
  std::string s;
  s.reserve(bytes + 16);
  while (s.size() < bytes) s += "<a>";
  return s;
}

inline std::string DistinctNames(size_t bytes) {
  std::string s;
  s.reserve(bytes + 32);
  for (unsigned i = 0; s.size() < bytes; ++i) s += "<e" + std::to_string(i) + "/>";
  return s;
}

inline std::string DistinctAttributes(size_t bytes) {
  std::string s = "<a";
  s.reserve(bytes + 32);
  for (unsigned i = 0; s.size() < bytes; ++i) s += " b" + std::to_string(i) + "=\"\"";
  return s + "/>";
}

inline HostileXml HostileCases(int i, const std::string& head, const std::string& tail) {
  const size_t bytes = size_t(15) << 20;
  switch (i) {
    case 0: return {"deep nesting", head + DeepNesting(bytes) + tail};
    case 1: return {"distinct element names", head + DistinctNames(bytes) + tail};
    default: return {"distinct attribute names", head + DistinctAttributes(bytes) + tail};
  }
}
const int kHostileCaseCount = 3;
