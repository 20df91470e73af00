#pragma once
// The physics half of a frame: one fixed step, then the bodies' state copied into the scene's records.
// The window's frame and the headless runner both go through here, so they simulate the same thing.

#include "scene/scene.h"

// For each object with a body: with ODEMove, the body's position, velocity, force accumulator and
// orientation go into the record (and the position onto the trail when MostraRastroSempre); without it,
// the body is put back to the record's pose, at rest.
void CopyBodyStates(TScene& cena);

// PassoMundo with the scene's contact parameters, then CopyBodyStates.
void SimulationStep(TScene& cena);
