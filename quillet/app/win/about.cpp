#include "about.h"

#include "commands.h"
#include "pagelogic.h"

namespace {
char ThousandSeparator() {
  char buf[8] = {};
  return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, sizeof buf) > 1 ? buf[0] : '.';
}
}  // namespace

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
  SetCaption("Info");
  SetBorderStyle(fbDialog);
  SetPosition(poScreenCenter);
  SetClientSize(300, 200);
  auto label = [this](int y, const String& text, bool bold) {
    auto* l = new TLabel(this);
    l->SetBounds(16, y, 270, 18);
    l->SetCaption(text);
    if (bold) l->Font()->SetStyle(TFontStyles(fsBold));
    l->SetParent(this);
    return l;
  };
  label(14, "Quillet", true);
  label(34, "Version 1.6", false);
  label(54, "HTML Editor von Astrel", false);
  // The extended call: the plain one caps the figure at 2 GB for a 32-bit program.
  MEMORYSTATUSEX ms = {};
  ms.dwLength = sizeof ms;
  GlobalMemoryStatusEx(&ms);
  const char sep = ThousandSeparator();
  label(88, "Physikalischer Speicher:", false);
  Memory = label(106, GroupDigits(uint64_t(ms.ullTotalPhys) / 1024, sep) + "  KB ", false);
  Memory->SetControlId(AB_MEMORY);
  ULARGE_INTEGER freeBytes = {}, total = {}, totalFree = {};
  GetDiskFreeSpaceExA(nullptr, &freeBytes, &total, &totalFree);
  label(128, "Freier Speicher auf dem Laufwerk:", false);
  Disk = label(146, GroupDigits(freeBytes.QuadPart, sep) + "  Byte", false);
  Disk->SetControlId(AB_DISK);
  OKButton = new TButton(this);
  OKButton->SetCaption("OK");
  OKButton->Default = true;
  OKButton->ModalResult = mrOk;
  OKButton->SetBounds(112, 170, 75, 25);
  OKButton->SetParent(this);
}
