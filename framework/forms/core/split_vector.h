// A vector with a gap: elements before and after the gap lie at the ends of one buffer, so an
// insertion or removal next to the previous one costs a move of the elements between the two
// places, not of everything behind them. The string lists store their items this way, which
// keeps typing and line breaks in a page of 100 000 lines as cheap as in a short one.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <typename T>
class TSplitVector {
public:
  size_t size() const { return FBody.size() - GapLength(); }
  bool empty() const { return size() == 0; }

  T& operator[](size_t i) { return FBody[i < FGapStart ? i : i + GapLength()]; }
  const T& operator[](size_t i) const { return FBody[i < FGapStart ? i : i + GapLength()]; }

  void clear() {
    FBody.clear();
    FGapStart = FGapEnd = 0;
  }

  void insert(size_t at, T value) {
    if (GapLength() == 0) Grow(1);
    MoveGapTo(at);
    FBody[FGapStart++] = std::move(value);
  }

  void push_back(T value) { insert(size(), std::move(value)); }

  void erase(size_t at) { erase(at, 1); }

  void erase(size_t at, size_t count) {
    if (count == 0) return;
    MoveGapTo(at);
    for (size_t i = 0; i < count; ++i) FBody[FGapEnd + i] = T();
    FGapEnd += count;
  }

  void reserve(size_t n) {
    if (n > size()) Grow(n - size());
  }

private:
  size_t GapLength() const { return FGapEnd - FGapStart; }

  // Moves the gap so that it starts at element `at`; elements cross it one by one.
  void MoveGapTo(size_t at) {
    if (FGapStart == FGapEnd) {  // no gap: nothing crosses it (and nothing moves onto itself)
      FGapStart = FGapEnd = at;
      return;
    }
    while (FGapStart > at) FBody[--FGapEnd] = std::move(FBody[--FGapStart]);
    while (FGapStart < at) FBody[FGapStart++] = std::move(FBody[FGapEnd++]);
  }

  // Makes room for at least `more` elements: the buffer grows by half at least, the gap moves
  // to the end first so that growing is one append.
  void Grow(size_t more) {
    MoveGapTo(size());
    size_t used = FGapStart;
    size_t want = FBody.size() + more;
    size_t grown = FBody.size() + FBody.size() / 2 + 16;
    FBody.resize(want > grown ? want : grown);
    FGapStart = used;
    FGapEnd = FBody.size();
  }

  std::vector<T> FBody;
  size_t FGapStart = 0;
  size_t FGapEnd = 0;
};
