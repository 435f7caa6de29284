// The folder picker's status text, shortened to fit with a fake width of 1 per character.
#include <gtest/gtest.h>

#include "statusfit.h"

namespace {
int CharCount(const String& Text) { return int(Text.size()); }
}  // namespace

TEST(StatusFit, PathsLoseWholeFoldersFromTheLeft) {
  const String path = "C:\\Programme\\Firma\\Werkzeuge\\Bilder";
  struct Case { int width; const char* fitted; } cases[] = {
      {99, "C:\\Programme\\Firma\\Werkzeuge\\Bilder"},
      {35, "C:\\Programme\\Firma\\Werkzeuge\\Bilder"},
      {34, "C:\\...\\Firma\\Werkzeuge\\Bilder"},
      {29, "C:\\...\\Firma\\Werkzeuge\\Bilder"},
      {28, "C:\\...\\Werkzeuge\\Bilder"},
      {23, "C:\\...\\Werkzeuge\\Bilder"},
      {22, "C:\\...\\Bilder"},
      {13, "C:\\...\\Bilder"},
      {12, "...\\Bilder"},
      {9, "Bilder"},
      {2, "Bilder"},  // nothing left to take away
  };
  for (const Case& c : cases) EXPECT_EQ(FitStatusText(path, true, CharCount, c.width), c.fitted) << c.width;
  EXPECT_EQ(FitStatusText("\\\\server\\share\\bilder", true, CharCount, 16), "\\...\\bilder");
  // A folder part of a lone backslash cannot lose a level: the drive goes, then the fitting ends.
  EXPECT_EQ(FitStatusText("C:\\", true, CharCount, 2), "\\");
  EXPECT_EQ(FitStatusText("\\", true, CharCount, 0), "\\");
}

TEST(StatusFit, OtherTextsEndInDots) {
  struct Case { const char* text; int width; const char* fitted; } cases[] = {
      {"Arbeitsplatz", 20, "Arbeitsplatz"},
      {"Arbeitsplatz", 12, "Arbeitsplatz"},
      {"Arbeitsplatz", 11, "Arbeitsp..."},
      {"Arbeitsplatz", 4, "A..."},
      {"Arbeitsplatz", 1, "..."},
      {"", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FitStatusText(c.text, false, CharCount, c.width), c.fitted) << c.width;
}
