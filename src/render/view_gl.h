#pragma once
// The start of every frame's picture: clearing, then the camera's projection and view.

#include "render/camera.h"

// Clears the colour and depth buffers.
void ClearFrame();

// Loads the perspective (60 degrees vertical, the given width / height aspect, near 1, far 1000) and the
// camera's look-at into the projection matrix, then selects the model-view matrix, which the drawing
// leaves at the identity between objects (the fixed lights rely on it).
void ApplyProjectionAndView(const TCamera& camera, double aspecto);
