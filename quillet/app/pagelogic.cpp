#include "pagelogic.h"

#include <algorithm>

#include "sysutils.h"

namespace {

const char CR = '\r';

// Lines joined by CR; the last one ends in Blanks blanks instead of a CR.
String Script(std::initializer_list<const char*> Lines, int Blanks) {
  String s;
  size_t n = 0;
  for (const char* l : Lines) {
    s += l;
    if (++n < Lines.size()) s += CR;
  }
  return s + StringOfChar(' ', Blanks);
}

String DateScript() {
  String s = "<SCRIPT LANGUAGE=\"JavaScript\">\r<!-- Begin\rtoday=new Date();\rday=today.getDate();\r"
             "year=today.getFullYear();\rmonth=today.getMonth()+1;\r";
  for (int d = 1; d <= 31; ++d) {
    const char* end = (d == 1 || d == 21 || d == 31) ? "st"
                      : (d == 2 || d == 22)          ? "nd"
                      : (d == 3 || d == 23)          ? "rd"
                                                     : "";
    s += Format("if (day==%d) end=(\"%s\");\r", d, end);
  }
  static const char* const months[12] = {"Januar", "Februar", "M\xE4rz",    "April",
                                         "Mai",    "Juni",    "Juli",       "August",
                                         "September", "Oktober", "November", "Dezember"};
  for (int m = 1; m <= 12; ++m) s += Format("if (month==%d) name=(\"%s\");\r", m, months[m - 1]);
  s += "if (year<100) year=\"19\" + year;\rdocument.write(day +\" . \"+name+\"  \"+year)\r//End -->\r"
       "</script>";
  return s + StringOfChar(' ', 29);
}

String ColorFader() {
  return Script({"<SCRIPT LANGUAGE=\"JavaScript\">",
                 "<!-- Begin",
                 "var hexChars=\"0123456789ABCDEF\";",
                 "function Dec2Hex (Dec) {",
                 "var a = Dec % 16;",
                 "var b = (Dec - a)/16;",
                 "hex = \"\" + hexChars.charAt(b) + hexChars.charAt(a);",
                 "return hex;",
                 "}",
                 "function bgChanger (begin, end, steps) {",
                 "steps = steps -1 ;",
                 "redA     = begin.charAt(0) + begin.charAt(1);",
                 "red_valA = parseInt(redA,'16');",
                 "redB     = end.charAt(0) + end.charAt(1);",
                 "red_valB = parseInt(redB,'16');",
                 "red_int  = ((red_valB - red_valA) / steps) * -1;",
                 "grnA     = begin.charAt(2) + begin.charAt(3);",
                 "grn_valA = parseInt(grnA,'16');",
                 "grnB     = end.charAt(2) + end.charAt(3);",
                 "grn_valB = parseInt(grnB,'16');",
                 "grn_int  = ((grn_valB - grn_valA) / steps) * -1;",
                 "bluA     = begin.charAt(4) + begin.charAt(5);",
                 "blu_valA = parseInt(bluA,'16');",
                 "bluB     = end.charAt(4) + end.charAt(5);",
                 "blu_valB = parseInt(bluB,'16');",
                 "blu_int  = ((blu_valB - blu_valA) / steps) * -1;",
                 "for(i = 2; i <= steps; i++) {",
                 "red_valA = red_valA - red_int;",
                 "red_hex  = Dec2Hex(Math.round(red_valA));",
                 "grn_valA = grn_valA - grn_int;",
                 "grn_hex  = Dec2Hex(Math.round(grn_valA));",
                 "blu_valA = blu_valA - blu_int;",
                 "blu_hex  = Dec2Hex(Math.round(blu_valA));",
                 "document.bgColor = red_hex + grn_hex + blu_hex;",
                 "}",
                 "}",
                 "bgChanger(\"000000\",\"000000\",60);",
                 "bgChanger(\"000000\",\"FF0000\",60);",
                 "bgChanger(\"FF0000\",\"000000\",60);",
                 "bgChanger(\"000000\",\"AA00EE\",60);",
                 "bgChanger(\"AA00EE\",\"000000\",60);",
                 "bgChanger(\"000000\",\"0000FF\",60);",
                 "bgChanger(\"0000FF\",\"000000\",60);",
                 "// End -->",
                 "</script>"},
                16);
}

String RightButtonLock() {
  return Script({"<script language=\"JavaScript1.1\">",
                 "function right(e) {",
                 "var msg = \"Mustertext\";",
                 "if (navigator.appName == 'Netscape' && e.which == 3) {",
                 "alert(msg);",
                 "return false;",
                 "}",
                 "if (navigator.appName == 'Microsoft Internet Explorer' && event.button==2) {",
                 "alert(msg);",
                 "return false;",
                 "}",
                 "return true;",
                 "}",
                 "document.onmousedown = right;",
                 "// End -->",
                 "</script>"},
                16);
}

String StatusScroller() {
  return Script({"<script language=\"JavaScript\">",
                 "<!-- Begin",
                 "var osd = \"  Mustertext 1\"",
                 "osd +=\"  E - Mail : \";",
                 "var timer;",
                 "var msg = \"\";",
                 "function scrollMaster () {",
                 "msg = customDateSpring(new Date())",
                 "clearTimeout(timer)",
                 "msg += \" \" + showtime() + \" \" + osd",
                 "for (var i= 0; i < 40; i++){",
                 "msg = \" \" + msg;",
                 "}",
                 "scrollMe()",
                 "}",
                 "function scrollMe(){",
                 "window.status = msg;",
                 "msg = msg.substring(1, msg.length) + msg.substring(0,1);",
                 "timer = setTimeout(\"scrollMe()\", 150);",
                 "}",
                 "function showtime (){",
                 "var now = new Date();",
                 "var hours= now.getHours();",
                 "var minutes= now.getMinutes();",
                 "var timeValue = \"\" + hours",
                 "timeValue  += ((minutes < 10) ? \":0\" : \":\") + minutes + \" Uhr \"",
                 "return timeValue;",
                 "}",
                 "function MakeArray(n) {",
                 "this.length = n",
                 "return this",
                 "}",
                 "var dayNames = new MakeArray(7);",
                 "dayNames[0] = \"Sonntag\"; dayNames[1] = \"Montag\"; dayNames[2] = \"Dienstag\";",
                 "dayNames[3] = \"Mittwoch\"; dayNames[4] = \"Donnerstag\"; dayNames[5] = \"Freitag\";",
                 "dayNames[6] = \"Samstag\";",
                 "var monthNames = new MakeArray(12);",
                 "monthNames[0] = \"Januar\"; monthNames[1] = \"Februar\"; monthNames[2] = \"M\xE4rz\";",
                 "monthNames[3] = \"April\"; monthNames[4] = \"Mai\"; monthNames[5] = \"Juni\";",
                 "monthNames[6] = \"Juli\"; monthNames[7] = \"August\"; monthNames[8] = \"September\";",
                 "monthNames[9] = \"Oktober\"; monthNames[10] = \"November\"; monthNames[11] = \"Dezember\";",
                 "function customDateSpring(oneDate) {",
                 "var theDay = dayNames[oneDate.getDay()] + \", \";",
                 "var theDate = oneDate.getDate() + \".\";",
                 "var theMonth = monthNames[oneDate.getMonth()] + \",\";",
                 "return theDay + theDate + \" \" + theMonth",
                 "}",
                 "scrollMaster();",
                 "// End -->",
                 "</script>"},
                16);
}

// Ends at "</CENTER>": blanks after it would indent what is inserted next (the line break
// follows as an insertion of its own).
String Buttons(const char* Input) {
  return String("<CENTER>\r<FORM>\r") + Input + "\r</FORM>\r</CENTER>";
}

}  // namespace

String HtmlColor(uint32_t Color) {
  const String s = IntToHex(Color, 6);  // at least six digits: BBGGRR for a plain colour
  return Copy(s, 5, 2) + Copy(s, 3, 2) + Copy(s, 1, 2);
}

void AppendNewPageList(const TNewPageSettings& S, TStrings& L) {
  L.Add(S.DocumentName);
  L.Add(S.Author);
  L.Add(S.SoundFile);
  L.Add(S.LoopCount);
  L.Add(S.PictureFile);
  L.Add(HtmlColor(S.Background));
  L.Add(S.Title);
  L.Add(HtmlColor(S.Link));
  L.Add(HtmlColor(S.ALink));
  L.Add(HtmlColor(S.VLink));
  L.Add(S.Fixed ? "bgproperties=fixed" : "");
  L.Add(S.Frames ? "Frames" : "");
  if (!S.Frames) return;
  L.Add("<Frameset Cols=\"" + S.Cols1 + "," + S.Cols2 + "\" Border=\"" + S.Border + "\">");
  L.Add("<Frame src=\"" + FramePageName(S.LeftSrc) + "\" Name=\"" + S.LeftName + "\">");
  L.Add("<Frameset Rows=\"" + S.Rows1 + "%," + S.Rows2 + "%\">");
  L.Add("<Frame src=\"" + FramePageName(S.Row1Src) + "\" Name=\"" + S.Row1Name + "\">");
  L.Add("<Frame src=\"" + FramePageName(S.Row2Src) + "\" Name=\"" + S.Row2Name + "\">");
}

static String Item(const TStrings& L, int i) { return i < L.Count() ? L.Strings(i) : String(); }

String NewPageCaption(const TStrings& L) {
  return Item(L, 0).empty() ? String("Unbenannt.htm") : Item(L, 0) + ".htm";
}

void AppendPageSkeleton(const TStrings& L, TStrings& Out) {
  Out.Add("<Html>");
  Out.Add("<Head>");
  Out.Add(Item(L, 6).empty() ? String("<Title>Unbenannt</Title>") : "<Title>" + Item(L, 6) + "</Title>");
  Out.Add("<Meta Name=\"Generator\" Content=\"Quillet Version 1.6\">");
  Out.Add("<Meta Name=\"Keywords\" Content=\" \">");
  Out.Add("<Meta Name=\"Description\" Content=\" \">");
  Out.Add("<Meta Name=\"Autor\" Content=\"" + (Item(L, 1).empty() ? String("Name") : Item(L, 1)) + "\">");
  Out.Add("<Meta Name=\"Language\" Content=\"Deutsch,de\">");
  if (!Item(L, 2).empty()) Out.Add("<bgsound src=\"" + Item(L, 2) + "\" loop=\"" + Item(L, 3) + "\">");
  Out.Add("</Head>");
  if (Item(L, 11) == "Frames") {
    for (int i = 12; i <= 16; ++i) Out.Add(Item(L, i));
    Out.Add("</Frameset>");
    Out.Add("</Frameset>");
  }
  String body = "<Body ";
  if (!Item(L, 4).empty()) body += "background=\"" + Item(L, 4) + "\" ";
  body += "bgcolor=\"#" + Item(L, 5) + "\" link=\"#" + Item(L, 7) + "\" alink=\"#" + Item(L, 8) +
          "\" vlink=\"#" + Item(L, 9) + "\"";
  if (!Item(L, 10).empty()) body += " " + Item(L, 10);
  Out.Add(body + ">");
  Out.Add("");
  Out.Add("</Body>");
  Out.Add("</Html>");
}

String FramePageName(const String& Name) { return Name.empty() ? Name : SaveAsFileName(Name); }

String SaveAsFileName(const String& Chosen) {
  // Only the name counts: a dot in a folder ("out.d\\seite") is no extension of the page.
  return ExtractFileName(Chosen).find('.') == String::npos ? Chosen + ".htm" : Chosen;
}

String ImageTag(const TStrings& L) {
  String s = Item(L, 0);
  if (!Item(L, 4).empty()) s += " Align=\"" + Item(L, 4) + "\"";
  if (!Item(L, 1).empty()) s += " Vspace=\"" + Item(L, 1) + "\"";
  if (!Item(L, 2).empty()) s += " Hspace=\"" + Item(L, 2) + "\"";
  return s + " Border=\"" + Item(L, 3) + "\">" + CR;
}

String MailLink(const String& Address, const String& Text) {
  return "<a Href=\"mailto:" + Address + "\">" + Text + "</a>";
}

String LinkReplacement(const String& Link, const String& EndLine, int EndColumn) {
  // Column 0 after a selection means that it took the line break before; past the line's text it
  // ran to the line's end. Text after it on its line stays on that line beside the link.
  const bool insideLine = EndColumn > 0 && size_t(EndColumn) < EndLine.size();
  return insideLine ? Link : Link + CR;
}

std::vector<String> SnippetInsertions(TSnippet S) {
  const String cr(1, CR);
  switch (S) {
    case snBreak: return {"<BR>"};
    case snNobr: return {"<Nobr> </Nobr>"};
    case snRule: return {"<HR>" + cr};
    case snBold: return {"<B> Text </B>"};
    case snSpacer: return {"&nbsp;"};
    case snNoFrames: return {"<Noframes> </Noframes>"};
    case snBorder: return {"Border=\"0\""};
    case snCopyright: return {"&copy;"};
    case snRegistered: return {"&reg;"};
    case snLeft: return {"<P Align=\"left\"> Text </P>"};
    case snCenter: return {"<Center> </Center>"};
    case snRight: return {"<P Align=\"right\"> Text </P>"};
    case snComment: return {"<!-- Text -->"};
    case snTextArea: return {"<Textarea Rows=\"4\" Cols=\"4\"></Textarea>" + cr};
    case snListBox:
      return {"<select>\r  <option>Text</option>\r  <option>Text</option>\r</select>   ", cr};
    case snTopButton:
      return {Buttons("<INPUT TYPE=\"button\" VALUE=\"Seitenanfang\" onClick=\"history.go(-1)\">"), cr};
    case snBottomButton:
      return {Buttons("<INPUT TYPE=\"button\" VALUE=\"Seitenende\" onCLick=\"history.go(1)\">"), cr};
    case snDateScript: return {DateScript(), cr};
    case snColorFader: return {ColorFader(), cr};
    case snRightButtonLock: return {RightButtonLock(), cr};
    case snStatusScroller: return {StatusScroller(), cr};
    default: return {};
  }
}

String IsIndexText(const String& T) { return "<Isindex prompt=\"" + T + "\">" + CR; }
String SubScriptText(const String& T) { return "<Sub>" + T + "</Sub>"; }
String SuperScriptText(const String& T) { return "<Sup>" + T + "</Sup>"; }

String GroupDigits(uint64_t Value, char Separator) {
  if (Value == 0) return "";
  String digits = Format("%llu", static_cast<unsigned long long>(Value));
  String r;
  const int n = int(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) r += Separator;
    r += digits[size_t(i)];
  }
  return r;
}

String WorkFileName(const String& Caption) {
  String s = Caption;
  for (char& c : s)
    if (String("\\/:*?\"<>|").find(c) != String::npos || static_cast<unsigned char>(c) < 32) c = '_';
  return s;
}

String UniqueWorkName(const String& Name, const std::vector<String>& Taken) {
  auto taken = [&](const String& n) {
    return std::any_of(Taken.begin(), Taken.end(), [&](const String& t) { return SameText(t, n); });
  };
  if (!taken(Name)) return Name;
  const String ext = ExtractFileExt(Name);
  const String base = Name.substr(0, Name.size() - ext.size());
  for (int i = 2;; ++i) {
    String n = base + "-" + IntToStr(i) + ext;
    if (!taken(n)) return n;
  }
}
