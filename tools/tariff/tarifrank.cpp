// tarifrank: the ranking of Corvalen for a data folder and a moment, with prices, as the main
// dialog would list it. How a tariff maintainer checks a file before it is published.
//   tarifrank <folder> [YYYY-MM-DD [HH:MM[:SS]]] [--filter 010011] [--hide id<id] [--show id<id]
// The folder holds tarif.dat and Feiertags.dat (and free.log, if usage counts shall apply).
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "Cp1252.h"
#include "Settings.h"
#include "TarifClock.h"
#include "TarifManager.h"
#include "TarifUi.h"

namespace {
// The tool's texts and the tariff data are code page 1252; a terminal whose character set is
// UTF-8 (the locale says so) gets them converted.
bool g_utf8 = false;

void Print(FILE* to, const char* format, ...) {
  char buf[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  std::fputs(g_utf8 ? Cp1252ToUtf8(buf).c_str() : buf, to);
}

bool LocaleIsUtf8() {
  const char* name = std::setlocale(LC_CTYPE, "");
  std::string n = name ? name : "";
  std::setlocale(LC_CTYPE, "C");  // the tool's own text handling stays byte by byte
  for (char& c : n) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return n.find("utf-8") != std::string::npos || n.find("utf8") != std::string::npos;
}

struct ConsoleUi : CTarifUi {
  void ShowError(const char* text, const char* title) override { Print(stderr, "%s: %s\n", title, text); }
  bool OpenDocument(const char*) override { return false; }
};

void Usage() {
  Print(stderr,
               "Aufruf: tarifrank <Datenordner> [JJJJ-MM-TT [HH:MM[:SS]]] [--filter 010011]\n"
               "                  [--hide id<id] [--show id<id]\n");
}
}  // namespace

int main(int argc, char** argv) {
  g_utf8 = LocaleIsUtf8();
  if (argc < 2) {
    Usage();
    return 2;
  }
  std::string folder = argv[1];
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  COleDateTime now = COleDateTime::GetCurrentTime();
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  std::string filter, hide, show;
  bool haveDate = false;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--filter" || a == "--hide" || a == "--show") && i + 1 < argc) {
      (a == "--filter" ? filter : a == "--hide" ? hide : show) = argv[++i];
      continue;
    }
    int a1 = 0, a2 = 0, a3 = 0;
    if (!haveDate && std::sscanf(a.c_str(), "%d-%d-%d", &a1, &a2, &a3) == 3) {
      y = a1, mo = a2, d = a3;
      haveDate = true;
    } else if (haveDate && std::sscanf(a.c_str(), "%d:%d:%d", &a1, &a2, &a3) >= 2) {
      h = a1, mi = a2, s = a3;
    } else {
      Usage();
      return 2;
    }
  }
  if (haveDate) {
    now = COleDateTime(y, mo, d, h, mi, s);
    if (now.GetStatus() != COleDateTime::valid) {
      Print(stderr, "tarifrank: kein gültiger Zeitpunkt\n");
      return 2;
    }
  }
  SetFixedNow(now);
  ConsoleUi ui;
  SetTarifUi(&ui);

  // The tool's own settings: the data folder as PATH, the filter as given.
  CSettings settings;
  RegKey k = 0;
  settings.Backend().CreateKey(kRegLocalMachine, "Software\\ASTREL\\Corvalen2.0", &k);
  settings.Backend().SetString(k, "PATH", folder.data(), static_cast<DWORD>(folder.size()));
  settings.Backend().CloseKey(k);
  settings.SetValue("Filter", filter.c_str());
  settings.SetFilterProvider(hide.c_str());
  settings.SetNotInFilterProvider(show.c_str());

  CTarifManager manager;
  manager.Init(&settings, nullptr);
  int changes = 0;
  CProviderRanking& ranking = manager.Recompute(&changes, nullptr);
  COleDateTime today(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
  Print(stdout, "Rangfolge am %s%s, %d Anbieter in der Tarifdatei\n", now.Format("%d.%m.%Y %H:%M:%S").c_str(),
              manager.GetHolidays().IsFeiertag(today) ? " (Feiertag)" : "", manager.GetDatabase().GetCount());
  Print(stdout, "%-4s %-12s %-28s %-10s %6s %8s %8s %8s\n", "Nr", "Kennung", "Name", "Preis", "Takt", "Einwahl",
              "Grundg.", "Freimin");
  for (int i = 0; i < ranking.GetCount(); ++i) {
    const CProvider* p = ranking.GetAt(i);
    // The marker of the provider list: _A login required, _R registered, F free minutes.
    CString marker = p->IsLoginRequired() ? (p->GetRegistrationDate().m_dt != 0 ? "_R" : "_A") : "__";
    if (p->HasFreeMinutes()) marker.SetAt(0, 'F');
    bool usable = ranking.GetUsable().GetSize() > 0 && ranking.FindUsable(p->GetId()) >= 0;
    CString item;
    item.Format("%3s  %2.2f Pfg", marker.c_str(), static_cast<double>(p->GetPrice()));
    Print(stdout, "%-4d %-12s %-28s %-10s %6d %8.2f %8.2f %8d%s\n", i + 1, p->GetId().c_str(), p->GetName().c_str(),
                item.c_str(), p->GetTakt(), static_cast<double>(p->GetDialInFee()),
                static_cast<double>(p->GetBaseFee()), p->GetFreeMinutes(), usable ? "" : "  (ohne Anmeldung nicht w\xE4hlbar)");
  }
  SetTarifUi(nullptr);
  return 0;
}
