// A stand-in web browser: writes its arguments (after the program name), joined by "|", as one
// line into "recorder.txt" beside itself, then ends: a path that arrived as two arguments shows.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  std::strcpy(slash ? slash + 1 : path, "recorder.txt");
  std::FILE* f = std::fopen(path, "ab");
  if (!f) return 1;
  for (int i = 1; i < argc; ++i) std::fprintf(f, "%s%s", i > 1 ? "|" : "", argv[i]);
  std::fputs("\r\n", f);
  std::fclose(f);
  return 0;
}
