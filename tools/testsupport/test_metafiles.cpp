#include "test_metafiles.h"

#include <windows.h>

#include <cstdint>

#include "test_files.h"

namespace testsupport {

std::string WriteRedWmf(const std::string& path, int redWidth, bool placeable, WmfSize size) {
  HDC dc = CreateMetaFileA(nullptr);
  const int unit = size == WmfSize::WindowExtent ? 1 : 15;
  if (size == WmfSize::WindowExtent) SetWindowExtEx(dc, 400, 200, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(dc, red);
  SelectObject(dc, GetStockObject(NULL_PEN));
  // Without a pen the rectangle leaves its right and bottom edges out: one more on each side.
  Rectangle(dc, 0, 0, redWidth * unit + 1, 200 * unit + 1);
  SelectObject(dc, old);
  DeleteObject(red);
  HMETAFILE wmf = CloseMetaFile(dc);
  std::string bytes(GetMetaFileBitsEx(wmf, 0, nullptr), '\0');
  GetMetaFileBitsEx(wmf, UINT(bytes.size()), &bytes[0]);
  DeleteMetaFile(wmf);
  std::string head;
  if (placeable) {
    // Key, handle, left, top, right, bottom, units per inch, reserved (2 words), checksum.
    const uint16_t words[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 400 * 15, 200 * 15, 1440, 0, 0};
    uint16_t sum = 0;
    for (uint16_t w : words) sum ^= w, head += char(w & 255), head += char(w >> 8);
    head += char(sum & 255), head += char(sum >> 8);
  }
  WriteFileBytes(path, head + bytes);
  return path;
}

std::string WriteRedEmf(const std::string& path, int redWidth, int width, int height) {
  RECT frame = {0, 0, MulDiv(width, 2540, 96), MulDiv(height, 2540, 96)};
  HDC ref = GetDC(nullptr);
  HDC dc = CreateEnhMetaFileA(ref, path.c_str(), &frame, nullptr);
  ReleaseDC(nullptr, ref);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT part = {0, 0, redWidth, height};
  FillRect(dc, &part, red);
  DeleteObject(red);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
  return path;
}

}  // namespace testsupport
