#include "color_quantizer.h"

#include "gif_dib.h"
#include "gif_exception.h"

TColorQuantizer::TColorQuantizer(int MaxColors, int ColorBits)
    : FMaxColors(MaxColors < 1 ? 1 : MaxColors), FColorBits(ColorBits < 1 ? 1 : ColorBits > 8 ? 8 : ColorBits) {}

TColorQuantizer::~TColorQuantizer() { DeleteTree(FTree); }

void TColorQuantizer::DeleteTree(TOctreeNode* Node) {
  if (!Node) return;
  for (TOctreeNode* c : Node->Child) DeleteTree(c);
  delete Node;
}

void TColorQuantizer::ProcessImage(TDIB& Reader) {
  // Rows are read as three bytes per pixel.
  if (Reader.PixelFormat() != pf24bit) throw GIFException(gifmsg::PixelFormat);
  for (int y = 0; y < Reader.Height(); ++y) {
    const uint8_t* p = Reader.ScanLine(y);
    for (int x = 0; x < Reader.Width(); ++x, p += 3) AddPixel(p[2], p[1], p[0]);
  }
}

void TColorQuantizer::AddPixel(int Red, int Green, int Blue) {
  AddColor(FTree, Red, Green, Blue, 0);
  // A tree that cannot be reduced further (a single leaf) ends the loop.
  while (FLeafCount > FMaxColors && ReduceTree()) {
  }
}

void TColorQuantizer::AddColor(TOctreeNode*& Node, int Red, int Green, int Blue, int Level) {
  TOctreeNode** node = &Node;
  for (;;) {
    if (!*node) {
      *node = new TOctreeNode;
      if (Level == FColorBits) {
        (*node)->IsLeaf = true;
        ++FLeafCount;
      } else {
        (*node)->Next = FReducibleNodes[Level];
        FReducibleNodes[Level] = *node;
      }
    }
    TOctreeNode* n = *node;
    if (n->IsLeaf) {
      ++n->PixelCount;
      n->RedSum += Red;
      n->GreenSum += Green;
      n->BlueSum += Blue;
      return;
    }
    const int shift = 7 - Level;
    const int index = (((Red >> shift) & 1) << 2) | (((Green >> shift) & 1) << 1) | ((Blue >> shift) & 1);
    node = &n->Child[index];
    ++Level;
  }
}

// Folds the most recently added node of the deepest level that has any into a leaf.
bool TColorQuantizer::ReduceTree() {
  int level = FColorBits - 1;
  while (level > 0 && !FReducibleNodes[level]) --level;
  TOctreeNode* node = FReducibleNodes[level];
  if (!node) return false;
  FReducibleNodes[level] = node->Next;
  int children = 0;
  for (TOctreeNode*& c : node->Child) {
    if (!c) continue;
    node->RedSum += c->RedSum;
    node->GreenSum += c->GreenSum;
    node->BlueSum += c->BlueSum;
    node->PixelCount += c->PixelCount;
    delete c;
    c = nullptr;
    ++children;
  }
  node->IsLeaf = true;
  FLeafCount -= children - 1;
  return true;
}

void TColorQuantizer::Collect(const TOctreeNode* Node, std::vector<TRGBQuad>& Table) {
  if (!Node) return;
  if (Node->IsLeaf) {
    TRGBQuad q;
    if (Node->PixelCount > 0) {
      q.rgbRed = uint8_t(Node->RedSum / Node->PixelCount);
      q.rgbGreen = uint8_t(Node->GreenSum / Node->PixelCount);
      q.rgbBlue = uint8_t(Node->BlueSum / Node->PixelCount);
    }
    Table.push_back(q);
    return;
  }
  for (const TOctreeNode* c : Node->Child) Collect(c, Table);
}

std::vector<TRGBQuad> TColorQuantizer::GetColorTable() const {
  std::vector<TRGBQuad> table;
  Collect(FTree, table);
  return table;
}
