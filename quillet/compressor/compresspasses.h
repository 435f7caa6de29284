// The rewriting passes of the HTML compressor, on a text in memory.
//
// The compressor does not parse HTML: it rewrites bytes. Comparisons are made on the text in
// lower case (ASCII letters only). Three kinds of region are protected: the text from "<textarea"
// to "</textarea>", from "<pre" to "</pre>" and (in most passes) from "<script" to "</script>" is
// never rewritten. A pass that meets such a region without its end tag stops there and leaves the
// rest of the text as it is.
//
// Each pass walks the text once. The text is held in one buffer: what the walk has passed lies at
// the front, what is still to come at the back, so a replacement never moves the rest of the
// text and the whole compression takes time in proportion to the size of the page.
#pragma once

#include <cstddef>
#include <string>

// The eight options of the compressor (see THTMLCompressor).
struct THTMLCompressOptions {
  bool SimpleTags = true;      // <strong> <em> <strike> become <b> <i> <s>
  bool Center = true;          // <p align=center> ... </p> becomes <center> ... </center>
  bool InvCommas = true;       // double quotes in tags are removed where a value needs none
  bool Spaces = true;          // runs of blanks shrink; blanks before ">" and before block tags go
  bool Returns = true;         // doubled line-break characters shrink to one
  bool AllReturns = true;      // line breaks next to block tags or blanks go, next to other tags
                               // they become one blank (includes Returns)
  bool Webbots = true;         // "<!--webbot" tags go during the line-break passes
  bool BlockquoteToUl = false; // <blockquote> becomes <ul>
};

// Whether white space beside the tag that starts at Tag[0] (a "<", then the name, maybe after a
// "/") never shows in a browser: the tag opens or closes a block (paragraph, heading, list, list
// item, table, row, cell, form, ...), breaks the line ("<br>", "<hr>") or belongs to the head.
// White space beside any other tag (<b>, <a>, <img>, <font>, <span>, a comment, ...) shows as
// one blank. Reads at most kTagNameLookahead bytes of Tag[0, Length).
const size_t kTagNameLookahead = 13;
bool IsBlockTag(const char* Tag, size_t Length);

// Runs the passes chosen by Options, in their fixed order, over Text[0, Length) in place and
// returns the new length. The text never grows.
size_t CompressHTMLText(char* Text, size_t Length, const THTMLCompressOptions& Options);

// The same on a string (for callers that do not hold a buffer of their own).
std::string CompressHTMLString(std::string Text, const THTMLCompressOptions& Options);
