// Fuzz target: tip and help texts (also the server's) through the viewer's markup handling.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "TipMarkup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
  // Cut as the viewer cuts it (to a small limit too, so that the cut itself is reached).
  for (int limit : {kMaxTipLength, 64}) {
    for (bool markup : {false, true}) {
      CString cut = CutTipText(text, markup, limit);
      if (cut.GetLength() > limit && cut != text) abort();
      if (text.GetLength() <= limit && cut != text) abort();
    }
  }
  // Whether there is anything to show: text with no marker, blank or line break means yes.
  const bool hasText = TipHasText(text);
  CString expanded = ExpandTipMarkers(text);
  for (bool crLf : {false, true}) {
    CTipRuns runs = StripTipMarks(expanded, crLf);
    if (runs.text.GetLength() > expanded.GetLength()) abort();
    if (!hasText) {
      for (int i = 0; i < runs.text.GetLength(); ++i)
        if (runs.text[i] != ' ' && runs.text[i] != '\t' && runs.text[i] != '\r' && runs.text[i] != '\n') abort();
    }
    for (const std::vector<long>* list : {&runs.bold, &runs.underline}) {
      if (list->size() > static_cast<size_t>(kMaxTipMarks)) abort();
      long last = 0;
      for (long p : *list) {
        if (p < last || p > runs.text.GetLength()) abort();
        last = p;
      }
      for (auto& pair : TipRunPairs(*list))
        if (pair.first > pair.second) abort();
    }
  }
  return 0;
}
