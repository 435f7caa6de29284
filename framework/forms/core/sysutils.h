// Strings, exceptions and the string and file-name routines of the component library.
// Strings are 8-bit code page 1252 text; every case conversion that knows letters beyond ASCII
// goes through the one case table of this unit, so that both builds agree.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

using String = std::string;

// The base of every exception the library and the programs raise. Message is the text shown to
// the user (German where it reaches the user).
class Exception : public std::exception {
public:
  explicit Exception(String msg) : FMessage(std::move(msg)) {}
  const String& Message() const { return FMessage; }
  void SetMessage(const String& msg) { FMessage = msg; }
  const char* what() const noexcept override { return FMessage.c_str(); }
  virtual const char* ClassName() const { return "Exception"; }

private:
  String FMessage;
};

#define FORMS_EXCEPTION(Name, Base)                                 \
  class Name : public Base {                                        \
  public:                                                           \
    using Base::Base;                                               \
    const char* ClassName() const override { return #Name; }        \
  }

FORMS_EXCEPTION(EConvertError, Exception);       // text that is not a number, impossible assignment
FORMS_EXCEPTION(EListError, Exception);          // list index out of range
FORMS_EXCEPTION(EStringListError, Exception);    // string list index out of range
FORMS_EXCEPTION(EInvalidOperation, Exception);   // operation not allowed in the current state
FORMS_EXCEPTION(EStreamError, Exception);        // base of the stream errors
FORMS_EXCEPTION(EReadError, EStreamError);       // a stream delivered less than asked for
FORMS_EXCEPTION(EWriteError, EStreamError);      // a stream took less than given
FORMS_EXCEPTION(EFOpenError, EStreamError);      // a file could not be opened
FORMS_EXCEPTION(EFCreateError, EStreamError);    // a file could not be created

// Formats like printf into a String.
String Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Trimming: blanks and every control character (code below 33) count as white space.
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// Case conversion. UpperCase/LowerCase change only A-Z/a-z; the Ansi variants use the code
// page 1252 table (ä <-> Ä, š <-> Š, ÿ <-> Ÿ ...). ß and µ have no upper-case letter there.
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
bool AnsiIsUpper(char c);
bool AnsiIsLower(char c);
String UpperCase(const String& s);
String LowerCase(const String& s);
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
// <0, 0, >0 comparing without regard to case (code page 1252 letters folded).
int AnsiCompareText(const String& a, const String& b);
int CompareText(const String& a, const String& b);  // ASCII letters folded only
bool SameText(const String& a, const String& b);    // AnsiCompareText == 0

// Numbers.
String IntToStr(int64_t value);
String IntToHex(uint64_t value, int digits);
// Decimal, or hexadecimal after "$" or "0x"; optional sign; blanks around are not allowed.
// Raises EConvertError "'<text>' ist kein gültiger Integerwert" for anything else.
int StrToInt(const String& s);
int StrToIntDef(const String& s, int fallback);
bool TryStrToInt(const String& s, int& value);

// 1-based character routines, counting as the component library's string routines count.
int Pos(const String& sub, const String& s);                 // 0 when not found
String Copy(const String& s, int index, int count);          // index 1-based, clamped
String StringOfChar(char c, int count);

// File names: both "\" and "/" separate folders, ":" ends a drive.
String ExtractFilePath(const String& name);   // up to and including the last separator
String ExtractFileDir(const String& name);    // the same without a trailing separator
String ExtractFileName(const String& name);   // after the last separator
String ExtractFileExt(const String& name);    // from the last "." of the name part, with the dot
String ChangeFileExt(const String& name, const String& ext);
String IncludeTrailingBackslash(const String& path);
bool FileExists(const String& name);

