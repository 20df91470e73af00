#pragma once
// Points and rectangles of the desktop, in screen pixels with y growing downward.

#include <algorithm>
#include <cstdint>
#include <vector>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TScreenRect {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Contains(TPoint P) const { return P.X >= X && P.Y >= Y && P.X - X < Width && P.Y - Y < Height; }
  bool operator==(const TScreenRect&) const = default;
};

using TMonitors = std::vector<TScreenRect>;

// True when no monitor holds the point.
inline bool OnNoMonitor(const TMonitors& Monitors, TPoint P) {
  for (const TScreenRect& m : Monitors)
    if (m.Contains(P)) return false;
  return true;
}

// The smallest rectangle around every monitor; empty without monitors.
inline TScreenRect BoundingBox(const TMonitors& Monitors) {
  if (Monitors.empty()) return {};
  int32_t left = Monitors.front().X, top = Monitors.front().Y;
  int32_t right = left + Monitors.front().Width, bottom = top + Monitors.front().Height;
  for (const TScreenRect& m : Monitors) {
    left = std::min(left, m.X);
    top = std::min(top, m.Y);
    right = std::max(right, m.X + m.Width);
    bottom = std::max(bottom, m.Y + m.Height);
  }
  return {left, top, right - left, bottom - top};
}

// The point of Box nearest to P; P itself when Box is empty.
inline TPoint ClampTo(const TScreenRect& Box, TPoint P) {
  if (Box.Width <= 0 || Box.Height <= 0) return P;
  return {std::clamp(P.X, Box.X, Box.X + Box.Width - 1), std::clamp(P.Y, Box.Y, Box.Y + Box.Height - 1)};
}
