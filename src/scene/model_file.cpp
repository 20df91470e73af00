#include "scene/model_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

char MinusculaAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IguaisSemCaixa(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (MinusculaAscii(a[i]) != MinusculaAscii(b[i])) return false;
  }
  return true;
}

// Several entries may match when the folder holds names that differ only in case; taking the smallest in
// name order keeps the choice the same from one run to the next.
std::optional<std::string> EntradaSemCaixa(const fs::path& pasta, const std::string& nome) {
  std::error_code ec;
  fs::directory_iterator it(pasta.empty() ? fs::path(".") : pasta, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> escolhida;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string entrada = it->path().filename().string();
    if (IguaisSemCaixa(entrada, nome) && (!escolhida || entrada < *escolhida)) escolhida = std::move(entrada);
  }
  return escolhida;
}

bool ParteFixa(const fs::path& parte) {
  return parte.empty() || parte == "." || parte == ".." || parte.has_root_directory() ||
         parte.has_root_name();
}

struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

[[noreturn]] void FalhaLeitura(const fs::path& arquivo, const std::string& motivo) {
  throw std::runtime_error("Cannot read the file : " + arquivo.string() + " (" + motivo + ")");
}

std::string LeTexto(const fs::path& arquivo) {
  std::error_code ec;
  const fs::file_status st = fs::status(arquivo, ec);
  if (st.type() == fs::file_type::not_found) {
    throw std::runtime_error("Cannot find the file : " + arquivo.string());
  }
  if (ec) FalhaLeitura(arquivo, ec.message());
  // A folder or a pipe would read as empty or block forever; neither is a model.
  if (!fs::is_regular_file(st)) FalhaLeitura(arquivo, "not a regular file");

  std::unique_ptr<std::FILE, TFileCloser> f(std::fopen(arquivo.c_str(), "rb"));
  if (!f) FalhaLeitura(arquivo, std::strerror(errno));
  std::string texto;
  const auto tamanho = fs::file_size(arquivo, ec);
  if (!ec) texto.reserve(static_cast<size_t>(tamanho));
  char bloco[1 << 16];
  size_t lidos;
  while ((lidos = std::fread(bloco, 1, sizeof bloco, f.get())) > 0) texto.append(bloco, lidos);
  if (std::ferror(f.get())) FalhaLeitura(arquivo, std::strerror(errno));
  return texto;
}

// Owns the descriptor of the work file and removes the file unless it became the model.
class TWorkFile {
 public:
  explicit TWorkFile(std::string modelo) : caminho_(std::move(modelo)) {
    fd_ = mkstemp(caminho_.data());
    if (fd_ < 0) caminho_.clear();
  }
  ~TWorkFile() {
    if (fd_ >= 0) close(fd_);
    if (!caminho_.empty() && !mantido_) unlink(caminho_.c_str());
  }
  TWorkFile(const TWorkFile&) = delete;
  TWorkFile& operator=(const TWorkFile&) = delete;

  bool Aberto() const { return fd_ >= 0; }
  const std::string& Caminho() const { return caminho_; }

  bool Escreve(std::string_view texto) {
    while (!texto.empty()) {
      const ssize_t n = write(fd_, texto.data(), texto.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      texto.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  // The data must be on disk before the rename makes it the model, or a crash could leave an empty model.
  bool Fecha() {
    const bool sincronizou = fsync(fd_) == 0;
    const bool fechou = close(fd_) == 0;
    fd_ = -1;
    return sincronizou && fechou;
  }

  void CopiaPermissoes(const fs::path& de) {
    struct stat st {};
    if (stat(de.c_str(), &st) == 0) (void)fchmod(fd_, st.st_mode & 07777);
  }

  void Mantem() { mantido_ = true; }

 private:
  std::string caminho_;
  int fd_ = -1;
  bool mantido_ = false;
};

void SincronizaPasta(const fs::path& pasta) {
  const int fd = open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

// Replaces the model by the joined lines. False leaves the model untouched.
bool SubstituiArquivo(const fs::path& modelo, const std::vector<std::string>& linhas) {
  std::error_code ec;
  fs::path alvo = modelo;
  // A link stays a link: the file it points to is the one rewritten.
  if (fs::is_symlink(modelo, ec)) {
    alvo = fs::canonical(modelo, ec);
    if (ec) return false;
  }
  fs::path pasta = alvo.parent_path();
  if (pasta.empty()) pasta = ".";

  TWorkFile trabalho((pasta / ".limpando OBJ.XXXXXX").string());
  if (!trabalho.Aberto()) return false;
  std::string texto;
  size_t total = 0;
  for (const auto& l : linhas) total += l.size() + 1;
  texto.reserve(total);
  for (const auto& l : linhas) {
    texto += l;
    texto += '\n';
  }
  trabalho.CopiaPermissoes(alvo);
  if (!trabalho.Escreve(texto) || !trabalho.Fecha()) return false;
  if (std::rename(trabalho.Caminho().c_str(), alvo.c_str()) != 0) return false;
  trabalho.Mantem();
  SincronizaPasta(pasta);
  return true;
}

}  // namespace

fs::path EncontraArquivo(const fs::path& caminho) {
  std::error_code ec;
  if (fs::exists(caminho, ec)) return caminho;
  fs::path atual;
  for (const auto& parte : caminho) {
    if (ParteFixa(parte)) {
      atual /= parte;
      continue;
    }
    if (fs::exists(atual / parte, ec)) {
      atual /= parte;
      continue;
    }
    const auto entrada = EntradaSemCaixa(atual, parte.string());
    if (!entrada) return caminho;
    atual /= *entrada;
  }
  return atual;
}

fs::path ResolveNomeModelo(const std::string& arquivo, const fs::path& pastaCena) {
  std::string nome = arquivo;
  for (char& c : nome) {
    if (c == '\\') c = '/';
  }
  fs::path caminho(nome);
  if (!caminho.is_absolute()) caminho = pastaCena / caminho;
  return EncontraArquivo(caminho);
}

std::vector<std::string> LeLinhasArquivo(const fs::path& arquivo) {
  const std::string texto = LeTexto(arquivo);
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

TCleanedModel LimpaArquivoModelo(const fs::path& modelo) {
  std::vector<std::string> linhas = LeLinhasArquivo(modelo);
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
  if (juntou) limpo.Reescrito = SubstituiArquivo(modelo, limpo.Linhas);
  return limpo;
}
