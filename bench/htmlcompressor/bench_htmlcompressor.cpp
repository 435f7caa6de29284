// The HTML compressor with every option on, on a page of about 5 MB made at run time (a table-
// and text-heavy page with the usual line breaks, indentation, quoted attributes, scripts and
// preformatted blocks). Prints the time and the throughput for the large page and for one of
// 50 KB: the compressor takes time in proportion to the page, so both rates must be about the
// same. For contrast the plain reading of the passes, which moves the rest of the text at every
// replacement, runs on pages of 50 KB and 200 KB (its time grows with the square of the size).
#include "bench_children.h"
#include "bench_timing.h"
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "compresspasses.h"
#include "htmlcompressor.h"
#include "reference_compressor.h"

namespace {

using bench::ChildSeconds;
using bench::Seconds;

std::string MakePage(size_t bytes) {
  static const char* const block[] = {
      "<table border=\"1\" width=\"100%\" cellpadding=\"2\">\r\n",
      "  <tr>\r\n",
      "    <td width=\"30%\"><font face=\"comic sans MS\" size=\"2\"><STRONG>Eintrag</STRONG></font></td>\r\n",
      "    <td>  <a href=\"seite.htm\">Weiter</a>   </td>\r\n",
      "  </tr>\r\n",
      "</table>\r\n",
      "<p align=\"center\"><img src=\"bild.gif\" alt=\"Ein Bild\" width=\"100\" height=\"80\"></p>\r\n",
      "<p>Wir   treffen uns <em>jeden</em> Dienstag\r\n",
      "im Vereinsheim.    Die Mitgliedschaft kostet <strike>10</strike> 8 Mark.</p>\r\n",
      "\r\n",
      "<blockquote>Ein Zitat</blockquote>\r\n",
      "<!--webbot bot=\"Timestamp\" S-Type=\"EDITED\" startspan -->10.12.2026<!--webbot bot=\"Timestamp\" endspan -->\r\n",
      "<pre>\r\n  Zeit    Ort\r\n  19:00   \"Krone\"\r\n</pre>\r\n",
      "<script language=\"JavaScript\">\r\n  document.write(\"<p align=center>Hallo</p>\");\r\n</script>\r\n",
      "<ul>\r\n  <li><a href=\"a.htm\" onMouseOver=\"status='A'\">A</a>\r\n  <li>B\r\n</ul>\r\n",
  };
  std::string page = "<html>\r\n<head><title>Gro\xDF" "e Seite</title></head>\r\n<body bgcolor=\"#FFFFFF\">\r\n";
  while (page.size() < bytes)
    for (const char* line : block) page += line;
  page += "</body>\r\n</html>\r\n";
  return page;
}

THTMLCompressOptions AllOptions() {
  THTMLCompressOptions o;
  o.BlockquoteToUl = true;
  return o;
}

// Best of a few runs: the compressor's time and the resulting size.
double TimeCompressor(const std::string& page, int runs, size_t& outSize) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    std::string copy = page;
    double t = Seconds([&] { outSize = CompressHTMLText(&copy[0], copy.size(), AllOptions()); });
    if (t < best) best = t;
  }
  return best;
}

// The whole job as the compressor window does it: load the page, compress, save the result.
double TimeLoadCompressSave(const std::string& in, const std::string& out, int runs) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    THTMLCompressor c(nullptr);
    c.SetBlockquoteToUl(true);
    double t = Seconds([&] {
      c.LoadFromFile(in);
      c.Compress();
      c.SaveToFile(out);
    });
    if (t < best) best = t;
  }
  return best;
}

}  // namespace

int main() {
  const double MB = 1024.0 * 1024.0;
  const std::string large = MakePage(5 * 1024 * 1024), small = MakePage(50 * 1024);
  size_t largeOut = 0, smallOut = 0;
  const double tLarge = TimeCompressor(large, 3, largeOut);
  const double tSmall = TimeCompressor(small, 20, smallOut);
  std::printf("Kompressor, Seite %.2f MB: %.3f s, %.1f MB/s (Ergebnis %.1f %% der Seite)\n", large.size() / MB, tLarge,
              large.size() / MB / tLarge, 100.0 * largeOut / large.size());
  std::printf("Kompressor, Seite %.2f MB: %.4f s, %.1f MB/s\n", small.size() / MB, tSmall, small.size() / MB / tSmall);
  const double ratio = (small.size() / tSmall) / (large.size() / tLarge);
  std::printf("Durchsatz 50 KB / 5 MB: %.2f (linear: um 1)\n", ratio);

  // Against minify on the same page, both doing the whole job from file to file. minify is a
  // process of its own (its processor time is measured, all its threads together).
  const std::string dir = "/tmp/bench_htmlcompressor_" + std::to_string(getpid());
  if (std::system(("mkdir -p " + dir).c_str()) == 0) {
    if (std::FILE* f = std::fopen((dir + "/seite.htm").c_str(), "wb")) {
      std::fwrite(large.data(), 1, large.size(), f);
      std::fclose(f);
    }
    const double ours = TimeLoadCompressSave(dir + "/seite.htm", dir + "/ours.htm", 5);
    const double minify = ChildSeconds("minify --type=html -o " + dir + "/minify.htm " + dir + "/seite.htm", 5);
    if (minify > 0) {
      std::printf("Laden, komprimieren, speichern 5 MB: %.3f s, minify %.3f s\n", ours, minify);
      bench::Row("HTML compressor, 5 MB page", "minify", minify / ours, 2.0);
    } else {
      std::printf("minify fehlt\n");
    }
    if (std::system(("rm -rf " + dir).c_str()) != 0) return 1;
  }

  // The plain reading: same result, time growing with the square of the page.
  const std::string mid = MakePage(200 * 1024);
  std::string refSmall, refMid;
  const double rSmall = Seconds([&] { refSmall = ReferenceCompressHTML(small, AllOptions()); });
  const double rMid = Seconds([&] { refMid = ReferenceCompressHTML(mid, AllOptions()); });
  std::string fastMid = mid;
  fastMid.resize(CompressHTMLText(&fastMid[0], fastMid.size(), AllOptions()));
  const bool same = refSmall.size() == smallOut && refMid == fastMid;
  std::printf("Einfache Lesart (Rest verschieben), 50 KB: %.3f s, 200 KB: %.3f s (Faktor %.1f bei vierfacher Gr\xF6\xDF" "e)%s\n",
              rSmall, rMid, rMid / rSmall, same ? "" : "  ERGEBNIS WEICHT AB");
  std::printf("Hochgerechnet auf 5 MB: einfache Lesart etwa %.0f s, Kompressor %.3f s\n",
              rMid * (large.size() / double(mid.size())) * (large.size() / double(mid.size())), tLarge);
  return same ? 0 : 1;
}
