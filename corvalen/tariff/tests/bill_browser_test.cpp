// The HTML bill as a user sees it: written beside the pictures that the program ships and opened
// in a real browser (headless Chromium), where every picture it names must load at the size the
// bill gives it.
#include <gtest/gtest.h>

#include <string>

#include "CFile.h"
#include "CostLog.h"
#include "Settings.h"
#include "TestSupport.h"
#include "headless_browser.h"

namespace {

// Lists every picture of the page with its loaded size ("kaputt" when it did not load) in a
// <pre id="bilder">, once the page has loaded; --dump-dom prints the page then. The marker is
// put together in the script, so that only the result matches it, not the script's own text.
const char kPictureCheck[] =
    "<script>\nwindow.addEventListener('load', function () {\n  var out = [];\n"
    "  for (var i = 0; i < document.images.length; i++) {\n    var im = document.images[i];\n"
    "    out.push(im.getAttribute('src') + '=' + (im.complete && im.naturalWidth > 0 ? im.naturalWidth + 'x' +\n"
    "             im.naturalHeight : 'kaputt') + '/' + im.getAttribute('width') + 'x' + im.getAttribute('height'));\n"
    "  }\n  var pre = document.createElement('pre');\n  pre.id = 'bilder';\n"
    "  pre.textContent = 'BIL' + 'DER[' + out.join(' ') + ']';\n  document.body.appendChild(pre);\n});\n</script>\n";

// Lists the left edges (in whole pixels, each once) of every cell whose text is an amount
// ("0.08 DM"): the records' costs and the sums, in a <pre id="spalten">.
const char kAmountColumns[] =
    "<script>\nwindow.addEventListener('load', function () {\n  var lefts = [];\n"
    "  var cells = document.getElementsByTagName('td');\n"
    "  for (var i = 0; i < cells.length; i++) {\n"
    "    if (!/^[0-9]+\\.[0-9]+ DM$/.test(cells[i].textContent.trim())) continue;\n"
    "    var x = Math.round(cells[i].getBoundingClientRect().left);\n"
    "    if (lefts.indexOf(x) < 0) lefts.push(x);\n  }\n"
    "  var pre = document.createElement('pre');\n  pre.id = 'spalten';\n"
    "  pre.textContent = 'SPAL' + 'TEN[' + lefts.join(' ') + ']';\n  document.body.appendChild(pre);\n});\n</script>\n";

class BillBrowserTest : public TariffTest {
 protected:
  // The pictures the browser loaded: "src=WxH/WxH" (loaded size / the size the bill names).
  std::string PicturesInBrowser(const std::string& page) { return InBrowser(page, kPictureCheck, "BILDER"); }
  // The page with `script` added, as the browser has it once loaded: what the script put into
  // `marker`[...].
  std::string InBrowser(const std::string& page, const char* script, const std::string& marker) {
    WriteFile("bill-check.html", ReadFile(page) + script);
    std::string native = CFile::NativePath(PathOf("bill-check.html").c_str());
    std::string profile = CFile::NativePath(PathOf("chromium-profile").c_str());
    std::string report;
    if (!testsupport::FindReport(testsupport::DumpDom(native, profile, 5000), marker, report))
      return "no answer from the browser";
    return report;
  }
};

}  // namespace

TEST_F(BillBrowserTest, EveryPictureOfTheBillLoads) {
  ASSERT_TRUE(testsupport::ChromiumInstalled())
      << "chromium fehlt (Debian-Paket chromium; tools/setup/setup.sh installiert es)";
  // The pictures as the program ships them.
  for (const char* f : {"logo.gif", "rechnung.gif"}) {
    std::string picture = SourceFile(std::string("corvalen/data/") + f);
    ASSERT_FALSE(picture.empty()) << f;
    WriteFile(f, picture);
  }
  WriteFile("rechnung.log",
            "default;3/2/2026 8:0:0;00:01:01;Minute;60;1.49;5.00;0.080;;;0191011;"
            "default;3/3/2026 21:15:30;00:10:00;Sekunde;1;1.20;0.00;0.120;;;0192022;");
  CSettings settings;
  for (BYTE grouped : {0, 1}) {
    CCostLog log(&settings);
    log.SetPlain(grouped);
    ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
    // The partner picture does not ship: without it the bill does not name it.
    EXPECT_EQ(PicturesInBrowser("rechnung.html"), "logo.gif=64x95/64x95 rechnung.gif=468x60/468x60")
        << "grouped " << int(grouped);
  }
}

// Every amount of the bill, the records' costs and the sums alike, stands in the cost column:
// the browser puts all of them at one left edge, in both layouts.
TEST_F(BillBrowserTest, EveryAmountStandsInTheCostColumn) {
  ASSERT_TRUE(testsupport::ChromiumInstalled()) << "chromium fehlt";
  WriteFile("rechnung.log",
            "default;3/2/2026 8:0:0;00:01:01;Minute;60;1.49;5.00;0.080;;;0191011;"
            "default;3/3/2026 21:15:30;10:10:00;Sekunde mit einem langen Namen;1;11.20;0.00;68.320;;;0192022;"
            "default;3/4/2026 9:0:0;00:00:10;Minute;60;1.49;0.00;0.025;;;0191011;");
  CSettings settings;
  for (BYTE grouped : {0, 1}) {
    CCostLog log(&settings);
    log.SetPlain(grouped);
    ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
    const std::string lefts = InBrowser("rechnung.html", kAmountColumns, "SPALTEN");
    EXPECT_FALSE(lefts.empty()) << "grouped " << int(grouped);
    EXPECT_EQ(lefts.find(' '), std::string::npos) << "grouped " << int(grouped) << ": " << lefts;
  }
}
