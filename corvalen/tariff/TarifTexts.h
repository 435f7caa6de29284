// Texts of the tariff and cost engine: the string-table entries it shows or writes (with their
// ids, so the program's resources can carry the same texts) and the built-in default provider.
#pragma once

// String-table ids and texts.
const unsigned kIdsTitle = 138;
const char kTitle[] = "Astrel Corvalen 2.0";
const unsigned kIdsTitleShort = 5104;
const char kTitleShort[] = "Corvalen 2.0";
const unsigned kIdsHolidaysUnreadable = 5117;
const char kHolidaysUnreadable[] =
    "Die Feiertagsliste konnte nicht gelesen werden.\nBitte starten Sie die Reparaturroutine der "
    "Installation.";
const unsigned kIdsTarifUnreadable = 5118;
const char kTarifUnreadable[] =
    "Die Tarifinformationen konnten nicht korrekt gelesen werden.\nBitte starten Sie die "
    "Reparaturroutine der Installation und\nstarten danach den Download für eine aktuelle "
    "Tarifliste.";
// A tariff file with more providers than CTarifDatabase::kMaxProviders (no string-table entry of
// its own: the engine shows it as it stands).
const char kTarifTooManyProviders[] =
    "Die Tarifinformationen enthalten mehr als 1000 Anbieter und werden nicht geladen:\nSo viele "
    "Anbieter kann Corvalen nicht jede Minute neu vergleichen.\nBitte starten Sie den Download für "
    "eine aktuelle Tarifliste.";
const unsigned kIdsDefaultProviderInfo = 5120;
const char kDefaultProviderInfo[] = "Dies ist ein Default-Provider, Verbindungspreise ohne Gewähr! ";
const char kBillUnreadable[] = "Ihre Rechnungsdaten konnten nicht korrekt gelesen werden!";
const char kSaveFailed[] =
    "Die Datei %s kann nicht gespeichert werden.\nDer Datenträger ist voll, oder die Datei ist "
    "schreibgeschützt oder wird von einem anderen Programm verwendet.";
const unsigned kIdsScreenCss = 5555;
const char kScreenCss[] = "#Print {display:none;}\n#NoPrint {}";
const unsigned kIdsPrintCss = 5556;
const char kPrintCss[] = "#Print {}\n#NoPrint {display:none;}";

// The built-in default provider: the current provider until the user chooses one, and the
// source of the fallback provider when the tariff file cannot be read.
const char kDefaultProviderId[] = "id-10034";
const char kDefaultProviderNumber[] = "01019080";
const char kDefaultProviderLogin[] = "QZJ";
const char kDefaultProviderName[] = "Corvalen Standard";

// The maker's web portal, the first address of the day.
const char kPortalUrl[] = "http://www.astrel.de/";
