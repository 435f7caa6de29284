// A GIF colour table: entries of three bytes red, green, blue, at most 256 of them.
//
// The table knows nothing of the pixels that use it: the two kinds of the tree (the header's global
// map and a frame's local map, gif_model.h) say which frames those are, build the histogram that
// the sort by use needs, rewrite the pixels after it, and say whom a change concerns.
#pragma once

#include <cstdint>
#include <vector>

#include "colors.h"
#include "gif_item.h"

class TGIFColorMap : public TPersistent {
public:
  TGIFColorMap() = default;
  ~TGIFColorMap() override = default;
  const char* ClassName() const override { return "TGIFColorMap"; }
  void Assign(TPersistent* Source) override;

  virtual void Warning(int Severity, const String& Message) = 0;
  virtual void BuildHistogram(std::vector<int>& Histogram) = 0;
  virtual void MapImages(const std::vector<int>& Map) = 0;
  virtual bool Optimize();
  virtual void Changed() = 0;

  int Count() const { return FCount; }
  int Capacity() const { return FCapacity; }
  bool Optimized() const { return FOptimized; }
  void SetOptimized(bool Value) { FOptimized = Value; }
  const uint8_t* Data() const { return FColors.data(); }

  void Clear();
  void SetCapacity(int Size);
  int Add(TColor Color);
  int AddUnique(TColor Color);
  void Delete(int Index);
  int IndexOf(TColor Color) const;
  TColor Colors(int Index);
  void SetColors(int Index, TColor Color);
  int BitsPerPixel() const { return GIFImage::BitsPerColors(FCount); }
  int ColorResolution() const { return BitsPerPixel() - 1; }
  // Quads of 4 bytes, blue first.
  void ImportRGB(const uint8_t* Quads, int Count);
  // Up to 256 entries of a logical palette replace the table.
  void ImportPalette(const TLogPalette& Palette);
  // A logical palette of the table's entries, each PC_NOCOLLAPSE; empty for an empty table.
  TLogPalette ExportPalette() const;
  void SaveToStream(TStream& Stream) const;
  void LoadFromStream(TStream& Stream, int Count);

protected:
  // Sorts the table by use; false when nothing was to sort. The map kinds call it from Optimize.
  bool DoOptimize();
  // Frees the entries without Changed (the destructors of the map kinds use it).
  void ClearEntries();

private:
  std::vector<uint8_t> FColors;
  int FCount = 0;
  int FCapacity = 0;
  bool FOptimized = false;
};
