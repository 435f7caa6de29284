#include "CObject.h"

#include <cstring>

namespace {
CRuntimeClass*& FirstClass() {
  static CRuntimeClass* first = nullptr;
  return first;
}
}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* cls) {
  cls->m_pNextClass = FirstClass();
  FirstClass() = cls;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name, int length) {
  for (const CRuntimeClass* c = FirstClass(); c; c = c->m_pNextClass) {
    if (static_cast<int>(std::strlen(c->m_lpszClassName)) == length &&
        std::memcmp(c->m_lpszClassName, name, static_cast<size_t>(length)) == 0)
      return c;
  }
  return nullptr;
}
