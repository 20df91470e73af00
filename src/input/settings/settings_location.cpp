#include "input/settings/settings_location.h"

#include "common/unique_fd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

bool CanWriteFolder(const fs::path& pasta) {
  // O_TMPFILE would leave no name behind, but not every file system has it.
  std::string nome = (pasta / ".vireta-write-probe-XXXXXX").string();
  const TUniqueFd fd(::mkostemp(nome.data(), O_CLOEXEC));
  if (!fd.Valid()) return false;
  ::unlink(nome.c_str());
  return true;
}

TSettingsLocation ChooseSettingsLocation(const fs::path& pastaPrograma, const fs::path& userConfig,
                                         const fs::path& userData,
                                         const std::function<bool(const fs::path&)>& canWrite) {
  if (canWrite(pastaPrograma)) return {pastaPrograma / "config.ini", pastaPrograma, false};

  TSettingsLocation lugar{userConfig / "config.ini", userData, true};
  std::error_code ec;
  fs::create_directories(userConfig, ec);
  fs::create_directories(userData, ec);
  if (!fs::exists(lugar.SettingsFile, ec) && fs::is_regular_file(pastaPrograma / "config.ini", ec))
    fs::copy_file(pastaPrograma / "config.ini", lugar.SettingsFile, ec);
  return lugar;
}
