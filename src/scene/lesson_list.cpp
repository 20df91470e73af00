#include "scene/lesson_list.h"

#include "common/ascii_text.h"
#include "common/file_io.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// An HTML guide's line without its tags, trimmed.
std::string WithoutTags(std::string_view linha) {
  std::string texto;
  bool dentro = false;
  for (const char c : linha) {
    if (c == '<') dentro = true;
    if (!dentro) texto += c;
    if (c == '>') dentro = false;
  }
  return std::string(Trim(texto));
}

// The first line that says something, up to " — " or " - " (the rest is the lesson's subtitle).
std::string TitleOf(const fs::path& guia) {
  // A guide is a page: anything much longer is no guide of ours, and its name says enough.
  const TFileContents lido = ReadWholeFile(guia, 1 << 20);
  if (lido.Status != TFileReadStatus::Read) return guia.stem().string();
  const std::string& texto = lido.Bytes;
  std::size_t inicio = 0;
  while (inicio < texto.size()) {
    const std::size_t fim = std::min(texto.find('\n', inicio), texto.size());
    std::string linha = WithoutTags(Trim(std::string_view(texto).substr(inicio, fim - inicio)));
    inicio = fim + 1;
    if (linha.empty()) continue;
    for (const char* traco : {" \xE2\x80\x94 ", " - "})
      if (const std::size_t k = linha.find(traco); k != std::string::npos) linha.resize(k);
    return linha;
  }
  return guia.stem().string();
}

}  // namespace

std::vector<TLesson> FindLessons(const fs::path& pasta) {
  std::vector<TLesson> aulas;
  std::error_code erro;
  for (fs::directory_iterator it(pasta, erro), fim; !erro && it != fim; it.increment(erro)) {
    const fs::path cena = it->path();
    if (!EqualsIgnoringAsciiCase(cena.extension().string(), ".xml")) continue;
    for (const char* tipo : {".txt", ".html"}) {
      fs::path guia = cena;
      guia.replace_extension(tipo);
      if (fs::is_regular_file(guia, erro)) {
        aulas.push_back({cena, guia, TitleOf(guia)});
        break;
      }
    }
  }
  std::sort(aulas.begin(), aulas.end(), [](const TLesson& a, const TLesson& b) { return a.Scene < b.Scene; });
  return aulas;
}
