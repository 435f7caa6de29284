// A download cut off by the end of the program leaves its temporary; the next start removes it
// and nothing else.
#include <gtest/gtest.h>

#include "DownloadFiles.h"
#include "TestSupport.h"

namespace {

class DownloadFilesTest : public TariffTest {};

TEST_F(DownloadFilesTest, TheTemporariesOfCutDownloadsAreRemovedAtStart) {
  const char* stale[] = {"ServerInfo.sic.sic", "tarif.sic.sic", "banner.gif.sic", "ServerInfo.sic.1234.sic",
                         "tarif.sic.4294967295.sic", "BANNER.GIF.77.SIC"};
  const char* kept[] = {"ServerInfo.dat", "ServerInfo.sic", "tarif.dat", "tarif.sic", "rechnung.gif",
                        "Corva.sic", "free.log", "rechnung.log", "tarif.sic.12a.sic", "tarif.sic..sic",
                        "free.log.1234.sic", "tarif.sic.12345678901.sic"};
  std::vector<CString> names;
  for (const char* name : kept) WriteFile(name, "ganz");
  for (const char* name : stale) WriteFile(name, "halb");
  for (const char* name : kept) names.push_back(name);
  for (const char* name : stale) names.push_back(name);
  const CString folder = Dir().c_str();
  EXPECT_EQ(RemoveStaleDownloadTemporaries(folder, names), 6);
  for (const char* name : stale) EXPECT_FALSE(FileExists(name)) << name;
  for (const char* name : kept) EXPECT_EQ(ReadFile(name), "ganz") << name;
  EXPECT_EQ(RemoveStaleDownloadTemporaries(folder, names), 0);
}

}  // namespace
