#pragma once
// Where a world point lands on a panel, worked out apart from the program's own view math: the
// perspective of the picture (60 degrees vertical, the panel's aspect) and the camera's look-at.

#include "render/camera.h"

struct TPanelPoint {
  double x = 0, y = 0;      // logical pixels from the top left corner, y down
  double profundidade = 0;  // distance in front of the eye along the line of sight
};

TPanelPoint ProjectToPanel(const TCamera& camera, const TVector& p, double largura, double altura);

// Inside the panel and in front of the near plane.
bool InsidePanel(const TPanelPoint& ponto, double largura, double altura);
