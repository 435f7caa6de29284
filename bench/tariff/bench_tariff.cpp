// The tariff engine's work that a user notices: the ranking the main dialog refreshes every
// minute (300 providers with five rules each) and reading a 2 MB tariff file at start and after
// an update. There is no peer program for these; the figures are absolute, with the share of
// the file read that is expat's own parsing for comparison.
#include <chrono>
#include <cstdio>
#include <expat.h>
#include <filesystem>
#include <string>

#include "CFile.h"
#include "ProviderListText.h"
#include "bench_timing.h"
#include "Settings.h"
#include "TarifClock.h"
#include "TarifManager.h"
#include "TarifScramble.h"

namespace {
double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// One provider with five rules; `infoBytes` more of information text make it as long as a real
// provider's entry (300 providers are 2 MB).
std::string ProviderXml(int i, size_t infoBytes = 0) {
  std::string id = "p" + std::to_string(i);
  std::string s = "<Provider id=\"" + id + "\" active=\"j\"><name>Anbieter " + std::to_string(i) +
                  "</name><telefonnummer>0193" + std::to_string(1000 + i) +
                  "</telefonnummer><info>Tarif &amp; Info " + std::to_string(i) + std::string(infoBytes, 'x') + "</info>"
                  "<set a=\"takt\" b=\"" + std::string(i % 3 ? "60" : "1") + "\" c=\"preis\" d=\"" +
                  std::to_string(1.0 + (i % 17) * 0.1) + "\"/>";
  s += "<rule><in-range v=\"minute.tag\" r=\"480-1079\"/><in-range v=\"tag.woche\" r=\"1-5\"/>"
       "<set a=\"preis\" b=\"1.9\"/></rule>";
  s += "<rule><or><eq v=\"feiertag\" o=\"J\"/><eq v=\"tag.woche\" o=\"6\"/></or><set a=\"preis\" b=\"1.2\"/></rule>";
  s += "<rule><in-range v=\"stunde.tag\" r=\"22-,-5\"/><set a=\"preis\" b=\"0.99\"/></rule>";
  s += "<rule><not><lt v=\"anrufe.monat\" o=\"10\"/></not><set a=\"pfgeinwahl\" b=\"0\"/></rule>";
  s += "<rule><lt v=\"online.monat\" o=\"60\"/><ge v=\"datum.iso\" o=\"20260101\"/><set a=\"freimin\" b=\"5\"/></rule>";
  return s + "</Provider>\n";
}

// The minute's refresh of the main dialog's list: a ranking for the moment and the text of every
// item of the usable list.
void Refresh(CTarifManager& manager) {
  int changes = 0;
  const CProviderArray& usable = manager.Recompute(&changes, nullptr).GetUsable();
  size_t chars = 0;
  for (int i = 0; i < usable.GetSize(); ++i) chars += static_cast<size_t>(ProviderItemText(*usable[i]).GetLength());
  if (chars == 0) std::printf("FEHLER: leere Liste\n");
}

// A database of `count` providers read into the manager's database a thousand at a time (one
// tariff file is refused beyond CTarifDatabase::kMaxProviders; the ranking must scale beyond it).
void Fill(CTarifManager& manager, int count) {
  CTarifDatabase& db = manager.GetDatabase();
  db.RemoveAllProviders();
  for (int from = 0; from < count; from += CTarifDatabase::kMaxProviders) {
    std::string part = "<Providerliste>";
    for (int i = from; i < count && i < from + CTarifDatabase::kMaxProviders; ++i) part += ProviderXml(i);
    part += "</Providerliste>";
    db.ParseBuffer(part.data(), part.size());
  }
  db.SortActiveByName();
}

void NoStart(void*, const char*, const char**) {}
void NoEnd(void*, const char*) {}
}  // namespace

int main() {
  const std::string dir = (std::filesystem::temp_directory_path() / "bench_tariff").string();
  std::filesystem::create_directories(dir);
  SetFixedNow(COleDateTime(2026, 3, 4, 13, 30, 0));
  RegKey k = 0;
  CRegistryBackend& reg = GetRegistryBackend();
  reg.CreateKey(kRegLocalMachine, "Software\\ASTREL\\Corvalen2.0", &k);
  reg.SetString(k, "PATH", dir.data(), static_cast<DWORD>(dir.size()));
  reg.CloseKey(k);
  WriteWholeFile((dir + "/Feiertags.dat").c_str(), "<F><feiertag d=\"20260406\"/></F>");

  auto writeTarif = [&](int providers, size_t minBytes) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Providerliste version=\"1\">\n";
    for (int i = 0; i < providers || xml.size() < minBytes; ++i) xml += ProviderXml(i, minBytes ? 6000 : 0);
    xml += "</Providerliste>\n";
    std::string stored = xml;
    ScrambleTarif(reinterpret_cast<unsigned char*>(&stored[0]), stored.size());
    WriteWholeFile((dir + "/tarif.dat").c_str(), stored);
    return xml;
  };

  // Ranking: 300 providers, five rules each.
  writeTarif(300, 0);
  CSettings settings;
  CTarifManager manager;
  manager.Init(&settings, nullptr);
  int changes = 0;
  const int rounds = 200;
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) manager.Recompute(&changes, nullptr);
  double rank = Seconds(std::chrono::steady_clock::now() - t0) / rounds;
  std::printf("ranking of %d providers (5 rules each): %.3f ms per ranking\n", manager.GetRanking().GetSize(),
              rank * 1e3);

  // The minute's refresh (ranking and list texts) of 25,000 providers against that of 300, per
  // provider, in turns: a step that grows faster than the list (the ranking once inserted each
  // provider into an array, moving the half behind it) pulls the ratio far below 1.
  {
    CTarifManager small, large;
    small.Init(&settings, nullptr);
    large.Init(&settings, nullptr);
    Fill(small, 300);
    Fill(large, 25000);
    double ours = 0, peer = 0;
    bench::BestSecondsPerCallInTurns([&] { Refresh(large); }, [&] { Refresh(small); }, ours, peer);
    const double perLarge = ours / 25000, perSmall = peer / 300;
    CTarifManager limit;
    limit.Init(&settings, nullptr);
    Fill(limit, CTarifDatabase::kMaxProviders);
    const double atLimit = bench::BestSecondsPerCall([&] { Refresh(limit); });
    std::printf("minute's refresh (ranking and list texts): 300 providers %.2f ms, %d (the limit of a tariff "
                "file) %.2f ms, 25,000 %.1f ms; per provider %.2f us against %.2f us\n",
                peer * 1e3, CTarifDatabase::kMaxProviders, atLimit * 1e3, ours * 1e3, perLarge * 1e6, perSmall * 1e6);
    bench::Row("minute's refresh, 25,000 providers per provider against 300", "itself", perSmall / perLarge, 0.4);
  }

  // Loading a 2 MB tariff file: unscramble, parse, build the records; against expat alone.
  std::string xml = writeTarif(0, 2 * 1024 * 1024);
  const int loads = 10;
  t0 = std::chrono::steady_clock::now();
  int count = 0;
  for (int i = 0; i < loads; ++i) {
    CTarifManager m;
    m.Init(&settings, nullptr);
    count = m.GetDatabase().GetCount();
  }
  double load = Seconds(std::chrono::steady_clock::now() - t0) / loads;
  t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < loads; ++i) {
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetElementHandler(p, NoStart, NoEnd);
    XML_Parse(p, xml.data(), static_cast<int>(xml.size()), 0);
    XML_ParserFree(p);
  }
  double expatOnly = Seconds(std::chrono::steady_clock::now() - t0) / loads;
  std::printf("loading a %.1f MB tariff file (%d providers): %.1f ms; expat alone %.1f ms; ratio %.2f\n",
              xml.size() / 1048576.0, count, load * 1e3, expatOnly * 1e3, load / expatOnly);
  std::filesystem::remove_all(dir);
  return 0;
}
