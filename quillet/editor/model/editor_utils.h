// String routines of the editor: word separators, words at a position, pieces, blanks.
#pragma once

#include "sysutils.h"

// The word separators: NUL, LF, CR, blank, the double quote and # % ' ( ) * + , - . / : ; < = >
// [ \ ] { } (26 characters). Word moves, double-click and completion use them.
extern const char EditorSeparators[26];
bool IsEditorSeparator(char c);

// Cell column and line of linear position P in Text (the line counts the CR characters before
// P, the column runs from just after the last line break before P); both -1 outside the text.
void CaretFromPosInText(const String& Text, int P, int& X, int& Y);

// The word of S around the 1-based position P (bounded by the word separators), with its
// 1-based first index and the index just after its last character.
String GetWordOnPos(const String& S, int P);
String GetWordOnPosEx(const String& S, int P, int& iBeg, int& iEnd);

// Piece N (from 0) of S split at Separator; empty when there are fewer pieces.
String SubStr(const String& S, int N, const String& Separator);
// Every occurrence of Find in S replaced by Replace.
String ReplaceString(const String& S, const String& Find, const String& Replace);
String Spaces(int N);
bool HasChar(char Ch, const String& S);
bool HasAnyChar(const String& Chars, const String& S);
// Upper case to lower case and lower to upper (code page 1252 letters).
String AnsiChangeCase(const String& S);
inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }
// Every line break of S (CR LF, a lone CR, a lone LF) as CR LF.
String NormalizeLineBreaks(const String& S);
// Whether C belongs to an identifier (letters A-Z, a-z, digits, underscore).
inline bool IsIdentChar(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_';
}
