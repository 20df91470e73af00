#pragma once
// The unit cube as its quads are described, one GL call per corner: the picture any faster drawing of the
// cube must match, and the baseline its speed is compared with. Leaves the matrix as on entry.
void CuboChamadaAChamada();
