// The files the downloads write in the data folder, and the temporaries they leave when the
// program is ended in the middle of one.
#pragma once

#include "CString.h"

// Each download is written whole through a temporary beside its file (the file's name with
// ".sic" added, CSaveFile); a program ended during the transfer leaves that temporary behind.
// This removes the temporaries of the downloads ("ServerInfo.sic.sic", "tarif.sic.sic",
// "banner.gif.sic") from the data folder; the files in force and the downloads themselves stay.
// Called at start, before anything is downloaded. Returns how many it removed.
int RemoveStaleDownloadTemporaries(const CString& folder);
