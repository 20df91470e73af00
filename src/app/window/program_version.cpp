#include "app/window/program_version.h"

#include "common/release_text.h"

QString ProgramVersion() {
  const std::string_view numero = ReleaseNumber();
  return QString::fromUtf8(numero.data(), static_cast<qsizetype>(numero.size()));
}

QString VersionText() {
  return QString::fromStdString(ReleaseText("Vireta"));
}
