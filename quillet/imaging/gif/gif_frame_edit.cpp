// The frame operations of the picture's optimisation (cropping transparent borders, merging a
// frame with the one before it), the scaling of a frame's rectangle, and the optimisation itself.
#include <algorithm>
#include <climits>
#include <cstring>

#include "gif_model.h"

using namespace GIFImage;

int GIFImage::MulDiv(int A, int B, int C) {
  if (C == 0) return -1;
  const int64_t p = int64_t(A) * int64_t(B);
  const bool negative = (p < 0) != (C < 0);
  const uint64_t n = uint64_t(p < 0 ? -p : p), d = uint64_t(C < 0 ? -int64_t(C) : int64_t(C));
  const uint64_t q = (n + d / 2) / d;
  if (q > uint64_t(INT_MAX)) return -1;
  return negative ? -int(q) : int(q);
}

TGIFRect TGIFSubImage::ScaleRect(const TGIFRect& R) const {
  const int rw = R.Right - R.Left, rh = R.Bottom - R.Top;
  const int iw = FImage ? FImage->Width() : Width(), ih = FImage ? FImage->Height() : Height();
  TGIFRect r;
  r.Left = R.Left + MulDiv(Left(), rw, iw);
  r.Top = R.Top + MulDiv(Top(), rh, ih);
  r.Right = R.Left + MulDiv(Left() + Width(), rw, iw);
  r.Bottom = R.Top + MulDiv(Top() + Height(), rh, ih);
  return r;
}

void TGIFSubImage::Crop() {
  if (Empty() || !FTransparent || !FGCE) return;
  const uint8_t t = FGCE->TransparentColorIndex();
  const int w = Width(), h = Height();
  const uint8_t* px = FData.data();
  auto columnClear = [&](int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
      if (px[size_t(y) * size_t(w) + size_t(x)] != t) return false;
    return true;
  };
  auto rowClear = [&](int y, int x0, int x1) {
    for (int x = x0; x <= x1; ++x)
      if (px[size_t(y) * size_t(w) + size_t(x)] != t) return false;
    return true;
  };
  int x0 = 0, x1 = w - 1, y0 = 0, y1 = h - 1;
  while (x0 <= x1 && columnClear(x0, 0, h - 1)) ++x0;
  while (x0 <= x1 && columnClear(x1, 0, h - 1)) --x1;
  if (x0 <= x1) {
    while (y0 <= y1 && rowClear(y0, x0, x1)) ++y0;
    while (y0 <= y1 && rowClear(y1, x0, x1)) --y1;
  }
  if (x0 > x1 || y0 > y1) {
    // Transparent all over: nothing of the frame is left but its place.
    Clear();
    SetDescriptorWord(5, 0);
    SetDescriptorWord(7, 0);
    return;
  }
  // The bounds are 16-bit words: a frame whose new place would not fit keeps its pixels and bounds.
  if (Left() + x0 > 0xFFFF || Top() + y0 > 0xFFFF) return;
  const int nw = x1 - x0 + 1, nh = y1 - y0 + 1;
  std::vector<uint8_t> cropped(size_t(nw) * size_t(nh));
  for (int i = 0; i < nh; ++i)
    std::memcpy(&cropped[size_t(i) * size_t(nw)], px + size_t(y0 + i) * size_t(w) + size_t(x0), size_t(nw));
  FData.swap(cropped);
  SetDescriptorWord(1, Left() + x0);
  SetDescriptorWord(3, Top() + y0);
  SetDescriptorWord(5, nw);
  SetDescriptorWord(7, nh);
  Changed();
}

namespace {
// Whether index S of map A shows the same colour as index P of map B; an index beyond its map's
// entries has no colour and matches only itself within the same map.
bool SameColor(const TGIFColorMap& A, int S, const TGIFColorMap& B, int P) {
  if (&A == &B && S == P) return true;
  if (S >= A.Count() || P >= B.Count()) return false;
  return std::memcmp(A.Data() + 3 * S, B.Data() + 3 * P, 3) == 0;
}
}  // namespace

void TGIFSubImage::MergeWithPrevious(TGIFSubImage* Previous) {
  if (Empty() || !Previous || Previous->Empty()) return;
  if (TGIFGraphicControlExtension* pg = Previous->FGCE) {
    if (pg->Disposal() == 2 || pg->Disposal() == 3) return;
  }
  const TGIFRect a = BoundsRect(), b = Previous->BoundsRect();
  const TGIFRect in = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                       std::min(a.Bottom, b.Bottom)};
  if (in.IsEmpty()) return;

  const bool wasTransparent = FTransparent && FGCE;
  bool pending = !wasTransparent;
  int t = wasTransparent ? FGCE->TransparentColorIndex() : 0;
  if (pending) {
    // One more colour must fit into the table the index would be added to.
    bool room = false;
    if (FColorMap.Count() > 0)
      room = FColorMap.Count() < 256;
    else if (FImage && FImage->GlobalColorMap().Count() > 0)
      room = FImage->GlobalColorMap().Count() < 256;
    if (!room) return;
  }
  const bool prevTransparent = Previous->FTransparent && Previous->FGCE;
  const int p = prevTransparent ? Previous->FGCE->TransparentColorIndex() : -1;
  TGIFColorMap& mine = ActiveColorMap();
  TGIFColorMap& theirs = Previous->ActiveColorMap();

  // The index of a new transparent colour. Another frame's index on the same global table is
  // borrowed only when none of this frame's pixels already shows that colour; otherwise those
  // opaque pixels would turn transparent with the rest.
  auto chooseIndex = [&]() -> int {
    if (FColorMap.Count() > 0) return FColorMap.Add(TColor(0));
    TGIFImageList& frames = FImage->Images();
    for (int i = 0; i < frames.Count(); ++i) {
      TGIFSubImage* f = frames[i];
      if (f == this || !f->FTransparent || !f->FGCE || f->FColorMap.Count() > 0) continue;
      const uint8_t borrowed = f->FGCE->TransparentColorIndex();
      if (std::find(FData.begin(), FData.end(), borrowed) == FData.end()) return borrowed;
      break;
    }
    return FImage->GlobalColorMap().Add(TColor(0));
  };

  for (int y = in.Top; y < in.Bottom; ++y) {
    uint8_t* row = ScanLine(y - Top());
    const uint8_t* prow = Previous->ScanLine(y - Previous->Top());
    for (int x = in.Left; x < in.Right; ++x) {
      uint8_t& s = row[x - Left()];
      const uint8_t q = prow[x - Previous->Left()];
      if (!pending && s == t) continue;
      if (prevTransparent && q == p) continue;
      if (!SameColor(mine, s, theirs, q)) continue;
      if (pending) {
        t = chooseIndex();
        pending = false;
      }
      s = uint8_t(t);
    }
  }
  if (!wasTransparent && !pending) {
    TGIFGraphicControlExtension* gce = FGCE;
    if (!gce) {
      gce = new TGIFGraphicControlExtension(this);
      FExtensions.Add(gce);
    }
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(t);
  }
  Changed();
}

// ---------------------------------------------------------------------------------------------
// The picture's optimisation

void TGIFImageOwner::OptimizeFrames(int Options, int ReductionMode) {
  TGIFImageList& frames = *FImages;
  if (frames.Count() == 0) return;
  const int total = 6 * frames.Count();
  int step = 0;
  auto progress = [&] {
    ++step;
    Progress(nullptr, gpsRunning, int(std::min<int64_t>(100, int64_t(step) * 100 / total)), false,
             gifmsg::Optimizing);
  };
  Progress(nullptr, gpsStarting, 0, false, gifmsg::Optimizing);
  bool failed = true;
  struct Ending {
    TGIFImageOwner* Owner;
    bool& Failed;
    ~Ending() { Owner->Progress(nullptr, gpsEnding, Failed ? 0 : 100, true, gifmsg::Optimizing); }
  } ending{this, failed};

  if (Options & ooColorMap) {
    if (GlobalColorMap().Count() > 0) GlobalColorMap().Optimize();
    for (int i = 0; i < frames.Count(); ++i, progress())
      if (frames[i]->ColorMap().Count() > 0) frames[i]->ColorMap().Optimize();
  }
  if (Options & ooCleanup) {
    // Transparency that no pixel uses.
    for (int i = 0; i < frames.Count(); ++i, progress()) {
      TGIFSubImage* f = frames[i];
      TGIFGraphicControlExtension* g = f->GraphicControlExtension();
      if (!f->Transparent() || !g || f->Empty()) continue;
      const uint8_t t = g->TransparentColorIndex();
      const uint8_t* d = f->Data();
      if (std::find(d, d + f->DataSize(), t) == d + f->DataSize()) {
        g->SetTransparent(false);
        f->SetTransparent(false);
        f->Changed();
      }
    }
  }
  if (Options & ooMerge) {
    auto disposal = [](TGIFSubImage* f) { return f->GraphicControlExtension() ? f->GraphicControlExtension()->Disposal() : 0; };
    for (int i = frames.Count() - 1; i >= 1; --i, progress()) {
      int prev = i - 1;
      while (prev > 0 && disposal(frames[prev]) == 3) --prev;
      frames[i]->MergeWithPrevious(frames[prev]);
    }
  }
  if (Options & ooCrop) {
    for (int i = frames.Count() - 1; i >= 0; --i, progress()) {
      TGIFSubImage* f = frames[i];
      if (f->Empty() || !f->Transparent()) continue;
      const int delay = f->GraphicControlExtension() ? f->GraphicControlExtension()->Delay() : 0;
      f->Crop();
      if (!f->Empty()) continue;
      // A frame that shows nothing still holds the animation for its delay: the frame before it
      // waits that much longer, whether or not it is transparent itself.
      if (i > 0 && delay > 0) {
        TGIFSubImage* before = frames[i - 1];
        TGIFGraphicControlExtension* g = before->GraphicControlExtension();
        if (!g) {
          g = new TGIFGraphicControlExtension(before);
          before->Extensions().Add(g);
        }
        g->SetDelay(std::min(0xFFFF, g->Delay() + delay));
      }
      delete f;  // takes itself out of the list
    }
  }
  if (Options & ooCleanup) {
    const int count = frames.Count();
    for (int i = frames.Count() - 1; i >= 0; --i, progress()) {
      TGIFSubImage* f = frames[i];
      TGIFExtensionList& ext = f->Extensions();
      for (int j = ext.Count() - 1; j >= 0; --j) {
        TGIFExtension* e = ext[j];
        const bool loop = dynamic_cast<TGIFAppExtNSLoop*>(e) != nullptr;
        if (dynamic_cast<TGIFCommentExtension*>(e) || dynamic_cast<TGIFTextExtension*>(e) ||
            dynamic_cast<TGIFUnknownAppExtension*>(e) || (loop && !(i == 0 && count > 1)))
          ext.Delete(j);
      }
      if (TGIFGraphicControlExtension* g = f->GraphicControlExtension()) {
        if ((g->Delay() == 0 || count == 1) && !g->UserInput() && !g->Transparent() && (g->Disposal() < 2 || count == 1))
          ext.Delete(ext.IndexOf(g));
      }
      if (f->Empty() && ext.Count() == 0) delete f;
    }
  } else if ((Options & ooReduceColors) && ReductionMode == 9) {
    Error(gifmsg::BadReduction);
  }
  failed = false;
}
