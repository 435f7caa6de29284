// A thumbnail's picture: the file read by its format's reader and, to keep memory small, shrunk
// into a box so that only the small bitmap stays. Portable: the thumbnail cells (win/) and the
// benchmark use the same road.
#pragma once

#include <memory>

#include "bitmap.h"
#include "graphic.h"

// Reads a picture file for a cell: ".png" through ReadPNGPicture (transparent parts over
// Background, a picture beyond the budget shrunk while it is read), ".jpg" / ".jpeg" through the
// JPEG reader, ".gif" through the GIF reader, ".bmp" as a bitmap, every other extension through
// the picture container's registry (icons, metafiles). Bitmaps come at 24 bits per pixel, a
// bitmap's colours (two-colour ones too) through its colour table. A GIF comes as its picture is
// drawn once: the whole picture, its first frame at its place, and Background (the colour the
// cell shows behind its picture) where the frame does not reach or its pixels are transparent; a
// GIF without a frame is "unrecognized GIF". The readers' errors pass unchanged. With BoxWidth and BoxHeight above 0 a
// large JPEG picture is decoded at the smallest scale (1/2, 1/4, 1/8) that still covers the fit
// into that box, which gives the same thumbnail at a fraction of the work and memory; the size
// it reports stays the file's own (Width, Height).
// Progress, when given, hears psStarting (0 percent) before the file is read and psEnding (100
// percent) once the picture is whole; a read that fails ends after psStarting. The readers of
// this road report no stages of their own, so these two are all there is.
struct TThumbPicture {
  std::unique_ptr<TGraphic> Graphic;
  int Width = 0, Height = 0;  // the picture's size in the file
};
TThumbPicture LoadThumbPicture(const String& FileName, int BoxWidth = 0, int BoxHeight = 0,
                               const TProgressEvent& Progress = nullptr, TColor Background = clBtnFace);

// The picture shrunk into a box of BoxWidth x BoxHeight: the fit of FitSizePercent; nullptr when
// the picture is narrower than the fitted width and also lower than the fitted height (it is
// kept as it is), or when it cannot be drawn here (a metafile or an icon without the window
// system). Bitmaps are averaged over the source pixels that each target pixel covers; other
// pictures are first drawn in their own size. FileWidth / FileHeight, when above 0, are the
// picture's size in its file (a JPEG picture decoded at a reduced scale), from which the fit is
// worked out.
std::unique_ptr<TBitmap> ShrinkToBox(TGraphic& Picture, int BoxWidth, int BoxHeight, int FileWidth = 0,
                                     int FileHeight = 0);

// Area-averaging reduction of a 24-bit bitmap to Width x Height (each at least 1 and at most the
// source's side; larger sides are taken as the source's).
std::unique_ptr<TBitmap> ShrinkBitmap(const TBitmap& Source, int Width, int Height);
