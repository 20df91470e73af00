// A scene file with a model and a material beside it: any bytes load or give ESceneError; the load changes
// no file, whether it succeeds or fails (nor a file outside the scene's folder that a row may name); a
// loaded scene steps a few frames without a fault.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "physics/ode_runtime.h"
#include "scene/scene.h"
#include "scene/scene_loader.h"
#include "scene/simulation_step.h"
#include "support/temp_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> partes = SplitFuzzInput(data, size);
  EmptyFuzzFolder();
  const auto pasta = FuzzFolder() / "cena";
  std::filesystem::create_directories(pasta);
  std::filesystem::create_directories(FuzzFolder() / "documentos");
  const auto arquivo = pasta / "cena.xml";
  WriteFile(arquivo, partes[0]);
  if (partes.size() > 1) WriteFile(pasta / "modelo.obj", partes[1]);
  if (partes.size() > 2) WriteFile(pasta / "modelo.mtl", partes[2]);
  // Text of the user's that a row's Arquivo may name: no load may change it.
  WriteFile(FuzzFolder() / "documentos" / "relatorio.tex", "\\begin{document}\\\n\\end{document}\\\\\n\n");
  const auto antes = FolderSnapshot(FuzzFolder());

  TScene cena;
  bool carregou = true;
  try {
    LoadScene(arquivo, cena, nullptr);
  } catch (const ESceneError&) {
    carregou = false;
  }
  if (FolderSnapshot(FuzzFolder()) != antes)
    FuzzFailure(carregou ? "a load changed a file" : "a failed load changed a file");
  if (!carregou) return 0;
  try {
    for (int passo = 0; passo < 5; ++passo) SimulationStep(cena);
  } catch (const EPhysicsEngineError&) {
    // Reported to the user by the window; only a fault is a finding here.
  }
  return 0;
}
