#include "tablehtml.h"

#include "pagelogic.h"

namespace {
const char* const CR = "\r";
const TColor TitleColumnColor = 0x9DB6B9;

String Quoted(const char* Name, const String& Value) { return String(" ") + Name + "=\"" + Value + "\""; }

String Cell(const char* Tag, TGridAlignment A, const String& Text) {
  return String("<") + Tag + " Align=\"" + AlignWord(A) + "\" Valign=\"Bottom\">" + Text + "</" + Tag + ">";
}

// A row with a row title: <Th> for column 0, <Td> for the others.
String TitledRow(const TFormatGridModel& G, int r) {
  String s = "<Tr> " + Cell("Th", G.Column(0).Alignment(), G.Cell(0, r));
  for (int c = 1; c < G.ColCount(); ++c) s += " " + Cell("Td", G.Column(c).Alignment(), G.Cell(c, r));
  return s + " </Tr>" + CR;
}

String PlainRow(const TFormatGridModel& G, int r) {
  String s = "<Tr> ";
  for (int c = 0; c < G.ColCount(); ++c) s += Cell("Td", G.Column(c).Alignment(), G.Cell(c, r)) + " ";
  return s + "</Tr>" + CR;
}

String TitleRow(const TFormatGridModel& G) {
  String s = "<Tr> ";
  for (int c = 0; c < G.ColCount(); ++c)
    s += Cell("Th", G.Column(c).Title().Alignment(), G.Column(c).Title().Caption()) + " ";
  return s + "</Tr>" + CR;
}
}  // namespace

String AlignWord(TGridAlignment A) {
  switch (A) {
    case taCenter: return "Center";
    case taRightJustify: return "Right";
    default: return "Left";
  }
}

void AlignFromWord(const String& Word, TGridAlignment& A) {
  if (Word == "Center") A = taCenter;
  else if (Word == "Left") A = taLeftJustify;
  else if (Word == "Right") A = taRightJustify;
}

String TableHtml(const TTableSettings& S, const TFormatGridModel& G) {
  String s = "<Table bgcolor=\"#" + HtmlColor(S.Background) + "\"";
  if (S.Border != 0) s += Quoted("Border", std::to_string(S.Border));
  if (S.Padding != 0) s += Quoted("Cellpadding", std::to_string(S.Padding));
  if (S.Spacing != 0) s += Quoted("Cellspacing", std::to_string(S.Spacing));
  s += String(">") + CR;
  if (!S.Caption.empty()) {
    s += "<Caption";
    if (!S.Position.empty()) s += Quoted("align", S.Position);
    s += ">" + S.Caption + "</Caption>" + CR;
  }
  const int R = G.RowCount();
  if (S.ColTitles) s += TitleRow(G);
  for (int r = S.ColTitles ? 1 : 0; r < R; ++r) s += S.RowTitles ? TitledRow(G, r) : PlainRow(G, r);
  // Nothing after the line break: blanks there would indent whatever is inserted next.
  return s + "</Table>" + CR;
}

void ApplyCellEdit(TFormatGridModel& G, bool ColTitles, int Col, int Row, const String& Text,
                   const String& Align) {
  if (Col < 0 || Col >= G.ColCount() || Row < 0 || Row >= G.RowCount()) return;
  TColumn& c = G.Column(Col);
  if (ColTitles && Row == 0) {
    c.Title().SetCaption(Text);
    TGridAlignment a = c.Title().Alignment();
    AlignFromWord(Align, a);
    c.Title().SetAlignment(a);
    TGridFont f = c.Title().Font();
    f.Color = clWhite;
    f.Style << fsBold;
    c.Title().SetFont(f);
  } else {
    G.SetCell(Col, Row, Text);
    TGridAlignment a = c.Alignment();
    AlignFromWord(Align, a);
    c.SetAlignment(a);
  }
}

TGridAlignment CellEditAlignment(const TFormatGridModel& G, bool ColTitles, int Col, int Row) {
  if (Col < 0 || Col >= G.ColCount()) return taLeftJustify;
  const TColumn& c = G.Column(Col);
  return ColTitles && Row == 0 ? c.Title().Alignment() : c.Alignment();
}

void SetUpDesignerGrid(TFormatGridModel& G) {
  G.BeginUpdate();
  G.SetColCount(6);
  G.SetRowCount(5);
  G.SetFixedCols(0);
  G.SetFixedRows(1);
  G.SetDefaultColWidth(64);
  G.SetFixedColor(TitleColumnColor);
  for (int c = 0; c < G.ColCount(); ++c) {
    TGridFont tf = G.Font();
    tf.Color = clBlack;
    tf.Style << fsBold;
    G.Column(c).Title().SetFont(tf);
  }
  TGridFont f = G.Font();
  f.Color = clWhite;
  f.Style << fsBold;
  G.Column(0).SetColor(TitleColumnColor);
  G.Column(0).SetFont(f);
  G.EndUpdate();
}

void SetRowTitles(TFormatGridModel& G, bool On, const TGridFont& PlainFont) {
  TColumn& c = G.Column(0);
  if (On) {
    TGridFont f = c.Font();
    f.Color = clWhite;
    f.Style << fsBold;
    c.SetColor(TitleColumnColor);
    c.SetFont(f);
  } else {
    c.SetColor(clSilver);
    c.SetFont(PlainFont);
  }
}

void FormBuilderList(const TFormSettings& S, TStrings& L) {
  auto when = [](bool b, const String& t) { return b ? t : String(); };
  L.Clear();
  L.Add(when(S.Center, String("<Center>") + CR));
  L.Add("<Form Action=\" \" Method=\"" + S.Method + "\">" + CR);
  L.Add(when(S.TextArea, String("<Textarea Name=\"Text01\" Rows=6 Cols=20></Textarea><BR>") + CR));
  L.Add(when(S.TextField, String("<Input Type=\"text\" Name=\"input01\"><BR>") + CR));
  L.Add(when(S.Password, String("<Input Type=\"password\" Name=\"input02\"><BR>") + CR));
  L.Add(when(S.Select, String("<Select Name=\"select01\" Size=\"0\">") + CR + "   <Option>Item1" + CR +
                           "   <Option>Item2" + CR + "</Select><BR>   "));
  L.Add(when(S.Select, CR));
  L.Add(when(S.CheckBox, String("<Input type=\"checkbox\" name=\"check01\">Check Box<BR>") + CR));
  L.Add(when(S.Radio, String("<Input type=\"radio\" name=\"radio01\">Radio Button<BR>") + CR));
  L.Add(when(S.Submit, String("<Input Type=\"submit\" Name=\"Submit\" Value=\"Submit\"><BR>") + CR));
  L.Add(when(S.Reset, String("<Input type=\"reset\" name=\"Reset\" value=\"Reset\"><BR>") + CR));
  // The centring closes after the form it centres.
  L.Add(String("</Form>") + CR + when(S.Center, String("</Center>") + CR));
}

String PlaylistName(const String& File) {
  // The name without its extension: only the last dot starts one ("a.b.mid" is "a.b").
  const size_t dot = File.rfind('.');
  if (dot == String::npos) return File;
  return File.substr(0, dot);
}

void SoundTableList(const TSoundSettings& S, TStrings& L) {
  L.Clear();
  L.Add("<Table border=" + S.Border + " bgcolor=\"#FFFFFF\" align=" + S.Align + ">" + CR);
  L.Add(String("<tr>") + CR);
  if (!S.Title.empty())
    L.Add("<td><font face=\"comic sans MS\" size=2><Center><b>" + S.Title + "</b></Center></font></td>" + CR);
  else
    L.Add(String("<td><font face=\"comic sans MS\" size=1><b> Titel </b></font></td>") + CR);
  L.Add(String("</tr>") + CR);
  L.Add(String("<tr>") + CR);
  L.Add("<td><EMBED SRC=\"" + S.Sound[0] + "\" width=145 height=60 autostart=\"" +
        (S.AutoStart ? "true" : "false") + "\" Loop=" + S.Loop + "></td>" + CR);
  L.Add(String("</tr>") + CR);
  for (int i = 1; i < 4; ++i) {
    const String& f = S.Sound[i];
    if (f.empty()) {
      L.Add(""); L.Add(""); L.Add("");
      continue;
    }
    L.Add(String("<tr>") + CR);
    L.Add("<td><a href=\"" + f + "\"><font face=\"comic sans MS\" size=2>" + PlaylistName(f) +
          "</font></a></td>" + CR);
    L.Add(String("</tr>") + CR);
  }
  L.Add(String("</Table>") + CR);
}
