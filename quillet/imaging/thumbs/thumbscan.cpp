#include "thumbscan.h"

#include "findfiles.h"

void ScanPictureFolder(const String& Folder, const TFrameCounter& Frames, TStringList& Scanned, TStringList& Sorted) {
  Scanned.Clear();
  Sorted.Clear();
  if (!DirectoryExists(Folder)) return;
  const String dir = IncludeTrailingBackslash(Folder);
  static const char* const kPatterns[] = {"*.PNG", "*.BMP", "*.JPG", "*.WMF", "*.EMF", "*.ico", "*.gif"};
  for (const char* pattern : kPatterns) {
    for (const TSearchRec& rec : FindFiles(dir, pattern)) {
      if (rec.Attr & (faDirectory | faHidden | faSysFile)) continue;
      const String name = dir + rec.Name;
      if (LowerCase(ExtractFileExt(rec.Name)) == ".gif" && Frames) {
        int frames = 1;
        try {
          frames = Frames(name);
        } catch (const std::exception&) {
          frames = 1;
        }
        if (frames > 1) continue;
      }
      Scanned.Add(name);
      Sorted.Add(name);
    }
  }
  Sorted.Sort();
}
