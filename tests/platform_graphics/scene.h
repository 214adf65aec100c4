#pragma once

// A drawing that touches every kind of display-list record, used to compare
// direct drawing with metafile replay and with printing.

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

namespace lark::testing_scene {

constexpr int kWidth = 300;
constexpr int kHeight = 200;

// A red disc on a lime ground, with its mask (white where lime).
void MakeMaskedImage(TBitmap& image, TBitmap& mask);
// Draws the masked image through its mask at (x, y): the mask ANDed, then the
// image with its transparent pixels black ORed on.
void DrawMasked(TCanvas& canvas, TBitmap& image, TBitmap& mask, int x, int y);
void Draw(TCanvas& canvas);

// The share of pixels (0..1) whose channels differ by more than tolerance.
double DifferentShare(TBitmap& a, TBitmap& b, int tolerance, const TRect& area);

}  // namespace lark::testing_scene
