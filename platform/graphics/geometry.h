#pragma once

namespace lark {

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

// A rectangle whose right and bottom edges are exclusive, as everywhere in
// the drawing layer: (0, 0, 2, 2) covers four pixels.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  bool operator==(const TRect&) const = default;
};

inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}
inline TPoint Point(int x, int y) { return {x, y}; }

// The overlap of two rectangles; false (and an empty result) when they do not meet.
bool IntersectRect(TRect& result, const TRect& a, const TRect& b);
void OffsetRect(TRect& rect, int dx, int dy);
void InflateRect(TRect& rect, int dx, int dy);

}  // namespace lark
