// The program of the runner's output test (output_test.sh): it writes a file as large as it can,
// up to 1 MB, says how much of it got in, and then prints Lines numbered lines on standard output
// and on standard error, and "Ende" last.
// usage: output_probe.exe LINES
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 0;
  char path[MAX_PATH + 16];
  GetTempPathA(MAX_PATH, path);
  lstrcatA(path, "probe.bin");
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    std::printf("Datei %s kann nicht erstellt werden\n", path);
    return 1;
  }
  static char block[4096];
  DWORD total = 0, written = 0;
  while (total < 1024 * 1024 && WriteFile(f, block, sizeof block, &written, nullptr) && written == sizeof block)
    total += written;
  CloseHandle(f);
  DeleteFileA(path);
  std::printf("Datei: %lu Bytes geschrieben\n", static_cast<unsigned long>(total));
  for (int i = 1; i <= lines; ++i) {
    std::printf("Zeile %06d der Ausgabe eines Tests mit langem Protokoll\n", i);
    std::fprintf(stderr, "Meldung %06d\n", i);
  }
  std::printf("Ende\n");
  return 0;
}
