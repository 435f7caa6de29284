#include "StatusHelper.h"

#include "TarifTexts.h"
#include "WinApp.h"

CString CStatusHelper::GetString(UINT id) const { return AfxLoadString(id); }

LRESULT CStatusHelper::SendToOwner(UINT msg, WPARAM wp, LPARAM lp) const {
  return owner_ ? ::SendMessageA(owner_, msg, wp, lp) : 0;
}

int CStatusHelper::ShowMessage(UINT flags1, UINT flags2) const {
  return ShowMessageTitled(GetString(kIdsTitleShort), flags1 | flags2);
}

int CStatusHelper::ShowMessageTitled(const char* title, UINT flags) const {
  return ::MessageBoxA(owner_, text_, title, flags);
}
