// The folder scan of the thumbnail view: the pictures of one folder in scan order and sorted.
#pragma once

#include <functional>

#include "lists.h"

// The number of frames of a GIF file; may raise for a file that is no GIF.
using TFrameCounter = std::function<int(const String& FileName)>;

// Fills Scanned with the full names of the folder's plain files (no folders, hidden or system
// files) matching "*.PNG", "*.BMP", "*.JPG", "*.WMF", "*.EMF", "*.ico", "*.gif", pattern by
// pattern in this order, and Sorted with the same names sorted. A ".gif" of more than one frame
// is left out; one whose frames cannot be counted stays in (its cell shows that it cannot be
// read), so one damaged file never stops the scan. Both lists are cleared first; a folder that
// does not exist leaves them empty. A backslash is put behind the folder when it has no
// separator at its end.
void ScanPictureFolder(const String& Folder, const TFrameCounter& Frames, TStringList& Scanned, TStringList& Sorted);
