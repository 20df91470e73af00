// The settings file: any bytes read as settings without a fault; saving them never throws for what was
// read; reading the saved file gives the same settings; an INI document's text reads back as itself.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "input/settings/ini_document.h"
#include "input/settings/ini_file.h"
#include "input/settings/settings.h"
#include "support/temp_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const TIniDocument documento(bytes);
  const std::string texto = documento.Text();
  if (TIniDocument(texto).Text() != texto) FuzzFailure("an INI document's text does not read back as itself");

  const auto arquivo = FuzzFolder() / "config.ini";
  WriteFile(arquivo, bytes);
  TQuillonSetting lido;
  TWiimoteButtonAssign botoes;
  LeConfiguracao(arquivo, lido, botoes);
  try {
    if (!SalvaConfiguracao(arquivo, lido, botoes).empty())
      FuzzFailure("a value read from a file was not saved");
  } catch (const EIniWriteError&) {
    if (size <= MaxIniFileSize) FuzzFailure("settings read from a file could not be saved back to it");
    return 0;
  }
  TQuillonSetting relido;
  TWiimoteButtonAssign botoesRelidos;
  LeConfiguracao(arquivo, relido, botoesRelidos);
  if (!(relido == lido)) FuzzFailure("saved settings read back different");
  if (botoesRelidos != botoes) FuzzFailure("saved button assignments read back different");
  return 0;
}
