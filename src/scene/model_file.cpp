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
  throw std::runtime_error("Não foi possível ler o arquivo: " + arquivo.string() + " (" + motivo + ")");
}

std::string ReadText(const fs::path& arquivo) {
  TFileContents conteudo = ReadWholeFile(arquivo);
  switch (conteudo.Status) {
    case TFileReadStatus::Read:
      return std::move(conteudo.Bytes);
    case TFileReadStatus::Missing:
      throw std::runtime_error("Arquivo não encontrado: " + arquivo.string());
    case TFileReadStatus::NotAFile:
      // A folder or a pipe would read as empty or block forever; neither is a model.
      ReadFailure(arquivo, "não é um arquivo comum");
    case TFileReadStatus::Unreadable:
    case TFileReadStatus::TooLarge:
      break;
  }
  ReadFailure(arquivo, conteudo.Error.message());
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Where a continuation backslash stands (the last byte before trailing blanks), or npos.
size_t ContinuationMark(std::string_view linha) {
  size_t fim = linha.size();
  while (fim > 0 && IsBlank(linha[fim - 1])) --fim;
  return (fim > 0 && linha[fim - 1] == '\\') ? fim - 1 : std::string_view::npos;
}

bool IsComment(std::string_view linha) {
  size_t i = 0;
  while (i < linha.size() && IsBlank(linha[i])) ++i;
  return i < linha.size() && linha[i] == '#';
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
  const fs::path caminho(nome);
  std::error_code ec;
  const auto existe = [&ec](const fs::path& p) { return fs::is_regular_file(p, ec); };
  if (caminho.is_absolute()) {
    const fs::path achado = FindFile(caminho);
    if (existe(achado)) return achado;
    // A scene saved elsewhere with its model beside it, then copied with the model: the copy is the one.
    const fs::path aoLado = FindFile(pastaCena / caminho.filename());
    return existe(aoLado) ? aoLado : achado;
  }
  const fs::path naPasta = FindFile(pastaCena / caminho);
  if (existe(naPasta)) return naPasta;
  // Then the current folder, where a scene opened through the file dialog of old found its models.
  const fs::path atual = fs::current_path(ec);
  if (!ec && !atual.empty()) {
    const fs::path achado = FindFile(atual / caminho);
    if (existe(achado)) return achado;
  }
  return naPasta;
}

std::string StoredModelName(const std::string& arquivo, const fs::path& de, const fs::path& para) {
  if (arquivo.empty()) return arquivo;
  std::error_code ec;
  const fs::path achado = ResolveModelName(arquivo, de);
  if (!fs::is_regular_file(achado, ec)) return arquivo;  // nothing to point at: kept as the teacher wrote it
  const fs::path modelo = fs::weakly_canonical(achado, ec);
  const fs::path pasta = fs::weakly_canonical(para, ec);
  if (ec) return arquivo;
  const fs::path relativo = modelo.lexically_relative(pasta);
  const bool dentro = !relativo.empty() && *relativo.begin() != "..";
  if (dentro) return relativo.generic_string();
  return fs::path(arquivo).is_absolute() ? arquivo : modelo.string();
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

bool TModelLines::NextPhysical(std::string_view& conteudo) {
  if (position_ >= text_.size()) return false;
  const size_t quebra = text_.find('\n', position_);
  const size_t proximo = (quebra == std::string_view::npos) ? text_.size() : quebra + 1;
  size_t fim = (quebra == std::string_view::npos) ? text_.size() : quebra;
  // Every carriage return before the line feed belongs to the line end, so a file written on Windows
  // reads as one written here.
  while (fim > position_ && text_[fim - 1] == '\r') --fim;
  conteudo = text_.substr(position_, fim - position_);
  lineEnd_ = text_.substr(fim, proximo - fim);
  position_ = proximo;
  ++physicalLine_;
  return true;
}

bool TModelLines::Next(std::string_view& linha) {
  if (!NextPhysical(linha)) return false;
  firstLine_ = physicalLine_;
  joined_ = false;
  if (IsComment(linha)) return true;
  size_t marca = ContinuationMark(linha);
  if (marca == std::string_view::npos) return true;
  joined_ = true;
  buffer_.assign(linha.substr(0, marca));
  std::string_view seguinte;
  while (NextPhysical(seguinte)) {
    marca = ContinuationMark(seguinte);
    buffer_.append(seguinte.substr(0, marca));
    if (marca == std::string_view::npos) break;
  }
  // A file whose last line is continued has nothing to continue with: the mark alone goes.
  linha = buffer_;
  return true;
}

std::string ReadModelText(const fs::path& modelo) {
  return ReadText(modelo);
}
