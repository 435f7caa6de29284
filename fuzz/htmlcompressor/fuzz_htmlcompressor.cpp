// The HTML compressor over arbitrary bytes: the first byte chooses the eight options, the rest is
// the page. Checks that the passes end and never lengthen the text, that the result agrees byte
// for byte with the plain reading of the passes (on pages small enough for its quadratic time),
// and that a preformatted block, a text area and a script at the start of the page come through
// unchanged whatever follows them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "compresspasses.h"
#include "reference_compressor.h"

namespace {

// What the plain reading can do in a moment.
const size_t kReferenceLimit = 2048;

// Blanks, quotes, a tag of the simple-tag pass, a paragraph for the centre pass, line breaks
// (single ones only: doubled line breaks collapse also in scripts).
const char* const kRegions[] = {
    "<pre class=\"c\">  a   \"b\"  <strong>x</strong>\r\n <p align=center> 'c' </p>\r\n</pre>",
    "<TEXTAREA name=\"t\">\r\n  \"Ihr\"   <em>Text</em> \r\n<!--webbot bot=x -->\r\n</TEXTAREA>",
    "<script language=\"JavaScript\">  if (a  <  b)  w(\"<p align=center>\" + '</p>');\r\n  x = \"<em>\"; \r\n</script>",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  THTMLCompressOptions o;
  const uint8_t bits = data[0];
  o.SimpleTags = bits & 1;
  o.Center = bits & 2;
  o.InvCommas = bits & 4;
  o.Spaces = bits & 8;
  o.Returns = bits & 16;
  o.AllReturns = bits & 32;
  o.Webbots = bits & 64;
  o.BlockquoteToUl = bits & 128;
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string packed = CompressHTMLString(page, o);
  if (packed.size() > page.size()) std::abort();
  if (page.size() <= kReferenceLimit && packed != ReferenceCompressHTML(page, o)) std::abort();

  for (const char* region : kRegions) {
    const std::string r(region);
    const std::string out = CompressHTMLString(r + page, o);
    if (out.compare(0, r.size(), r) != 0) std::abort();
  }
  return 0;
}
