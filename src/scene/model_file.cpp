#include "scene/model_file.h"

#include <optional>
#include <stdexcept>
#include <system_error>

#include "common/ascii_text.h"
#include "common/file_io.h"

namespace fs = std::filesystem;

namespace {

// Several entries may match when the folder holds names that differ only in case; taking the smallest in
// name order keeps the choice the same from one run to the next.
std::optional<std::string> EntryIgnoringCase(const fs::path& pasta, const std::string& nome) {
  std::error_code ec;
  fs::directory_iterator it(pasta.empty() ? fs::path(".") : pasta, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> escolhida;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string entrada = it->path().filename().string();
    if (EqualsIgnoringAsciiCase(entrada, nome) && (!escolhida || entrada < *escolhida))
      escolhida = std::move(entrada);
  }
  return escolhida;
}

bool FixedPart(const fs::path& parte) {
  return parte.empty() || parte == "." || parte == ".." || parte.has_root_directory() ||
         parte.has_root_name();
}

[[noreturn]] void ReadFailure(const fs::path& arquivo, const std::string& motivo) {
  throw std::runtime_error("Cannot read the file : " + arquivo.string() + " (" + motivo + ")");
}

std::string ReadText(const fs::path& arquivo) {
  TFileContents conteudo = ReadWholeFile(arquivo);
  switch (conteudo.Status) {
    case TFileReadStatus::Read:
      return std::move(conteudo.Bytes);
    case TFileReadStatus::Missing:
      throw std::runtime_error("Cannot find the file : " + arquivo.string());
    case TFileReadStatus::NotAFile:
      // A folder or a pipe would read as empty or block forever; neither is a model.
      ReadFailure(arquivo, "not a regular file");
    case TFileReadStatus::Unreadable:
    case TFileReadStatus::TooLarge:
      break;
  }
  ReadFailure(arquivo, conteudo.Error.message());
}

std::string LinesAsText(const std::vector<std::string>& linhas) {
  std::string texto;
  size_t total = 0;
  for (const auto& l : linhas) total += l.size() + 1;
  texto.reserve(total);
  for (const auto& l : linhas) {
    texto += l;
    texto += '\n';
  }
  return texto;
}

}  // namespace

fs::path FindFile(const fs::path& caminho) {
  std::error_code ec;
  if (fs::exists(caminho, ec)) return caminho;
  fs::path atual;
  for (const auto& parte : caminho) {
    if (FixedPart(parte)) {
      atual /= parte;
      continue;
    }
    if (fs::exists(atual / parte, ec)) {
      atual /= parte;
      continue;
    }
    const auto entrada = EntryIgnoringCase(atual, parte.string());
    if (!entrada) return caminho;
    atual /= *entrada;
  }
  return atual;
}

fs::path ResolveModelName(const std::string& arquivo, const fs::path& pastaCena) {
  std::string nome = arquivo;
  for (char& c : nome) {
    if (c == '\\') c = '/';
  }
  fs::path caminho(nome);
  if (!caminho.is_absolute()) caminho = pastaCena / caminho;
  return FindFile(caminho);
}

std::vector<std::string> ReadFileLines(const fs::path& arquivo) {
  const std::string texto = ReadText(arquivo);
  std::vector<std::string> linhas;
  size_t inicio = 0;
  while (inicio < texto.size()) {
    size_t fim = texto.find('\n', inicio);
    const size_t proximo = (fim == std::string::npos) ? texto.size() : fim + 1;
    if (fim == std::string::npos) fim = texto.size();
    // Every trailing carriage return goes, so a line reads the same after a rewrite with plain line ends.
    while (fim > inicio && texto[fim - 1] == '\r') --fim;
    linhas.emplace_back(texto, inicio, fim - inicio);
    inicio = proximo;
  }
  return linhas;
}

TCleanedModel CleanModelFile(const fs::path& modelo) {
  std::vector<std::string> linhas = ReadFileLines(modelo);
  TCleanedModel limpo;
  limpo.Linhas.reserve(linhas.size());
  bool juntou = false;
  for (size_t i = 0; i < linhas.size(); ++i) {
    const size_t barra = linhas[i].find('\\');
    if (barra == std::string::npos) {
      limpo.Linhas.push_back(std::move(linhas[i]));
      continue;
    }
    juntou = true;
    std::string unida = linhas[i].substr(0, barra);
    if (i + 1 < linhas.size()) unida += linhas[++i];
    limpo.Linhas.push_back(std::move(unida));
  }
  // A model that cannot be rewritten (read-only, its folder closed, the disk full) is still loaded.
  if (juntou) limpo.Reescrito = !ReplaceFileAtomically(modelo, LinesAsText(limpo.Linhas));
  return limpo;
}
