#include "dither_engine.h"

int TDitherEngine::Dither(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int index = FLookup->Lookup(Red, Green, Blue, R, G, B);
  FColumn += FDirection;
  return index;
}

void TDitherEngine::NextLine() {
  FDirection = -FDirection;
  FColumn = FDirection > 0 ? 0 : FWidth - 1;
}

// ---- Floyd-Steinberg -------------------------------------------------------------------------

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int Width, TColorLookup* Lookup) : TDitherEngine(Width, Lookup) {
  for (auto& e : FErrors) e.assign(size_t(Width) + 2, 0);
}

// Left to right, pixel x uses cell x; right to left it uses cell x + 2. The pixel takes the error
// that cell holds, and the cell then receives the error summed so far for the row below (behind 3,
// below 5, ahead 1 sixteenth); a channel chosen exactly (error 0) leaves the cell, behind and below
// as they were and carries nothing to the next pixel.
int TFloydSteinbergDitherer::Dither(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int in[3] = {Red, Green, Blue};
  int corrected[3];
  for (int c = 0; c < 3; ++c) corrected[c] = Clamp(in[c] + (FErrors[c][size_t(FCell)] + FCarried[c] + 8) / 16);
  const int index = FLookup->Lookup(corrected[0], corrected[1], corrected[2], R, G, B);
  const int chosen[3] = {R, G, B};
  for (int c = 0; c < 3; ++c) {
    const int e = corrected[c] - chosen[c];
    if (e == 0) {
      FCarried[c] = 0;
      continue;
    }
    FErrors[c][size_t(FCell)] = FBehind[c] + 3 * e;
    FBehind[c] = FBelow[c] + 5 * e;
    FBelow[c] = e;
    FCarried[c] = 7 * e;
  }
  FCell += FDirection;
  FColumn += FDirection;
  return index;
}

void TFloydSteinbergDitherer::NextLine() {
  for (int c = 0; c < 3; ++c) {
    FErrors[c][size_t(FCell)] = FBehind[c];
    FCarried[c] = FBehind[c] = FBelow[c] = 0;
  }
  TDitherEngine::NextLine();
  FCell = FDirection > 0 ? 0 : FWidth + 1;
}

// ---- kernels over several rows ---------------------------------------------------------------

TErrorRowDitherer::TErrorRowDitherer(int Width, TColorLookup* Lookup, int Rows, int Margin, int Divisor)
    : TDitherEngine(Width, Lookup), FDivisor(Divisor), FRowCount(Rows), FMargin(Margin) {
  for (auto& ch : FRows) ch.assign(size_t(Rows), std::vector<int>(size_t(Width) + 2 * size_t(Margin), 0));
}

int TErrorRowDitherer::Dither(int Red, int Green, int Blue, int& R, int& G, int& B) {
  const int cell = FColumn + FMargin;
  const int in[3] = {Red, Green, Blue};
  int corrected[3];
  for (int c = 0; c < 3; ++c)
    corrected[c] = Clamp(in[c] + (FRows[c][0][size_t(cell)] + FDivisor / 2) / FDivisor);
  const int index = FLookup->Lookup(corrected[0], corrected[1], corrected[2], R, G, B);
  const int chosen[3] = {R, G, B};
  for (int c = 0; c < 3; ++c) {
    int* rows[4];
    for (int r = 0; r < FRowCount; ++r) rows[r] = FRows[c][size_t(r)].data();
    Distribute(corrected[c] - chosen[c], rows, cell, FDirection);
  }
  FColumn += FDirection;
  return index;
}

void TErrorRowDitherer::NextLine() {
  for (auto& ch : FRows) {
    std::fill(ch[0].begin(), ch[0].end(), 0);
    for (int r = 0; r + 1 < FRowCount; ++r) ch[size_t(r)].swap(ch[size_t(r) + 1]);
  }
  TDitherEngine::NextLine();
}

// Offsets of the weights: ahead cells follow the scan direction; rows below are written from the
// left as seen in the scan direction, so asymmetric kernels mirror with the direction.
void TStuckiDitherer::Distribute(int e, int* const* r, int x, int d) {
  r[0][x + d] += 8 * e;
  r[0][x + 2 * d] += 4 * e;
  static const int next[5] = {2, 4, 8, 4, 2}, after[5] = {1, 2, 4, 2, 1};
  for (int i = 0; i < 5; ++i) {
    r[1][x + (i - 2) * d] += next[i] * e;
    r[2][x + (i - 2) * d] += after[i] * e;
  }
}

void TSierraDitherer::Distribute(int e, int* const* r, int x, int d) {
  r[0][x + d] += 5 * e;
  r[0][x + 2 * d] += 3 * e;
  static const int next[5] = {2, 4, 5, 4, 2}, after[3] = {2, 3, 2};
  for (int i = 0; i < 5; ++i) r[1][x + (i - 2) * d] += next[i] * e;
  for (int i = 0; i < 3; ++i) r[2][x + (i - 1) * d] += after[i] * e;
}

void TJaJuNiDitherer::Distribute(int e, int* const* r, int x, int d) {
  r[0][x + d] += 7 * e;
  r[0][x + 2 * d] += 5 * e;
  static const int next[5] = {3, 5, 7, 5, 3}, after[5] = {1, 3, 5, 3, 1};
  for (int i = 0; i < 5; ++i) {
    r[1][x + (i - 2) * d] += next[i] * e;
    r[2][x + (i - 2) * d] += after[i] * e;
  }
}

void TSteveArcheDitherer::Distribute(int e, int* const* r, int x, int d) {
  r[0][x + 2 * d] += 32 * e;
  static const int off1[4] = {-3, -1, 1, 3}, w1[4] = {12, 26, 30, 16};
  static const int off2[3] = {-2, 0, 2}, w2[3] = {12, 26, 12};
  static const int w3[4] = {5, 12, 12, 5};
  for (int i = 0; i < 4; ++i) {
    r[1][x + off1[i] * d] += w1[i] * e;
    r[3][x + off1[i] * d] += w3[i] * e;
  }
  for (int i = 0; i < 3; ++i) r[2][x + off2[i] * d] += w2[i] * e;
}

void TBurkesDitherer::Distribute(int e, int* const* r, int x, int d) {
  r[0][x + d] += 8 * e;
  r[0][x + 2 * d] += 4 * e;
  static const int next[5] = {2, 4, 8, 4, 2};
  for (int i = 0; i < 5; ++i) r[1][x + (i - 2) * d] += next[i] * e;
}
