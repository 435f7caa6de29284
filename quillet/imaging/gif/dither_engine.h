// Ditherers: walk a picture's rows in serpentine order (left to right, then right to left) and
// choose a palette entry per pixel through a colour lookup, spreading each pixel's error (wanted
// minus chosen colour) over the pixels not yet visited.
#pragma once

#include <vector>

#include "color_lookup.h"

class TDitherEngine {
public:
  // Lookup is not owned.
  TDitherEngine(int Width, TColorLookup* Lookup) : FWidth(Width), FLookup(Lookup) {}
  virtual ~TDitherEngine() = default;
  TDitherEngine(const TDitherEngine&) = delete;
  TDitherEngine& operator=(const TDitherEngine&) = delete;

  // The index chosen for the pixel at Column(); R, G, B receive the chosen colour. The column
  // then moves one step in the row's direction.
  virtual int Dither(int Red, int Green, int Blue, int& R, int& G, int& B);
  // Ends a row: the direction flips, the column goes to the new row's first pixel.
  virtual void NextLine();

  int Column() const { return FColumn; }
  int Direction() const { return FDirection; }
  int Width() const { return FWidth; }

protected:
  static int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
  int FDirection = 1;
  int FColumn = 0;
  int FWidth;
  TColorLookup* FLookup;
};

// Floyd-Steinberg: 7/16 to the next pixel; 3/16, 5/16, 1/16 to the row below (behind, below,
// ahead). One error row of Width + 2 cells per channel; the three values of the row below that are
// still being summed run along in registers.
class TFloydSteinbergDitherer : public TDitherEngine {
public:
  TFloydSteinbergDitherer(int Width, TColorLookup* Lookup);
  int Dither(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  void NextLine() override;

private:
  std::vector<int> FErrors[3];
  int FCarried[3] = {}, FBehind[3] = {}, FBelow[3] = {};
  int FCell = 0;  // the current pixel's cell: x left to right, x + 2 right to left
};

// Error rows for kernels that reach Margin pixels to each side and Rows - 1 rows down. Pixel x uses
// cell x + Margin of each row; Distribute spreads one channel's error over that channel's rows.
class TErrorRowDitherer : public TDitherEngine {
public:
  TErrorRowDitherer(int Width, TColorLookup* Lookup, int Rows, int Margin, int Divisor);
  int Dither(int Red, int Green, int Blue, int& R, int& G, int& B) override;
  void NextLine() override;

protected:
  // Rows[0] is the current row; Cell the current pixel's cell; Dir the scan direction.
  virtual void Distribute(int Error, int* const* Rows, int Cell, int Dir) = 0;
  int FDivisor;

private:
  int FRowCount, FMargin;
  std::vector<std::vector<int>> FRows[3];
};

// The common base of the Stucki, Sierra and JaJuNi ditherers: three rows, two cells to each side.
class T5by3Ditherer : public TErrorRowDitherer {
public:
  T5by3Ditherer(int Width, TColorLookup* Lookup, int Divisor) : TErrorRowDitherer(Width, Lookup, 3, 2, Divisor) {}
};

class TStuckiDitherer : public T5by3Ditherer {
public:
  TStuckiDitherer(int Width, TColorLookup* Lookup) : T5by3Ditherer(Width, Lookup, 42) {}
protected:
  void Distribute(int Error, int* const* Rows, int Cell, int Dir) override;
};

class TSierraDitherer : public T5by3Ditherer {
public:
  TSierraDitherer(int Width, TColorLookup* Lookup) : T5by3Ditherer(Width, Lookup, 32) {}
protected:
  void Distribute(int Error, int* const* Rows, int Cell, int Dir) override;
};

class TJaJuNiDitherer : public T5by3Ditherer {
public:
  TJaJuNiDitherer(int Width, TColorLookup* Lookup) : T5by3Ditherer(Width, Lookup, 48) {}
protected:
  void Distribute(int Error, int* const* Rows, int Cell, int Dir) override;
};

// Stevenson-Arce: four rows, three cells to each side, divisor 200.
class TSteveArcheDitherer : public TErrorRowDitherer {
public:
  TSteveArcheDitherer(int Width, TColorLookup* Lookup) : TErrorRowDitherer(Width, Lookup, 4, 3, 200) {}
protected:
  void Distribute(int Error, int* const* Rows, int Cell, int Dir) override;
};

// Burkes: two rows, two cells to each side, divisor 32.
class TBurkesDitherer : public TErrorRowDitherer {
public:
  TBurkesDitherer(int Width, TColorLookup* Lookup) : TErrorRowDitherer(Width, Lookup, 2, 2, 32) {}
protected:
  void Distribute(int Error, int* const* Rows, int Cell, int Dir) override;
};
