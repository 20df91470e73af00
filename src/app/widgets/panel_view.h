#pragma once
// The drawing panel as the frame's mouse math sees it: the view it shows and where a mouse event points.

#include "frame/mouse_pick.h"
#include "render/camera.h"

#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

inline TPanelView PanelViewOf(const QWindow& panel, const TCamera& camera) {
  return {camera, double(std::max(panel.width(), 1)), double(std::max(panel.height(), 1))};
}

// Qt places the mouse at a pixel's corner; the picture samples pixels at their centres.
inline TPanelSpot EventSpot(const QMouseEvent& e) {
  constexpr double PixelCentre = 0.5;
  return {e.position().x() + PixelCentre, e.position().y() + PixelCentre};
}
