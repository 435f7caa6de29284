#include "statusfit.h"

namespace {
String FitPath(const String& Text, const TTextWidth& Width, int MaxWidth) {
  String drive, rest = Text;
  if (Text.size() >= 2 && Text[1] == ':') {
    drive = Text.substr(0, 2);
    rest = Text.substr(2);
  }
  const String file = ExtractFileName(rest);
  String folder = rest.substr(0, rest.size() - file.size());
  while ((!drive.empty() || !folder.empty()) && Width(drive + folder + file) > MaxWidth) {
    const String before = folder;
    if (folder == "\\...\\") {
      folder = "...\\";
      drive.clear();
    } else if (!folder.empty()) {
      String lead;
      if (folder[0] == '\\') {
        lead = "\\";
        folder.erase(0, 1);
      }
      if (folder.compare(0, 4, "...\\") == 0) folder.erase(0, 4);
      const size_t slash = folder.find('\\');
      folder = slash == String::npos ? String() : "...\\" + folder.substr(slash + 1);
      folder = lead + folder;
      // A lone backslash has no level to lose: the drive goes instead, and without one the
      // text is as short as it gets.
      if (folder == before) {
        if (drive.empty()) break;
        drive.clear();
      }
    } else {
      drive.clear();
    }
  }
  return drive + folder + file;
}
}  // namespace

String FitStatusText(const String& Text, bool IsPath, const TTextWidth& Width, int MaxWidth) {
  if (IsPath) return FitPath(Text, Width, MaxWidth);
  if (Width(Text) <= MaxWidth) return Text;
  // The beginning shrinks by one character per step, always with the same three dots behind it
  // (adding dots to an already shortened text would only make it grow).
  String head = Text;
  while (!head.empty()) {
    head.pop_back();
    if (Width(head + "...") <= MaxWidth) break;
  }
  return head + "...";
}
