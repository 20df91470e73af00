#pragma once
// What of an opaque cube of side 1 centred at the origin can show, given the matrix that takes its corners
// to clip space (projection times model-view, column-major as GL keeps it) and the viewport's size. The
// driver lights every corner and sets up every triangle it is handed before it finds one facing away, off
// the screen or between pixel centres, so what cannot show is better never handed over.
//
// A face turned away is not always wholly hidden: the faces are the same face turned into place, so where
// two faces meet their corners differ in the last bits, and a pixel centre can fall into the hairline gap
// along the edge and show the far face behind it; on a silhouette edge the far face can also win a tie in
// depth. Of the far faces only the cells behind the edges of the near faces are kept, with a margin of
// some pixels, so those pixels come out as before.

#include <array>
#include <bitset>
#include <cstdint>

constexpr int CubeCells = 20;  // quads along each side of a face

// Face k in the cube's drawing order: +x, +y, -x, -y, +z, -z.
struct TCubeView {
  bool anything = true;                                     // false: wholly outside the view volume
  std::array<bool, 6> whole{};                              // faces to draw whole
  std::array<std::bitset<CubeCells * CubeCells>, 6> cells;  // for the others, quads (row y, column z) to draw
};

// The viewport is x, y, width, height as GL keeps it. Of every face only the cells whose picture can hold a
// pixel centre: a box a few pixels wide has far more quads than pixels. Every face whole whenever the rest
// cannot be told safely: a corner at or behind the eye or beyond the near plane (a face cut away there bares
// the inside), a projection without a point of view, or a face seen edge on.
// A cube that is not opaque keeps its far faces (they show through), only cut to the pixel centres.
TCubeView ViewCube(const std::array<double, 16>& clipMatrix, const std::array<double, 4>& viewport,
                   bool opaque);
