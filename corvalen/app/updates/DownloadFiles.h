// The files the downloads write in the data folder, and the temporaries they leave when the
// program is ended in the middle of one.
#pragma once

#include <vector>

#include "CString.h"

// Each download is written whole through a temporary beside its file: the file's name with
// ".<thread number>.sic" added (a transfer's own, so that a given-up transfer still holding its
// temporary never meets the next download of the same file), or with ".sic" (CSaveFile's own, as
// older versions wrote it). A program ended during the transfer leaves that temporary behind.
// Whether `name` (a name without its folder) is such a temporary of one of the downloads
// ("ServerInfo.sic", "tarif.sic", "banner.gif").
bool IsDownloadTemporary(const CString& name);

// Removes from `folder` each of `names` (the folder's file names) that is a download's temporary;
// the files in force and the downloads themselves stay. Called at start, before anything is
// downloaded. Returns how many it removed.
int RemoveStaleDownloadTemporaries(const CString& folder, const std::vector<CString>& names);
