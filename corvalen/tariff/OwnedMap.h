// The maps of the tariff engine own their values (the providers of the database, the records of
// the free-minute protocol), which CMapStringToOb only points to.
#pragma once

#include "CMapStringToOb.h"

// Deletes every value of `map`, then empties it.
inline void DeleteAllValues(CMapStringToOb& map) {
  CString key;
  CObject* value;
  for (POSITION pos = map.GetStartPosition(); pos;) {
    map.GetNextAssoc(pos, key, value);
    delete value;
  }
  map.RemoveAll();
}
