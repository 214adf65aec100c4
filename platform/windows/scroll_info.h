#pragma once

namespace lark {

class TWinControl;

enum : unsigned {
  SIF_RANGE = 0x1,
  SIF_PAGE = 0x2,
  SIF_POS = 0x4,
  SIF_DISABLENOSCROLL = 0x8,
  SIF_TRACKPOS = 0x10,
  SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS,
};
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2 };

struct TScrollInfo {
  unsigned cbSize = sizeof(TScrollInfo);
  unsigned fMask = 0;
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// The state of one scroll bar with the desktop's rules: the page is at most
// the range, the position lies in Min..Max - Page + 1 (Min..Max without a
// page), and a bar whose page covers the range cannot scroll: it is hidden,
// or shown disabled when SIF_DISABLENOSCROLL was given.
struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  unsigned Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Tracking = false;
  bool DisableNoScroll = false;

  // Applies the fields fMask names; returns the new position.
  int Set(const TScrollInfo& info);
  void Get(TScrollInfo& info) const;
  [[nodiscard]] int MaxPos() const;
  [[nodiscard]] bool CanScroll() const;
  // A window's own bar shows while it can scroll, and stays (disabled) when
  // its owner last asked for SIF_DISABLENOSCROLL.
  [[nodiscard]] bool Shows() const { return CanScroll() || DisableNoScroll; }
};

// SB_CTL addresses a TScrollBar itself; SB_HORZ and SB_VERT a window's own bars.
int SetScrollInfo(TWinControl* window, int bar, const TScrollInfo& info, bool redraw);
bool GetScrollInfo(TWinControl* window, int bar, TScrollInfo& info);
int SetScrollPos(TWinControl* window, int bar, int pos, bool redraw);
int GetScrollPos(TWinControl* window, int bar);
bool SetScrollRange(TWinControl* window, int bar, int minPos, int maxPos, bool redraw);

}  // namespace lark
