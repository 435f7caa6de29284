// Extracting a 100 MB archive with the installer's archive walk (natively) against Info-ZIP's
// unzip on the same archive. The archive is made at run time in a temporary folder from mixed
// data (text that compresses well next to bytes that do not) by Info-ZIP's zip; both extractions
// are checked against each other before the times count.
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "bench_timing.h"
#include "crc32.h"
#include "native_tree.h"
#include "posix_host.h"
#include "zip_walker.h"

using namespace vexel_test;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  vexel::BuildCrcTable();
  const std::string root = MakeTempFolder();
  if (root.empty()) return 1;
  const size_t kFiles = 20, kFileSize = 5u << 20;  // 100 MB
  for (size_t i = 0; i < kFiles; ++i)
    WriteFile(root + "/src/DATEN/Teil" + std::to_string(i) + ".bin", MixedData(kFileSize, (unsigned)i + 1));
  if (Shell("cd '" + root + "/src' && zip -q -r -6 ../archiv.zip DATEN") != 0) {
    fprintf(stderr, "bench_unzip: zip fehlt oder ist fehlgeschlagen\n");
    RemoveTree(root);
    return 1;
  }
  const std::string zip = root + "/archiv.zip";

  // Best of three runs each, alternating.
  double ours = 1e9, peer = 1e9;
  bool same = true;
  for (int round = 0; round < 3; ++round) {
    RemoveTree(root + "/ours");
    auto t = std::chrono::steady_clock::now();
    {
      vexel::PosixHost host(zip);
      vexel::PasswordStore password = {};
      const std::string target = root + "/ours";
      const vexel::WalkOptions options = {0, target.c_str(), &password};
      vexel::WalkArchive(host, options, true);
      host.overwriteMode = 0;
      if (!vexel::WalkArchive(host, options, false)) same = false;
    }
    const double o = Seconds(t);
    RemoveTree(root + "/peer");
    t = std::chrono::steady_clock::now();
    if (Shell("unzip -q -o '" + zip + "' -d '" + root + "/peer'") != 0) same = false;
    const double p = Seconds(t);
    if (o < ours) ours = o;
    if (p < peer) peer = p;
  }
  if (Tree(root + "/ours") != Tree(root + "/peer")) same = false;
  FILE* f = fopen(zip.c_str(), "rb");
  long zipSize = 0;
  if (f) {
    fseek(f, 0, SEEK_END);
    zipSize = ftell(f);
    fclose(f);
  }
  RemoveTree(root);
  printf("Archiv: %zu MB in %zu Dateien, gepackt %.1f MB\n", kFiles * kFileSize >> 20, kFiles, zipSize / 1048576.0);
  printf("Vexel-Entpacker  %7.3f s  %7.1f MB/s\n", ours, (kFiles * kFileSize >> 20) / ours);
  printf("unzip            %7.3f s  %7.1f MB/s\n", peer, (kFiles * kFileSize >> 20) / peer);
  printf("Verhältnis Vexel/unzip: %.2f\n", ours / peer);
  bench::Row("unzip of 100 MB", "Info-ZIP unzip", peer / ours, 1.0);
  if (!same) {
    printf("FEHLER: die beiden Ergebnisse unterscheiden sich\n");
    return 1;
  }
  return 0;
}
