// THTMLCompressor: makes an HTML page smaller by plain text rewriting. It loads the whole file,
// runs the fixed sequence of rewriting passes that its eight options choose (compresspasses.h)
// and writes the result to a file. The compressor window of Quillet loads the page the user
// picks, compresses it, shows the new size and saves the result under the name the user gives.
#pragma once

#include <vector>

#include "classes.h"
#include "compresspasses.h"

class THTMLCompressor : public TComponent {
public:
  // Every option is on except BlockquoteToUl.
  explicit THTMLCompressor(TComponent* AOwner);
  const char* ClassName() const override { return "THTMLCompressor"; }

  // Resets CompressedSize and Compressed, then reads the whole file into Data. Returns false when
  // the file cannot be opened or read; Data and SourceSize then keep their previous values.
  bool LoadFromFile(const String& FileName);
  // Runs the passes over the loaded text; does nothing when the loaded file was empty or the text
  // has been compressed already.
  virtual void Compress();
  // Creates or overwrites the file with the compressed text (with the loaded text unchanged when
  // Compress has not run since the load). Returns false when nothing is loaded or the file cannot
  // be written.
  bool SaveToFile(const String& FileName);

  // The text held: the loaded file, after Compress its compressed form.
  const std::vector<char>& Data() const { return FData; }
  bool HasData() const { return FHasData; }
  int SourceSize() const { return FSourceSize; }
  int CompressedSize() const { return FCompressedSize; }
  bool Compressed() const { return FCompressed; }

  bool SimpleTags() const { return FOptions.SimpleTags; }
  void SetSimpleTags(bool Value) { FOptions.SimpleTags = Value; }
  bool Center() const { return FOptions.Center; }
  void SetCenter(bool Value) { FOptions.Center = Value; }
  bool InvCommas() const { return FOptions.InvCommas; }
  void SetInvCommas(bool Value) { FOptions.InvCommas = Value; }
  bool Spaces() const { return FOptions.Spaces; }
  void SetSpaces(bool Value) { FOptions.Spaces = Value; }
  bool Returns() const { return FOptions.Returns; }
  void SetReturns(bool Value) { FOptions.Returns = Value; }
  bool AllReturns() const { return FOptions.AllReturns; }
  void SetAllReturns(bool Value) { FOptions.AllReturns = Value; }
  bool Webbots() const { return FOptions.Webbots; }
  void SetWebbots(bool Value) { FOptions.Webbots = Value; }
  bool BlockquoteToUl() const { return FOptions.BlockquoteToUl; }
  void SetBlockquoteToUl(bool Value) { FOptions.BlockquoteToUl = Value; }
  const THTMLCompressOptions& Options() const { return FOptions; }

private:
  THTMLCompressOptions FOptions;
  std::vector<char> FData;
  bool FHasData = false;
  int FSourceSize = 0;
  int FCompressedSize = 0;
  bool FCompressed = false;
};
