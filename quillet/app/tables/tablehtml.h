// The texts the table designer, the form builder and the sound table build, without a window,
// so that they are tested on every build. The dialogs (win32) fill the settings from their
// controls and hand the result to the main window's exchange list.
#pragma once

#include <cstdint>

#include "gridmodel.h"
#include "lists.h"

// "Left", "Center" or "Right".
String AlignWord(TGridAlignment A);
// "Center", "Left" or "Right" to an alignment; anything else leaves A as it is.
void AlignFromWord(const String& Word, TGridAlignment& A);

struct TTableSettings {
  uint32_t Background = 0xFFFFFF;
  int Border = 0, Padding = 0, Spacing = 0;
  String Caption, Position;
  bool RowTitles = true, ColTitles = true;
};

// The whole table as one text: the table tag, the caption, the rows from the grid and the end.
String TableHtml(const TTableSettings& S, const TFormatGridModel& Grid);

// What the title dialog returned (Text, Align) for a press on the cell (Col, Row): a column
// title in row 0 when the grid shows column titles, otherwise the cell text and the alignment
// of the whole column.
void ApplyCellEdit(TFormatGridModel& Grid, bool ColTitles, int Col, int Row, const String& Text,
                   const String& Align);
// The alignment that such an edit changes, so that the title dialog starts with it: the column
// title's in row 0 when the grid shows column titles, otherwise the column's.
TGridAlignment CellEditAlignment(const TFormatGridModel& Grid, bool ColTitles, int Col, int Row);

// The grid of a new table designer: 6 columns, 5 rows, a title column and a title row.
void SetUpDesignerGrid(TFormatGridModel& Grid);
// "Zeilen Titel" checked or not: the look of column 0.
void SetRowTitles(TFormatGridModel& Grid, bool On, const TGridFont& PlainFont);

struct TFormSettings {
  bool Center = false, TextArea = false, TextField = false, Password = false, Select = false,
       CheckBox = false, Radio = false, Submit = false, Reset = false;
  String Method = "Get";
};
// Clears List and appends the form builder's 12 items (empty where a block is not chosen).
void FormBuilderList(const TFormSettings& S, TStrings& List);

struct TSoundSettings {
  String Sound[4];
  bool AutoStart = false;
  String Title, Border = "4", Align = "Left", Loop = "0";
};
// Clears List and appends the sound table's 17 items. Sound[0] must not be empty.
void SoundTableList(const TSoundSettings& S, TStrings& List);
// A playlist entry's shown name: the file name without its last dot and what follows it; a name
// without a dot is kept whole.
String PlaylistName(const String& File);
