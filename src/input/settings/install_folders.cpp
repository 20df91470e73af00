#include "input/settings/install_folders.h"

#include "input/settings/settings_location.h"

#include <system_error>

namespace fs = std::filesystem;

TInstallFolders BuildInstallFolders() {
  // Both come from the install prefix the build was configured with.
  return {VIRETA_INSTALL_BINDIR, VIRETA_INSTALL_SAMPLES};
}

bool IsInstalledProgram(const fs::path& pastaPrograma, const TInstallFolders& instalado) {
  if (instalado.Programs.empty()) return false;
  std::error_code ec;
  // The same folder may be reached through a link (/bin and /usr/bin on a merged-/usr system).
  if (fs::equivalent(pastaPrograma, instalado.Programs, ec)) return true;
  return (pastaPrograma / "").lexically_normal() == (instalado.Programs / "").lexically_normal();
}

bool ProgramFolderTakesFiles(const fs::path& pastaPrograma, const TInstallFolders& instalado) {
  return !IsInstalledProgram(pastaPrograma, instalado) && CanWriteFolder(pastaPrograma);
}

fs::path FindSamplesFolder(const fs::path& pastaPrograma, const TInstallFolders& instalado) {
  const fs::path beside = pastaPrograma / "Cenas";
  std::error_code ec;
  const bool installedThere = !instalado.Samples.empty() && fs::is_directory(instalado.Samples, ec);
  if (IsInstalledProgram(pastaPrograma, instalado)) return installedThere ? instalado.Samples : beside;
  if (fs::is_directory(beside, ec) || !installedThere) return beside;
  return instalado.Samples;
}
