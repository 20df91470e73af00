#include "scene/obj_loader.h"

#include "common/ascii_text.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "scene/model_file.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Exporters separate fields with runs of blanks and tabs; a stray carriage return counts as one too.
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view SkipBlanks(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

// The next field of `resto` (empty at the end); `resto` moves past it.
std::string_view NextField(std::string_view& resto) {
  resto = SkipBlanks(resto);
  size_t fim = 0;
  while (fim < resto.size() && !IsBlank(resto[fim])) ++fim;
  const std::string_view campo = resto.substr(0, fim);
  resto.remove_prefix(fim);
  return campo;
}

std::string UpperCopy(std::string_view s) {
  std::string r(s);
  MakeUpperAscii(r);
  return r;
}

// The offending text as the error shows it: a runaway line would not fit a message box.
std::string QuotedText(std::string_view texto) {
  constexpr size_t limite = 40;
  // Appended piece by piece: GCC 12 gives a false -Wrestrict on "'" + std::string(...) at -O3.
  std::string citacao(1, '\'');
  citacao.append(texto.substr(0, limite));
  if (texto.size() > limite) citacao.append("...");
  citacao.push_back('\'');
  return citacao;
}

// Where in a file the reader stands, for the errors it raises.
struct TSourceLine {
  const std::string& arquivo;
  int linha;
  [[noreturn]] void Fail(const std::string& detalhe) const { throw EModelError(arquivo, linha, detalhe); }
};

// The same conversion whatever the process locale: "." is the decimal point.
float ReadRealField(std::string_view campo, std::string_view forma, const TSourceLine& local) {
  float valor = 0;
  if (!ParseFloatField(campo, valor)) {
    local.Fail(QuotedText(campo) + " não é um número real válido; esperado " + std::string(forma));
  }
  return valor;
}

// Up to nine digits after an optional '-': every index of a real model, read without the general road.
bool ParseShortIndex(std::string_view campo, int32_t& valor) {
  const bool negativo = !campo.empty() && campo.front() == '-';
  if (negativo) campo.remove_prefix(1);
  if (campo.empty() || campo.size() > 9) return false;
  int32_t r = 0;
  for (const char c : campo) {
    const auto d = static_cast<unsigned>(c - '0');
    if (d > 9) return false;
    r = r * 10 + static_cast<int32_t>(d);
  }
  valor = negativo ? -r : r;
  return true;
}

int32_t ReadIntegerField(std::string_view campo, const TSourceLine& local) {
  int32_t valor = 0;
  if (ParseShortIndex(campo, valor)) return valor;
  if (!ParseIntField(campo, valor)) {
    local.Fail(QuotedText(campo) + " não é um número inteiro válido; esperado 'f v', 'f v/t', 'f v//n' ou " +
               "'f v/t/n'");
  }
  return valor;
}

// Reads between `minimo` and `maximo` numbers into `destino` (those past `guardados` are checked only);
// returns how many there were. Each number is read where it stands, in one pass over its bytes.
int ReadNumbers(std::string_view resto, float* destino, int guardados, int minimo, int maximo,
                std::string_view forma, const TSourceLine& local) {
  // The usual line is read in one call; whatever it leaves is checked number by number below.
  float lidos[16];
  int n = static_cast<int>(ParseFloatFields(resto, lidos, static_cast<size_t>(std::min(maximo, 16))));
  std::copy(lidos, lidos + std::min(n, guardados), destino);
  for (resto = SkipBlanks(resto); !resto.empty(); resto = SkipBlanks(resto)) {
    if (n == maximo) local.Fail("números demais; esperado " + std::string(forma));
    float valor = 0;
    const size_t comprimento = ParseLeadingFloatField(resto, valor);
    if (comprimento == 0) {
      valor = ReadRealField(NextField(resto), forma, local);
    } else {
      resto.remove_prefix(comprimento);
    }
    if (n < guardados) destino[n] = valor;
    ++n;
  }
  if (n < minimo) local.Fail("números de menos; esperado " + std::string(forma));
  return n;
}

// OBJ counts negative numbers back from the last item read so far; one that reaches before the first item
// stays as read, and the checks before use keep it out.
int32_t ResolveRelative(int32_t numero, int32_t lidos) {
  if (numero >= 0) return numero;
  const int64_t absoluto = static_cast<int64_t>(lidos) + 1 + numero;
  return absoluto >= 1 ? static_cast<int32_t>(absoluto) : numero;
}

void SplitPath(const std::string& nome, TModel& modelo) {
  const size_t barra = nome.find_last_of("\\/");
  if (barra == std::string::npos) {
    modelo.Path.clear();
    modelo.FileName = nome;
    return;
  }
  modelo.Path = nome.substr(0, barra + 1);
  modelo.FileName = nome.substr(barra + 1);
}

void Notify(const TModelNotice& aviso, const std::string& texto, const std::string& titulo) {
  if (aviso) aviso(texto, titulo);
}

class TModelReader {
 public:
  TModelReader(const std::string& nome, const TModelNotice& aviso) : name_(nome), notice_(aviso) {
    SplitPath(nome, model_);
  }

  TModel Read(std::string_view texto) {
    ReserveForLines(texto);
    if (texto.find('\\') == std::string_view::npos) {
      ReadUncontinuedLines(texto);
    } else {
      ReadLines(texto);
    }
    return std::move(model_);
  }

 private:
  // Without a backslash no line goes on in the next, so the lines are taken straight from the text, as
  // TModelLines would give them.
  void ReadUncontinuedLines(std::string_view texto) {
    int numero = 0;
    for (size_t inicio = 0; inicio < texto.size();) {
      size_t fim = texto.find('\n', inicio);
      if (fim == std::string_view::npos) fim = texto.size();
      const size_t proximo = fim + 1;
      while (fim > inicio && texto[fim - 1] == '\r') --fim;
      ++numero;
      const std::string_view linha = SkipBlanks(texto.substr(inicio, fim - inicio));
      inicio = proximo;
      if (linha.empty() || linha.front() == '#') continue;
      Interpret(linha, TSourceLine{name_, numero});
    }
  }

  void ReadLines(std::string_view texto) {
    TModelLines linhas(texto);
    std::string_view linha;
    while (linhas.Next(linha)) {
      linha = SkipBlanks(linha);
      if (linha.empty() || linha.front() == '#') continue;
      Interpret(linha, TSourceLine{name_, linhas.Line()});
    }
  }

  // A large model would otherwise grow its arrays many times over; one quick pass over the line starts
  // sizes them at once, the faces of each group included (a group starts at each group or object line).
  void ReserveForLines(std::string_view texto) {
    size_t v = 0, vn = 0, vt = 0;
    facesPerGroup_.assign(1, 0);
    for (size_t p = 0; p + 2 < texto.size();) {
      const char chave = ToUpperAscii(texto[p]);
      const bool sozinha = IsBlank(texto[p + 1]);
      if (chave == 'V') {
        if (sozinha) ++v;
        if (texto[p + 1] == 'n') ++vn;
        if (texto[p + 1] == 't') ++vt;
      } else if (chave == 'F' && sozinha) {
        ++facesPerGroup_.back();
      } else if ((chave == 'G' || chave == 'O') && sozinha) {
        facesPerGroup_.push_back(0);
      }
      const size_t quebra = texto.find('\n', p);
      if (quebra == std::string_view::npos) break;
      p = quebra + 1;
    }
    model_.Vertices.reserve(v + 1);
    model_.Normals.reserve(vn + 1);
    model_.TexCoords.reserve(vt + 1);
    model_.Groups.reserve(facesPerGroup_.size() + 1);
  }

  void Interpret(std::string_view linha, const TSourceLine& local) {
    // Nearly every line of a large model is a lower-case vertex or face line: those skip the key's reading.
    if (linha.size() > 1 && IsBlank(linha[1])) {
      if (linha[0] == 'v') return ReadVertex(linha.substr(2), local);
      if (linha[0] == 'f') return ReadFace(linha.substr(2), local);
    }
    std::string_view resto = linha;
    const std::string_view chave = NextField(resto);
    if (chave.size() == 1) {
      switch (ToUpperAscii(chave[0])) {
        case 'V':
          return ReadVertex(resto, local);
        case 'F':
          return ReadFace(resto, local);
        case 'G':
        case 'O':
          // An object line starts a group as a group line does, so that each object keeps its material.
          return NewGroup(UpperCopy(Trim(resto)), true);
        default:
          return;
      }
    }
    if (EqualsIgnoringAsciiCase(chave, "vn")) {
      model_.Normals.push_back(ReadTriple(resto, "'vn x y z'", 3, local));
      ++model_.NormalCount;
    } else if (EqualsIgnoringAsciiCase(chave, "vt")) {
      float uv[2] = {0, 0};
      ReadNumbers(resto, uv, 2, 1, 3, "'vt u [v [w]]'", local);
      model_.TexCoords.push_back({uv[0], uv[1]});
      ++model_.TexCoordCount;
    } else if (EqualsIgnoringAsciiCase(chave, "usemtl")) {
      // The name runs to the end of the line, trailing blanks included.
      UseMaterial(UpperCopy(SkipBlanks(resto)));
    } else if (EqualsIgnoringAsciiCase(chave, "mtllib")) {
      ReadLibrary(UpperCopy(SkipBlanks(resto)));
    }
  }

  static TVertex3f ReadTriple(std::string_view resto, std::string_view forma, int maximo,
                              const TSourceLine& local) {
    float v[3] = {0, 0, 0};
    ReadNumbers(resto, v, 3, 3, maximo, forma, local);
    return {v[0], v[1], v[2]};
  }

  // A weight or a colour (r g b, some exporters add alpha) may follow x y z; none of them is used.
  void ReadVertex(std::string_view resto, const TSourceLine& local) {
    model_.Vertices.push_back(ReadTriple(resto, "'v x y z' (seguido de w ou de r g b)", 7, local));
    ++model_.VertexCount;
  }

  // `linhaDeGrupo`: the group starts at a group or object line, not before the first one.
  void NewGroup(std::string nome, bool linhaDeGrupo) {
    if (linhaDeGrupo) ++groupLines_;
    TGroup grupo;
    grupo.Name = std::move(nome);
    const size_t previstas = groupLines_ < facesPerGroup_.size() ? facesPerGroup_[groupLines_] : 0;
    grupo.Faces.reserve(previstas + 1);
    grupo.Faces.resize(1);
    model_.Groups.push_back(std::move(grupo));
    ++model_.GroupCount;
  }

  // Faces and material uses before any group line gather in a group without a name.
  TGroup& CurrentGroup() {
    if (model_.GroupCount == 0) NewGroup(std::string(), false);
    return model_.Groups.back();
  }

  // Corners may be v, v/t, v//n or v/t/n, mixed in one face. Where some corner of the face has a texture
  // (normal) number, every corner gets one, 0 where it has none.
  void ReadFace(std::string_view resto, const TSourceLine& local) {
    // Most faces are triangles or quads: their corners are gathered here and copied once, at their size.
    cornerVertices_.clear();
    cornerTexCoords_.clear();
    cornerNormals_.clear();
    bool comTextura = false, comNormal = false;
    for (resto = SkipBlanks(resto); !resto.empty(); resto = SkipBlanks(resto)) {
      TCorner c{0, 0, 0};
      bool temTextura = false, temNormal = false;
      const size_t comprimento = ScanCorner(resto, c, temTextura, temNormal);
      if (comprimento != 0) {
        resto.remove_prefix(comprimento);
      } else {
        c = TCorner{0, 0, 0};
        ReadCorner(NextField(resto), c, temTextura, temNormal, local);
      }
      c.v = ResolveRelative(c.v, model_.VertexCount);
      if (temTextura) c.t = ResolveRelative(c.t, model_.TexCoordCount);
      if (temNormal) c.n = ResolveRelative(c.n, model_.NormalCount);
      comTextura = comTextura || temTextura;
      comNormal = comNormal || temNormal;
      cornerVertices_.push_back(c.v);
      cornerTexCoords_.push_back(c.t);
      cornerNormals_.push_back(c.n);
    }
    if (cornerVertices_.empty()) local.Fail("face sem cantos; esperado 'f v1 v2 v3 ...'");
    TGroup& grupo = CurrentGroup();
    TFace& face = grupo.Faces.emplace_back();
    ++grupo.FaceCount;
    face.Count = static_cast<int32_t>(cornerVertices_.size());
    face.VertexIndex.assign(cornerVertices_.begin(), cornerVertices_.end());
    if (comTextura) face.TexCoordIndex.assign(cornerTexCoords_.begin(), cornerTexCoords_.end());
    if (comNormal) face.NormalIndex.assign(cornerNormals_.begin(), cornerNormals_.end());
  }

  struct TCorner {
    int32_t v, t, n;
  };

  // The usual corner forms with short numbers, read where they stand: returns the corner's length, or 0
  // for anything else, which ReadCorner then reads (or refuses) as a whole.
  static size_t ScanCorner(std::string_view texto, TCorner& c, bool& temTextura, bool& temNormal) {
    size_t i = 0;
    if (!ScanShortIndex(texto, i, c.v)) return 0;
    if (i < texto.size() && texto[i] == '/') {
      ++i;
      if (i < texto.size() && texto[i] == '/') {
        ++i;
        if (!ScanShortIndex(texto, i, c.n)) return 0;
        temNormal = true;
      } else {
        if (!ScanShortIndex(texto, i, c.t)) return 0;
        temTextura = true;
        if (i < texto.size() && texto[i] == '/') {
          ++i;
          if (!ScanShortIndex(texto, i, c.n)) return 0;
          temNormal = true;
        }
      }
    }
    return (i == texto.size() || IsBlank(texto[i])) ? i : 0;
  }

  // Up to nine digits after an optional '-', from `i` on; `i` moves past them.
  static bool ScanShortIndex(std::string_view texto, size_t& i, int32_t& valor) {
    size_t p = i;
    const bool negativo = p < texto.size() && texto[p] == '-';
    if (negativo) ++p;
    const size_t inicio = p;
    int64_t r = 0;
    for (; p < texto.size() && p - inicio < 10; ++p) {
      const auto d = static_cast<unsigned>(texto[p] - '0');
      if (d > 9) break;
      r = r * 10 + d;
    }
    if (p == inicio || p - inicio > 9) return false;
    valor = static_cast<int32_t>(negativo ? -r : r);
    i = p;
    return true;
  }

  static void ReadCorner(std::string_view canto, TCorner& c, bool& temTextura, bool& temNormal,
                         const TSourceLine& local) {
    const size_t b1 = canto.find('/');
    const size_t b2 = (b1 == std::string_view::npos) ? b1 : canto.find('/', b1 + 1);
    c.v = ReadIntegerField(canto.substr(0, b1), local);
    if (b1 != std::string_view::npos) {
      const std::string_view textura = canto.substr(b1 + 1, b2 == std::string_view::npos ? b2 : b2 - b1 - 1);
      if (!textura.empty()) c.t = ReadIntegerField(textura, local);
      if (b2 != std::string_view::npos) c.n = ReadIntegerField(canto.substr(b2 + 1), local);
    }
    temTextura = b1 != std::string_view::npos && b1 + 1 != b2;
    temNormal = b2 != std::string_view::npos;
  }

  // Every equal name wins over the ones before it, so the last definition of a name is the one used.
  void UseMaterial(std::string_view nome) {
    TGroup& grupo = CurrentGroup();
    for (int32_t m = 1; m <= model_.MaterialCount && m < static_cast<int32_t>(model_.Materials.size()); ++m) {
      if (model_.Materials[m].Name == nome) grupo.MaterialIndex = m;
    }
  }

  void ReadLibrary(const std::string& nome) {
    const std::string completo = model_.Path + nome;
    fs::path arquivo = FindFile(completo);
    std::error_code ec;
    if (!fs::is_regular_file(arquivo, ec)) {
      // A name written with backslashes on another system still names a file here.
      std::string comBarras = completo;
      std::replace(comBarras.begin(), comBarras.end(), '\\', '/');
      arquivo = FindFile(comBarras);
    }
    if (!fs::is_regular_file(arquivo, ec)) {
      Notify(notice_, "Cannot find the material file : " + completo, "Load Model Material");
      return;
    }
    TFileContents conteudo = ReadWholeFile(arquivo);
    if (conteudo.Status != TFileReadStatus::Read) {
      // Materials only colour the model: without them it still loads, and the user is told why.
      Notify(
          notice_,
          "Não foi possível ler o arquivo de materiais : " + completo + " (" + conteudo.Error.message() + ")",
          "Load Model Material");
      return;
    }
    ReadMaterials(conteudo.Bytes, completo);
  }

  void ReadMaterials(std::string_view texto, const std::string& arquivo) {
    TModelLines linhas(texto);
    std::string_view linha;
    while (linhas.Next(linha)) {
      linha = SkipBlanks(linha);
      if (linha.empty() || linha.front() == '#') continue;
      InterpretMaterial(linha, TSourceLine{arquivo, linhas.Line()});
    }
  }

  void InterpretMaterial(std::string_view linha, const TSourceLine& local) {
    std::string_view resto = linha;
    const std::string_view chave = NextField(resto);
    if (EqualsIgnoringAsciiCase(chave, "newmtl")) {
      TMaterial material;
      material.Name = UpperCopy(Trim(resto));
      material.Shininess = 60;
      model_.Materials.push_back(std::move(material));
      ++model_.MaterialCount;
      return;
    }
    // Colour lines before the first material have nothing to colour.
    if (model_.MaterialCount == 0) return;
    TMaterial& atual = model_.Materials.back();
    float* cor = nullptr;
    if (EqualsIgnoringAsciiCase(chave, "Ka")) cor = atual.Ambient;
    if (EqualsIgnoringAsciiCase(chave, "Kd")) cor = atual.Diffuse;
    if (EqualsIgnoringAsciiCase(chave, "Ks")) cor = atual.Specular;
    if (cor != nullptr) {
      ReadColour(resto, cor, local);
    } else if (EqualsIgnoringAsciiCase(chave, "Ns")) {
      ReadNumbers(resto, &atual.Shininess, 1, 1, 1, "'Ns valor'", local);
    }
  }

  // One value is a grey; past r g b, further values are not used. Spectral and CIE XYZ colours have no
  // RGB meaning here and are passed over.
  static void ReadColour(std::string_view resto, float cor[3], const TSourceLine& local) {
    std::string_view primeiro = resto;
    const std::string_view campo = NextField(primeiro);
    if (EqualsIgnoringAsciiCase(campo, "spectral") || EqualsIgnoringAsciiCase(campo, "xyz")) return;
    float lido[3] = {0, 0, 0};
    constexpr std::string_view forma = "'Kd r g b' ou 'Kd cinza'";
    const int n = ReadNumbers(resto, lido, 3, 1, 16, forma, local);
    if (n == 2) local.Fail("dois números; esperado " + std::string(forma));
    if (n == 1) lido[1] = lido[2] = lido[0];
    std::copy(lido, lido + 3, cor);
  }

  const std::string& name_;
  const TModelNotice& notice_;
  TModel model_;
  std::vector<int32_t> cornerVertices_, cornerTexCoords_, cornerNormals_;
  std::vector<size_t> facesPerGroup_;  // as the first pass counted them: before any group line, then each
  size_t groupLines_ = 0;
};

std::string LinesAsText(const std::vector<std::string>& linhas) {
  std::string texto;
  for (const auto& l : linhas) {
    texto += l;
    texto += '\n';
  }
  return texto;
}

}  // namespace

TModel LoadModelFromText(const std::string& nome, std::string_view texto, const TModelNotice& aviso) {
  return TModelReader(nome, aviso).Read(texto);
}

TModel LoadModelFromLines(const std::string& nome, const std::vector<std::string>& linhas,
                          const TModelNotice& aviso) {
  return LoadModelFromText(nome, LinesAsText(linhas), aviso);
}

TModel LoadModel(const std::string& nome, const TModelNotice& aviso) {
  const fs::path arquivo = FindFile(nome);
  std::error_code ec;
  if (!fs::exists(arquivo, ec)) {
    TModel vazio;
    SplitPath(nome, vazio);
    Notify(aviso, "Cannot find the model : " + nome, "Load Model");
    return vazio;
  }
  return LoadModelFromText(nome, ReadModelText(arquivo), aviso);
}
