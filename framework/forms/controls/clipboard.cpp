#include "clipboard.h"

#include <cstring>

namespace {

// Another program may hold the clipboard for a moment: try a few times.
bool Open(HWND owner) {
  for (int i = 0; i < 10; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

bool TClipboard::GetText(String& text, HWND owner) {
  text.clear();
  if (!Open(owner)) return false;
  bool ok = false;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    const SIZE_T size = GlobalSize(h);
    if (size > 0) {
      if (const char* p = static_cast<const char*>(GlobalLock(h))) {
        const void* nul = std::memchr(p, 0, size);
        text.assign(p, nul ? static_cast<const char*>(nul) : p + size);
        GlobalUnlock(h);
        ok = true;
      }
    }
  }
  CloseClipboard();
  return ok;
}

bool TClipboard::SetText(const String& text, HWND owner) {
  if (!Open(owner)) return false;
  EmptyClipboard();
  bool ok = false;
  if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (char* p = static_cast<char*>(GlobalLock(h))) {
      std::memcpy(p, text.data(), text.size());
      p[text.size()] = 0;
      GlobalUnlock(h);
      ok = SetClipboardData(CF_TEXT, h) != nullptr;
    }
    if (!ok) GlobalFree(h);
  }
  CloseClipboard();
  return ok;
}
