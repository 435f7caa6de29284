// The compressed page shows the same text as the page itself: every page of fixtures/inline and
// the club page, compressed with the compressor window's options, are put side by side into one
// page of frames and opened in a real browser (headless Chromium), which reports the rendered
// text (document.body.innerText) of each frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compresspasses.h"
#include "headless_browser.h"

namespace {

const std::string kFixtures = std::string(ASTREL_SOURCE_DIR) + "/quillet/compressor/tests/fixtures/";

std::string ReadFile(const std::string& name) {
  std::ifstream f(name, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string AttributeText(const std::string& page) {
  std::string out;
  for (char c : page) {
    if (c == '&')
      out += "&amp;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

std::string PercentDecoded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Once every frame has loaded, the text of each frame's body, percent-encoded, goes into the
// page as "TEXTE[...]" (the marker is put together in the script, so that only the result
// matches it); --dump-dom prints the page then.
const char kTextReport[] =
    "<script>\nwindow.addEventListener('load', function () {\n  var out = [];\n"
    "  var frames = document.getElementsByTagName('iframe');\n"
    "  for (var i = 0; i < frames.length; i++) {\n    var b = frames[i].contentDocument.body;\n"
    "    out.push(encodeURIComponent(b ? b.innerText : ''));\n  }\n"
    "  var pre = document.createElement('pre');\n  pre.textContent = 'TEX' + 'TE[' + out.join(' ') + ']';\n"
    "  document.body.appendChild(pre);\n});\n</script>\n";

// The rendered text of each page, in order ("" when the browser gave no answer).
std::vector<std::string> RenderedTexts(const std::vector<std::string>& pages) {
  const std::string dir = std::string(ASTREL_BINARY_DIR) + "/quillet_compressor_browser";
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  std::filesystem::create_directories(dir + "/profile", ignored);
  std::string frames = "<html><head><meta charset=\"windows-1252\"></head><body>\n";
  for (const std::string& page : pages)
    frames += "<iframe width=\"800\" height=\"600\" srcdoc=\"" + AttributeText(page) + "\"></iframe>\n";
  frames += kTextReport;
  frames += "</body></html>\n";
  {
    std::ofstream f(dir + "/frames.htm", std::ios::binary);
    f << frames;
  }
  std::vector<std::string> texts(pages.size());
  std::string report;
  if (!testsupport::FindReport(testsupport::DumpDom(dir + "/frames.htm", dir + "/profile", 10000), "TEXTE", report))
    return texts;
  std::istringstream list(report);
  std::string item;
  for (size_t k = 0; k < texts.size() && list >> item; ++k) texts[k] = PercentDecoded(item);
  return texts;
}

// Blank lines between blocks follow the blocks' margins, which the Center option changes on
// purpose (a centred paragraph becomes a <center> block): a run of line breaks counts as one.
std::string OneBreakPerRun(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\n' || out.empty() || out.back() != '\n') out += c;
  return out;
}

TEST(CompressorInBrowser, CompressedPagesShowTheSameText) {
  ASSERT_TRUE(testsupport::ChromiumInstalled())
      << "chromium fehlt (Debian-Paket chromium; tools/setup/setup.sh installiert es)";
  const std::vector<std::string> names = {"seite.htm",         "inline/rezept.htm",  "inline/lebenslauf.htm",
                                          "inline/neuigkeiten.htm", "inline/gedicht.htm", "inline/quillet.htm"};
  // The options of the compressor window: all on but BlockquoteToUl.
  const THTMLCompressOptions window;
  std::vector<std::string> pages;
  for (const std::string& name : names) {
    std::string page = ReadFile(kFixtures + name);
    ASSERT_FALSE(page.empty()) << name;
    std::string packed = CompressHTMLString(page, window);
    ASSERT_LT(packed.size(), page.size()) << name;
    pages.push_back(page);
    pages.push_back(packed);
  }
  const std::vector<std::string> texts = RenderedTexts(pages);
  for (size_t k = 0; k < names.size(); ++k) {
    const std::string& original = texts[2 * k];
    ASSERT_FALSE(original.empty()) << "keine Antwort vom Browser: " << names[k];
    EXPECT_EQ(OneBreakPerRun(texts[2 * k + 1]), OneBreakPerRun(original)) << names[k];
  }
}

}  // namespace
