// A download cut off by the end of the program leaves its temporary; the next start removes it
// and nothing else.
#include <gtest/gtest.h>

#include "DownloadFiles.h"
#include "TestSupport.h"

namespace {

class DownloadFilesTest : public TariffTest {};

TEST_F(DownloadFilesTest, TheTemporariesOfCutDownloadsAreRemovedAtStart) {
  const char* stale[] = {"ServerInfo.sic.sic", "tarif.sic.sic", "banner.gif.sic"};
  const char* kept[] = {"ServerInfo.dat", "ServerInfo.sic", "tarif.dat", "tarif.sic", "rechnung.gif",
                        "Corva.sic", "free.log", "rechnung.log"};
  // (each written through a temporary of its own name with ".sic": the kept ones first)
  for (const char* name : kept) WriteFile(name, "ganz");
  for (const char* name : stale) WriteFile(name, "halb");
  const CString folder = Dir().c_str();
  EXPECT_EQ(RemoveStaleDownloadTemporaries(folder), 3);
  for (const char* name : stale) EXPECT_FALSE(FileExists(name)) << name;
  for (const char* name : kept) EXPECT_EQ(ReadFile(name), "ganz") << name;
  EXPECT_EQ(RemoveStaleDownloadTemporaries(folder), 0);
}

}  // namespace
