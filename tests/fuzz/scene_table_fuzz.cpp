// The scene table reader: any bytes either load or give ESceneError; a table that loads is written and read
// back equal, and writing it again gives the same bytes.

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "scene/scene_table.h"
#include "support/temp_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto arquivo = FuzzFolder() / "cena.xml";
  WriteFile(arquivo, std::string_view(reinterpret_cast<const char*>(data), size));
  TSceneTable tabela;
  try {
    tabela = TSceneTable::Read(arquivo);
  } catch (const ESceneError&) {
    return 0;
  }
  const std::string escrito = tabela.ToXml();
  const auto copia = FuzzFolder() / "copia.xml";
  WriteFile(copia, escrito);
  TSceneTable relida;
  try {
    relida = TSceneTable::Read(copia);
  } catch (const ESceneError& e) {
    FuzzFailure(std::string("a written table does not read back: ") + e.what());
  }
  if (!(relida == tabela)) FuzzFailure("a written table reads back different");
  if (relida.ToXml() != escrito) FuzzFailure("writing a table read back gives other bytes");
  return 0;
}
