// The markup of the text viewer's texts: "\b" (a backslash and b) opens and closes a bold run,
// "\v" an underlined one, as they are stored in the string table and in the server's texts.
// Show() turns each pair of characters into one marker character (8 and 11); the viewer removes
// the markers and remembers where they stood, so that it can select the runs afterwards.
#pragma once

#include <vector>

#include "CString.h"

const char kBoldMark = '\x08';
const char kUnderlineMark = '\x0B';
// At most this many positions of each kind are remembered; further markers are still removed.
const int kMaxTipMarks = 100;

// Every "\b" becomes character 8, every "\v" character 11.
CString ExpandTipMarkers(const CString& text);

struct CTipRuns {
  CString text;                 // the text without marker characters
  std::vector<long> bold;       // positions in `text` where a character 8 stood
  std::vector<long> underline;  // the same for character 11
};

// Removes the marker characters. With crLfAsOne the positions count a CR LF pair as one
// character, as rich edit 2.0 stores line breaks.
CTipRuns StripTipMarks(const CString& text, bool crLfAsOne);

// The runs as (start, end) pairs: only when the number of positions is even and not 0.
std::vector<std::pair<long, long>> TipRunPairs(const std::vector<long>& positions);

// The longest text the viewer shows. The tips come from the server, and a rich edit control that
// is handed megabytes in one paragraph stops answering for minutes (or, under Wine, fails);
// a tip is a few lines, and no reader reads further than this.
const int kMaxTipLength = 4096;
// The mark that ends a text that was cut.
const char kTipCutMark[] = " ...";

// The text as the viewer shows it: unchanged up to `limit` characters; a longer one is cut at the
// last paragraph end (line break) in the second half of what fits, else at the last blank or tab
// there, else where the limit falls, and ends with kTipCutMark, all within `limit` characters.
// With `markup`, a bold or underlined run left open by the cut is closed ("\b", "\v"), so the
// runs before it keep their looks, and a lone backslash at the cut is dropped.
CString CutTipText(const CString& text, bool markup, int limit = kMaxTipLength);

// Whether a tip has anything to show: a character other than blanks, line breaks and the "\b" /
// "\v" markup. A server that sent no tip (or an empty one) gets no viewer window.
bool TipHasText(const CString& text);
