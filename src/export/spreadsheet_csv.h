#pragma once
// The kept frames as a file a Brazilian spreadsheet opens as numbers: columns split by ";", decimal commas,
// headers with their units, and per row what a lesson measures besides the state: speed, kinetic,
// potential and total energy, and momentum. UTF-8 with a byte-order mark, so names keep their accents.

#include "export/frame_record.h"
#include "scene/scene.h"

#include <ostream>

// Objects the physics does not move are left out unless `incluiFixos`. `cena` gives the names, the
// masses and the world's gravity of the objects the record kept.
void WriteSpreadsheet(std::ostream& saida, const TFrameRecord& registro, const TScene& cena,
                      bool incluiFixos);
