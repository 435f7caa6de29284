// The root of the library's classes: run-time class information (name, schema, creation by class
// name for loading from an archive) and serialisation.
#pragma once

#include "AfxTypes.h"

class CArchive;
class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF for classes that are not serialisable
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;
  CRuntimeClass* m_pNextClass;  // list of every class that can be created by name

  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
  // The creatable class of that name, or NULL.
  static const CRuntimeClass* FromName(const char* name, int length);
};

// Registers a creatable class at static-initialisation time.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* cls);
};

class CObject {
 public:
  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  virtual void Serialize(CArchive& ar);

  BOOL IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
  BOOL IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

  static CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)            \
 public:                                  \
  static CRuntimeClass class##name;       \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_SERIAL(name)  \
  DECLARE_DYNAMIC(name)       \
  static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(name, base)                                                              \
  CRuntimeClass name::class##name = {#name, sizeof(name), 0xFFFF, nullptr, RUNTIME_CLASS(base),    \
                                     nullptr};                                                     \
  const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }

#define IMPLEMENT_SERIAL(name, base, schema)                                                       \
  CObject* name::CreateObject() { return new name; }                                              \
  CRuntimeClass name::class##name = {#name, sizeof(name), schema, name::CreateObject,              \
                                     RUNTIME_CLASS(base), nullptr};                                \
  static AFX_CLASSINIT _init_##name(RUNTIME_CLASS(name));                                          \
  const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }
