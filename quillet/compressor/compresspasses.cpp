// The rewriting passes of the HTML compressor (see compresspasses.h).
#include "compresspasses.h"

#include <cstring>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const size_t npos = static_cast<size_t>(-1);

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
inline bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The text during one pass. The walk's position i splits the text in two: the part before i
// (already passed) and the part from i on (B[R, L)). The gap between them is what the
// replacements so far have removed. The part before i is B[0, W) followed by the P bytes just
// before R that the walk has passed but not yet moved: passing over text only counts it, and the
// bytes move to the front in one block when a replacement needs the gap. A replacement takes
// bytes off the front of the back part and puts the new bytes there, so the rest of the text
// never moves.
class TWalk {
public:
  TWalk(char* Text, size_t Length) : B(Text), L(Length) {}

  bool AtEnd() const { return R >= L; }
  size_t Left() const { return L - R; }
  char Cur() const { return B[R]; }
  char At(size_t k) const { return B[R + k]; }  // k < Left()
  bool HasPrev() const { return W + P > 0; }
  char Prev() const { return P > 0 ? B[R - 1] : B[W - 1]; }
  size_t Passed() const { return W + P; }                              // bytes before i
  char Back(size_t k) const { return k <= P ? B[R - k] : B[W - (k - P)]; }  // 1 <= k <= Passed()
  size_t ReadIndex() const { return R; }   // where the text from i on lies in the buffer
  size_t End() const { return L; }

  // The text from i on, lower-cased, starts with the lower-case Lit (all of it inside the text).
  bool StartsWith(const char* Lit, size_t n) const {
    if (n > L - R) return false;
    for (size_t k = 0; k < n; ++k)
      if (Lower(B[R + k]) != Lit[k]) return false;
    return true;
  }
  // Offset from i of the first occurrence of Lit (which starts with a character that is not a
  // letter), lower-cased comparison, at offset From or later; npos when there is none.
  size_t Find(const char* Lit, size_t n, size_t From) const {
    size_t p = R + From;
    while (p + n <= L) {
      const void* hit = std::memchr(B + p, Lit[0], L - p - n + 1);
      if (!hit) return npos;
      p = static_cast<size_t>(static_cast<const char*>(hit) - B);
      size_t k = 1;
      while (k < n && Lower(B[p + k]) == Lit[k]) ++k;
      if (k == n) return p - R;
      ++p;
    }
    return npos;
  }
  size_t FindChar(char c, size_t From) const {
    if (From >= L - R) return npos;
    const void* hit = std::memchr(B + R + From, c, L - R - From);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - (B + R)) : npos;
  }

  // i moves forward over n bytes, which stay.
  void Keep(size_t n) {
    P += n;
    R += n;
  }
  // The n bytes at i are removed.
  void Drop(size_t n) {
    Settle();
    R += n;
  }
  // S is put in at i (in front of the text from i on).
  void Insert(const char* S, size_t n) {
    Settle();
    // Only a replacement that follows a larger shortening lengthens the text (the closer of the
    // pair pass), so the gap always has room; the check keeps a mistake from overwriting text.
    if (R - W < n) throw std::logic_error("HTML-Kompressor: Text würde länger als der geladene");
    R -= n;
    std::memcpy(B + R, S, n);
  }
  void Replace(size_t FindLength, const char* S, size_t n) {
    Drop(FindLength);
    Insert(S, n);
  }
  // Moves i forward to the next byte C (or the end).
  void KeepUntilChar(char C) {
    const void* hit = R < L ? std::memchr(B + R, C, L - R) : nullptr;
    Keep(hit ? static_cast<size_t>(static_cast<const char*>(hit) - (B + R)) : L - R);
  }
  // Moves i forward to the next place where a pass may have something to do: where the text
  // starts with F (either case; only its first character when Second is false), at a "<" followed
  // by t, p or s (either case: a tag that may open a protected region), and at every "<" when
  // EveryTag is set. Stopping more often than that is harmless; the walk then tests the position
  // as usual.
  void KeepUntilStop(const char* F, bool Second, bool EveryTag) {
    size_t p = R;
    const char f0 = F[0];
    const char F0 = (f0 >= 'a' && f0 <= 'z') ? static_cast<char>(f0 - ('a' - 'A')) : f0;
#if defined(__SSE2__)
    // Characters are compared with bit 5 set on both sides, which folds the case of letters and
    // only adds harmless stops for other bytes.
    const __m128i case20 = _mm_set1_epi8(0x20);
    const __m128i vf = _mm_set1_epi8(f0), vF = _mm_set1_epi8(F0), vlt = _mm_set1_epi8('<');
    const __m128i v1 = _mm_set1_epi8(static_cast<char>((Second ? F[1] : 0) | 0x20));
    const __m128i vt = _mm_set1_epi8('t'), vp = _mm_set1_epi8('p'), vs = _mm_set1_epi8('s');
    const __m128i all = _mm_set1_epi8(static_cast<char>(0xFF));
    const __m128i secondAny = Second ? _mm_setzero_si128() : all, tagAny = EveryTag ? all : _mm_setzero_si128();
    while (p + 17 <= L) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + p));
      const __m128i n = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(B + p + 1)), case20);
      const __m128i first = _mm_or_si128(_mm_cmpeq_epi8(v, vf), _mm_cmpeq_epi8(v, vF));
      const __m128i second = _mm_or_si128(_mm_cmpeq_epi8(n, v1), secondAny);
      const __m128i tag = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(n, vt), _mm_cmpeq_epi8(n, vp)), _mm_or_si128(_mm_cmpeq_epi8(n, vs), tagAny));
      const __m128i hit = _mm_or_si128(_mm_and_si128(first, second), _mm_and_si128(_mm_cmpeq_epi8(v, vlt), tag));
      const int mask = _mm_movemask_epi8(hit);
      if (mask) {
        Keep(p + size_t(__builtin_ctz(unsigned(mask))) - R);
        return;
      }
      p += 16;
    }
#endif
    while (p < L && B[p] != f0 && B[p] != F0 && B[p] != '<') ++p;
    Keep(p - R);
  }
  // The rest of the text stays; returns the text's new length.
  size_t Finish() {
    Keep(L - R);
    Settle();
    return W;
  }

private:
  // The bytes passed over move to the front, next to the text before them.
  void Settle() {
    if (W != R - P) std::memmove(B + W, B + R - P, P);
    W += P;
    P = 0;
  }

  char* B;
  size_t W = 0, R = 0, P = 0, L;
};

// The tag that ends just before i (i follows its ">") is a block tag. Without a "<" before
// that ">" (another ">" comes first, or the text's start) there is no tag.
bool BlockTagBefore(const TWalk& w) {
  for (size_t k = 2; k <= w.Passed(); ++k) {
    const char c = w.Back(k);
    if (c == '>') return false;
    if (c != '<') continue;
    char tag[kTagNameLookahead];
    size_t n = 0;
    for (size_t j = k; j >= 1 && n < kTagNameLookahead; --j) tag[n++] = w.Back(j);
    return IsBlockTag(tag, n);
  }
  return false;
}

// The tag that starts at offset From of the text from i on is a block tag.
bool BlockTagAt(const TWalk& w, size_t From) {
  char tag[kTagNameLookahead];
  size_t n = 0;
  while (n < kTagNameLookahead && From + n < w.Left()) {
    tag[n] = w.At(From + n);
    ++n;
  }
  return IsBlockTag(tag, n);
}

// The protected region that starts at i, if any: its end tag. "<script" counts only with script
// protection.
const char* ProtectedEnd(const TWalk& w, bool Script, size_t& EndLength) {
  if (w.Left() < 2) return nullptr;
  const char c1 = Lower(w.At(1));
  if (c1 != 't' && c1 != 'p' && c1 != 's') return nullptr;
  if (w.StartsWith("<textarea", 9)) {
    EndLength = 11;
    return "</textarea>";
  }
  if (w.StartsWith("<pre", 4)) {
    EndLength = 6;
    return "</pre>";
  }
  if (Script && w.StartsWith("<script", 7)) {
    EndLength = 9;
    return "</script>";
  }
  return nullptr;
}

// The text just before i lies inside a tag: going back, a "<" that opens a tag (a letter, "/" or
// "!" follows it) comes before any ">". A ">" in running text ("c > d") closes no tag.
bool InsideTag(const TWalk& w) {
  for (size_t k = 1; k <= w.Passed(); ++k) {
    const char c = w.Back(k);
    if (c == '>') return false;
    if (c != '<') continue;
    if (k == 1) return false;
    const char n = w.Back(k - 1);
    return IsAsciiLetter(n) || n == '/' || n == '!';
  }
  return false;
}

// Skips the protected region at i, if there is one: i moves to just after the first character of
// its end tag. skUnclosed when the end tag is missing (the pass then ends there).
enum TSkip { skNone, skSkipped, skUnclosed };
TSkip SkipProtected(TWalk& w, bool Script) {
  size_t n = 0;
  const char* end = ProtectedEnd(w, Script, n);
  if (!end) return skNone;
  size_t p = w.Find(end, n, 1);
  if (p == npos) return skUnclosed;
  w.Keep(p + 1);
  return skSkipped;
}

// What a line-break pass does with a line break it found: a browser shows a line break as a
// blank, unless white space stands beside it already, it stands beside a block tag or at the
// start or end of the text, so it is removed there; beside another tag it becomes one blank, so
// that a word and the tag next to it stay apart; between two words it stays.
enum TBreak { brKeep, brRemove, brBlank };
TBreak BreakFate(const TWalk& w, size_t FindLength) {
  const bool hasPrev = w.HasPrev(), hasNext = FindLength < w.Left();
  const char prev = hasPrev ? w.Prev() : '\0', next = hasNext ? w.At(FindLength) : '\0';
  if (!hasPrev || !hasNext || prev == ' ' || next == ' ' || next == '\r' || next == '\n') return brRemove;
  const bool tagBefore = hasPrev && prev == '>', tagAfter = hasNext && next == '<';
  if (!tagBefore && !tagAfter) return brKeep;
  if ((tagBefore && BlockTagBefore(w)) || (tagAfter && BlockTagAt(w, FindLength))) return brRemove;
  return brBlank;
}

// Replace pass: every occurrence of Find (lower case, compared with the lower-cased text) becomes
// Replace, outside the protected regions. A line break that Replace removes entirely goes or
// becomes a blank as BreakFate says. With mpBeforeBlock (the passes of the form "> <t") a match
// counts only where the tag at its third character is a block tag, with mpInTag (the pass " >")
// only inside a tag. The position is tested again after a replacement, so runs collapse
// completely. Passes whose Find starts with a carriage return skip over tags and remove
// "<!--webbot" tags when Webbots is set.
enum TMatchPlace { mpAnywhere, mpBeforeBlock, mpInTag };
size_t ReplacePass(char* Text, size_t Length, const char* Find, const char* Replace, bool Script, bool Webbots,
                   TMatchPlace Place = mpAnywhere) {
  TWalk w(Text, Length);
  const size_t lf = std::strlen(Find), lr = std::strlen(Replace);
  const bool crPass = Find[0] == '\r';
  const char f0 = Find[0];
  // A pass that skips over tags stops at every tag; the others only where a tag may open a
  // protected region.
  while (!w.AtEnd()) {
    w.KeepUntilStop(Find, lf > 1, crPass);
    if (w.AtEnd()) break;
    const char c = w.Cur();
    if (c == '<') {
      TSkip s = SkipProtected(w, Script);
      if (s == skUnclosed) break;
      if (s == skSkipped) continue;
    }
    if (Lower(c) == f0 && w.StartsWith(Find, lf)) {
      if (lr == 0) {
        const TBreak fate = BreakFate(w, lf);
        if (fate != brKeep) {
          w.Replace(lf, " ", fate == brBlank ? 1 : 0);
          continue;
        }
      } else if ((Place != mpBeforeBlock || BlockTagAt(w, 2)) && (Place != mpInTag || InsideTag(w))) {
        w.Replace(lf, Replace, lr);
        continue;
      }
    }
    if (crPass && c == '<') {
      if (Webbots && w.StartsWith("<!--webbot", 10)) {
        size_t gt = w.FindChar('>', 0);
        if (gt != npos) {
          // The tag goes; what followed it is tested from here on like any other text.
          w.Drop(gt + 1);
          continue;
        }
      }
      // Line breaks inside a tag stay.
      size_t gt = w.FindChar('>', 0);
      if (gt == npos) break;
      w.Keep(gt);
    }
    w.Keep(1);
  }
  return w.Finish();
}

// A quoted attribute value that cannot stand without its quotes: an empty one, or one that holds
// white space or a ">".

bool NeedsQuotes(const TWalk& w, size_t From, size_t To) {
  if (From == To) return true;
  for (size_t k = From; k < To; ++k) {
    char c = w.At(k);
    if (IsWhite(c) || c == '>') return true;
  }
  return false;
}

// Quote removal: double quotes inside tags go, except around values that need them. Tags start
// with "<" and a letter or "/"; comments, the document type and a "<" in running text are not
// touched, nor is a tag holding a single quote, nor the protected regions.
size_t QuotePass(char* Text, size_t Length) {
  TWalk w(Text, Length);
  // The next ">" and the next single quote at or after the walk's position, as buffer indices
  // (End() for none). The text from i on is never changed by this pass, so they stay valid until
  // the walk passes them.
  size_t nextGt = 0, nextSq = 0;
  bool haveGt = false, haveSq = false;
  auto next = [&w](char c, size_t& cached, bool& have) {
    if (!have || cached < w.ReadIndex()) {
      size_t off = w.FindChar(c, 0);
      cached = off == npos ? w.End() : w.ReadIndex() + off;
      have = true;
    }
    return cached;
  };
  while (!w.AtEnd()) {
    w.KeepUntilChar('<');
    if (w.AtEnd()) break;
    TSkip s = SkipProtected(w, true);
    if (s == skUnclosed) break;
    if (s == skSkipped) continue;
    if (w.Left() < 2 || !(IsAsciiLetter(w.At(1)) || w.At(1) == '/')) {
      w.Keep(1);
      continue;
    }
    if (next('\'', nextSq, haveSq) < next('>', nextGt, haveGt)) {
      w.Keep(1);   // a tag with a single quote keeps all its double quotes
      continue;
    }
    w.Keep(1);
    while (!w.AtEnd() && w.Cur() != '>') {
      const char c = w.Cur();
      if (c == '=') {
        // An attribute value in double quotes, white space allowed after the "=".
        size_t q = 1;
        while (q < w.Left() && IsWhite(w.At(q))) ++q;
        if (q < w.Left() && w.At(q) == '"') {
          size_t close = w.FindChar('"', q + 1);
          if (close == npos) return w.Finish();  // an unclosed value: the rest stays as it is
          if (NeedsQuotes(w, q + 1, close)) {
            w.Keep(close + 1);
          } else {
            w.Keep(q);
            w.Drop(1);
            w.Keep(close - q - 1);
            w.Drop(1);
          }
          continue;
        }
      }
      if (c == '"') {
        w.Drop(1);
        continue;
      }
      w.Keep(1);
    }
    if (!w.AtEnd()) w.Keep(1);  // the ">"
  }
  return w.Finish();
}

// Pair pass: each Opener becomes OpenerReplacement and the next "</p>" after it "</center>",
// outside the protected regions.
size_t PairPass(char* Text, size_t Length, const char* Opener, const char* OpenerReplacement) {
  TWalk w(Text, Length);
  const size_t lo = std::strlen(Opener), lor = std::strlen(OpenerReplacement);
  bool closer = false;
  while (!w.AtEnd()) {
    // Openers start "<p", the closer "</": tags that start otherwise matter only when they open a
    // protected region.
    w.KeepUntilStop("</", true, false);
    if (w.AtEnd()) break;
    TSkip s = SkipProtected(w, true);
    if (s == skUnclosed) break;
    if (s == skSkipped) continue;
    if (!closer && w.StartsWith(Opener, lo)) {
      w.Replace(lo, OpenerReplacement, lor);
      closer = true;
    } else if (closer && w.StartsWith("</p>", 4)) {
      w.Replace(4, "</center>", 9);
      closer = false;
    }
    w.Keep(1);
  }
  return w.Finish();
}

}  // namespace

bool IsBlockTag(const char* Tag, size_t Length) {
  // Lower-case names.
  static const char* const blocks[] = {
      "address", "article", "aside",    "base",     "blockquote", "body",  "br",     "caption",  "center",
      "col",     "colgroup", "dd",      "details",  "dialog",     "dir",   "div",    "dl",       "dt",
      "fieldset", "figcaption", "figure", "footer", "form",       "frame", "frameset", "h1",     "h2",
      "h3",      "h4",      "h5",       "h6",       "head",       "header", "hgroup", "hr",      "html",
      "legend",  "li",      "link",     "main",     "menu",       "meta",  "nav",    "noframes", "ol",
      "optgroup", "option", "p",        "pre",      "section",    "summary", "table", "tbody",   "td",
      "tfoot",   "th",      "thead",    "title",    "tr",         "ul"};
  if (Length > kTagNameLookahead) Length = kTagNameLookahead;
  if (Length < 2 || Tag[0] != '<') return false;
  size_t b = Tag[1] == '/' ? 2 : 1, e = b;
  char name[kTagNameLookahead];
  while (e < Length && Tag[e] != '>' && Tag[e] != '/' && !IsWhite(Tag[e])) {
    name[e - b] = Lower(Tag[e]);
    ++e;
  }
  if (e == b || e == Length) return false;  // no name, or the name goes on beyond what was read
  const size_t n = e - b;
  for (const char* block : blocks)
    if (block[0] == name[0] && std::strlen(block) == n && std::memcmp(block, name, n) == 0) return true;
  return false;
}

size_t CompressHTMLText(char* Text, size_t n, const THTMLCompressOptions& o) {
  if (n == 0) return 0;
  if (o.InvCommas) n = QuotePass(Text, n);
  if (o.AllReturns || o.Returns) {
    // Doubled line breaks collapse also inside scripts.
    n = ReplacePass(Text, n, "\r\r", "\r", false, o.Webbots);
    n = ReplacePass(Text, n, "\n\n", "\n", false, o.Webbots);
  }
  if (o.AllReturns) {
    n = ReplacePass(Text, n, "\r\n", "", true, o.Webbots);
    n = ReplacePass(Text, n, "\r", "", true, o.Webbots);
    n = ReplacePass(Text, n, "\n", "", true, o.Webbots);
  }
  if (o.Spaces) {
    static const char* const spaces[][2] = {{"    ", " "}, {"   ", " "}, {"  ", " "}, {"  ", " "}};
    for (const auto& r : spaces) n = ReplacePass(Text, n, r[0], r[1], true, o.Webbots);
    // The blank before the ">" that ends a tag; one before a ">" in running text shows.
    n = ReplacePass(Text, n, " >", ">", true, o.Webbots, mpInTag);
    // The blank between a tag and a block tag that follows it shows nothing.
    static const char* const beforeBlock[][2] = {{"> <t", "><t"}, {"> </t", "></t"}, {"> <l", "><l"},
                                                 {"> </l", "></l"}, {"> <p", "><p"},  {"> </p", "></p"}};
    for (const auto& r : beforeBlock) n = ReplacePass(Text, n, r[0], r[1], true, o.Webbots, mpBeforeBlock);
  }
  if (o.SimpleTags) {
    static const char* const tags[][2] = {{"<strong>", "<b>"}, {"</strong>", "</b>"}, {"<em>", "<i>"},
                                          {"</em>", "</i>"},   {"<strike>", "<s>"},   {"</strike>", "</s>"}};
    for (const auto& r : tags) n = ReplacePass(Text, n, r[0], r[1], true, o.Webbots);
  }
  if (o.BlockquoteToUl) {
    n = ReplacePass(Text, n, "<blockquote>", "<ul>", true, o.Webbots);
    n = ReplacePass(Text, n, "</blockquote>", "</ul>", true, o.Webbots);
  }
  if (o.Center) {
    n = PairPass(Text, n, "<p align=center>", "<center>");
    n = PairPass(Text, n, "<p align=\"center\">", "<center>");
  }
  return n;
}

std::string CompressHTMLString(std::string Text, const THTMLCompressOptions& Options) {
  Text.resize(CompressHTMLText(&Text[0], Text.size(), Options));
  return Text;
}
