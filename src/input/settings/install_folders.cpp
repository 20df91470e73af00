#include "input/settings/install_folders.h"

#include "input/settings/settings_location.h"

#include <system_error>

namespace fs = std::filesystem;

fs::path SamplesFromPrograms() {
  return VIRETA_SAMPLES_FROM_PROGRAMS;
}

TInstallFolders InstallFoldersOf(const fs::path& pastaPrograma) {
  const fs::path programs = (pastaPrograma / "").parent_path();
  const fs::path samples = (programs / SamplesFromPrograms()).lexically_normal();
  std::error_code ec;
  if (programs.empty() || !fs::is_directory(samples, ec)) return {};
  return {programs, samples};
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
