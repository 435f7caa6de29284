// TAboutBox: the info box with the product texts, the physical memory and the free space of
// the current drive.
#pragma once

#include "forms.h"
#include "stdctrls.h"

class TAboutBox : public TForm {
public:
  explicit TAboutBox(TComponent* AOwner);
  const char* ClassName() const override { return "TAboutBox"; }
  TLabel *Memory, *Disk;
  TButton* OKButton;
};
