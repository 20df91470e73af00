#pragma once
// Immediate-mode drawing of an OBJ model with its own materials.

#include "scene/obj_loader.h"

// Alpha sent with every material colour: models are opaque even while blending is on.
inline constexpr float AlfaMaterialModelo = 1.0f;

// Draws every group with its material (front and back: diffuse, specular, ambient, shininess; a
// MaterialIndex outside the list gives the zero material), one primitive per face. Faces that are not
// ValidFace are skipped; a corner without a valid normal number gets the face's own normal. Changes the
// current material and the 2D-texture switch; leaves the matrices alone.
void DrawModel(const TModel& modelo);
