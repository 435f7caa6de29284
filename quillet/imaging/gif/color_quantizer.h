// The octree colour quantiser: builds a palette of at most MaxColors colours that follows the
// colours a picture uses.
#pragma once

#include <cstdint>
#include <vector>

#include "bitmap.h"

class TDIB;

struct TOctreeNode {
  bool IsLeaf = false;
  int64_t PixelCount = 0;
  int64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
  TOctreeNode* Next = nullptr;  // next node of the same level's reducible list
  TOctreeNode* Child[8] = {};
};

class TColorQuantizer {
public:
  // ColorBits (1 .. 8) is the depth of the tree: colours agreeing in their ColorBits high bits
  // share a leaf before any reduction.
  TColorQuantizer(int MaxColors, int ColorBits);
  ~TColorQuantizer();
  TColorQuantizer(const TColorQuantizer&) = delete;
  TColorQuantizer& operator=(const TColorQuantizer&) = delete;

  // Adds every pixel of a 24-bit picture, reducing the tree whenever it has too many leaves.
  // A reader of another pixel format raises "Unsupported PixelFormat".
  void ProcessImage(TDIB& Reader);
  void AddPixel(int Red, int Green, int Blue);
  // One entry per leaf, depth first with children 0 to 7 in order: the leaf's average colour.
  std::vector<TRGBQuad> GetColorTable() const;
  int LeafCount() const { return FLeafCount; }

private:
  void AddColor(TOctreeNode*& Node, int Red, int Green, int Blue, int Level);
  bool ReduceTree();
  static void DeleteTree(TOctreeNode* Node);
  static void Collect(const TOctreeNode* Node, std::vector<TRGBQuad>& Table);

  TOctreeNode* FTree = nullptr;
  int FLeafCount = 0;
  TOctreeNode* FReducibleNodes[9] = {};
  int FMaxColors;
  int FColorBits;
};
