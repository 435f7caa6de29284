// The texts Quillet composes without a window: the page skeleton of a new page and the exchange
// list it is built from, HTML colours, the image tag, the e-mail link, the fixed snippets and
// scripts, the ".htm" rule of "Speichern unter..." and the number formats of the info box.
#pragma once

#include <cstdint>
#include <vector>

#include "lists.h"

// A Windows colour value (0x00BBGGRR) as six hexadecimal digits in HTML order, red first.
String HtmlColor(uint32_t Color);

// The settings of the new-page dialog, as the dialog's controls hold them.
struct TNewPageSettings {
  String DocumentName, Author, Title;
  String SoundFile, LoopCount = "1", PictureFile;
  uint32_t Background = 0xFFFFFF, Link = 0xFF0000, ALink = 0x0000FF, VLink = 0x800080;
  bool Fixed = false;
  bool Frames = false;
  String Cols1 = "155", Cols2 = "*", Border = "4";
  String LeftSrc, LeftName, Rows1 = "40", Rows2 = "60", Row1Src, Row1Name, Row2Src, Row2Name;
};

// The 12 (17 with the frame set) exchange-list lines of "Document Erstellen".
void AppendNewPageList(const TNewPageSettings& S, TStrings& List);
// The caption of the new document window for that list: "{0}.htm", or "Unbenannt.htm".
String NewPageCaption(const TStrings& List);
// The page skeleton for that list, one line each, appended to Lines.
void AppendPageSkeleton(const TStrings& List, TStrings& Lines);

// "Speichern unter...": a chosen file name without a "." gets ".htm" (dots in its folder do not
// count).
String SaveAsFileName(const String& Chosen);
// A page of the new page's frame set: a name without a "." gets ".htm" as in "Speichern
// unter..."; an empty name stays empty.
String FramePageName(const String& Name);

// The image command's tag from the image dialog's list, ended by a carriage return.
String ImageTag(const TStrings& List);
// The e-mail link command's link (without a line break; see LinkReplacement).
String MailLink(const String& Address, const String& Text);
// What takes the place of a selected text that a link (or e-mail link) is set on: the link alone
// when text follows the selection on its last line (EndLine, the selection ending at column
// EndColumn), so the link stays in its line; the link and a line break when the selection ran to
// the end of its line or over a line break.
String LinkReplacement(const String& Link, const String& EndLine, int EndColumn);

// The fixed snippets: each is one or two insertions at the caret (a lone CR is a line break).
enum TSnippet {
  snBreak, snNobr, snRule, snBold, snSpacer, snNoFrames, snBorder, snCopyright, snRegistered,
  snLeft, snCenter, snRight, snComment, snTextArea, snListBox, snTopButton, snBottomButton,
  snDateScript, snColorFader, snRightButtonLock, snStatusScroller, snSnippetCount
};
std::vector<String> SnippetInsertions(TSnippet S);

// The input-box snippets.
String IsIndexText(const String& Text);
String SubScriptText(const String& Text);
String SuperScriptText(const String& Text);

// Groups the digits of Value by three with Separator ("#,###" without decimals; 0 gives "").
String GroupDigits(uint64_t Value, char Separator);
// The file name of a page's working copy: its caption with every character that a Windows file
// name cannot hold (\ / : * ? " < > |) turned into "_" ("FAQ?.htm" is "FAQ_.htm").
String WorkFileName(const String& Caption);
// A working-copy name not yet in Taken: Name, else "base-2.ext", "base-3.ext", ...
String UniqueWorkName(const String& Name, const std::vector<String>& Taken);
