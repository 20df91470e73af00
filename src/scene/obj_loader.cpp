#include "scene/obj_loader.h"

#include "common/ascii_text.h"
#include "common/number_text.h"
#include "scene/model_file.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string_view After(std::string_view s, size_t pos) {
  return pos < s.size() ? s.substr(pos) : std::string_view();
}

// Text after the first space, or nothing when the line has none.
std::string_view AfterFirstSpace(std::string_view s) {
  const size_t p = s.find(' ');
  return p == std::string_view::npos ? std::string_view() : s.substr(p + 1);
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
float ReadRealField(std::string_view campo, const TSourceLine& local) {
  float valor = 0;
  if (!ParseFloatField(campo, valor)) local.Fail(QuotedText(campo) + " is not a valid floating point value");
  return valor;
}

int32_t ReadIntegerField(std::string_view campo, const TSourceLine& local) {
  int32_t valor = 0;
  if (!ParseIntField(campo, valor)) local.Fail(QuotedText(campo) + " is not a valid integer value");
  return valor;
}

// Three numbers separated by exactly one space: the third takes the rest, so a fourth field fails with it.
void ReadThree(std::string_view texto, float destino[3], const TSourceLine& local) {
  const size_t p1 = texto.find(' ');
  const size_t p2 = (p1 == std::string_view::npos) ? p1 : texto.find(' ', p1 + 1);
  if (p2 == std::string_view::npos) local.Fail(QuotedText(texto) + " does not hold three numbers");
  destino[0] = ReadRealField(texto.substr(0, p1), local);
  destino[1] = ReadRealField(texto.substr(p1 + 1, p2 - p1 - 1), local);
  destino[2] = ReadRealField(texto.substr(p2 + 1), local);
}

TVertex3f LeVetor(std::string_view texto, const TSourceLine& local) {
  float v[3];
  ReadThree(texto, v, local);
  return {v[0], v[1], v[2]};
}

// OBJ counts negative numbers back from the last item read so far; one that reaches before the first item
// stays as read, and ValidFace keeps it out of use.
int32_t ResolveRelative(int32_t numero, int32_t lidos) {
  if (numero >= 0) return numero;
  const int64_t absoluto = static_cast<int64_t>(lidos) + 1 + numero;
  return absoluto >= 1 ? static_cast<int32_t>(absoluto) : numero;
}

enum class TFaceForm { Vertex, VertexTextureNormal, VertexNormal };

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

  TModel Read(const std::vector<std::string>& linhas) {
    for (size_t i = 0; i < linhas.size(); ++i) {
      const TSourceLine local{name_,
                              static_cast<int>(std::min<size_t>(i + 1, std::numeric_limits<int>::max()))};
      std::string linha(TrimCR(linhas[i]));
      if (linha.empty() || linha.front() == '#') continue;
      if (linha.back() == '\\') {
        linha.pop_back();
        if (i + 1 < linhas.size()) linha += TrimCR(linhas[++i]);
      }
      MakeUpperAscii(linha);
      Interpret(linha, local);
    }
    return std::move(model_);
  }

 private:
  static std::string_view TrimCR(std::string_view s) {
    while (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    return s;
  }

  void Interpret(std::string_view linha, const TSourceLine& local) {
    if (linha.empty()) return;
    switch (linha.front()) {
      case 'V':
        ReadVertexData(linha, local);
        break;
      case 'G':
        NewGroup(std::string(Trim(linha.substr(1))));
        break;
      case 'F':
        ReadFace(linha, local);
        break;
      case 'U':
        if (linha.substr(0, 6) == "USEMTL") UseMaterial(AfterFirstSpace(linha));
        break;
      case 'M':
        if (linha.substr(0, 6) == "MTLLIB") ReadLibrary(AfterFirstSpace(linha));
        break;
      default:
        break;
    }
  }

  void ReadVertexData(std::string_view linha, const TSourceLine& local) {
    if (linha.size() < 2) return;
    switch (linha[1]) {
      case ' ':
        model_.Vertices.push_back(LeVetor(Trim(After(linha, 2)), local));
        ++model_.VertexCount;
        break;
      case 'N':
        model_.Normals.push_back(LeVetor(Trim(After(linha, 2)), local));
        ++model_.NormalCount;
        break;
      case 'T':
        ReadTexCoord(linha, local);
        break;
      default:
        break;
    }
  }

  void ReadTexCoord(std::string_view linha, const TSourceLine& local) {
    const size_t p1 = linha.find(' ');
    const size_t p2 = (p1 == std::string_view::npos) ? p1 : linha.find(' ', p1 + 1);
    if (p2 == std::string_view::npos) local.Fail(QuotedText(linha) + " does not hold two numbers");
    TTexCoord2f t;
    t.u = ReadRealField(linha.substr(p1 + 1, p2 - p1 - 1), local);
    // Some exporters add a third (w) component: it must still be a number, and nothing here uses it.
    const std::string_view resto = TrimEnd(linha.substr(p2 + 1));
    const size_t p3 = resto.find(' ');
    t.v = ReadRealField(resto.substr(0, p3), local);
    if (p3 != std::string_view::npos) ReadRealField(resto.substr(p3 + 1), local);
    model_.TexCoords.push_back(t);
    ++model_.TexCoordCount;
  }

  void NewGroup(std::string nome) {
    TGroup grupo;
    grupo.Name = std::move(nome);
    grupo.Faces.resize(1);
    model_.Groups.push_back(std::move(grupo));
    ++model_.GroupCount;
  }

  // Faces and material uses before any group line gather in a group without a name.
  TGroup& CurrentGroup() {
    if (model_.GroupCount == 0) NewGroup(std::string());
    return model_.Groups.back();
  }

  void ReadFace(std::string_view linha, const TSourceLine& local) {
    const std::string_view resto = Trim(AfterFirstSpace(linha));
    TFaceForm forma = TFaceForm::Vertex;
    const size_t barra = resto.find('/');
    if (barra != std::string_view::npos) {
      forma = (barra + 1 < resto.size() && resto[barra + 1] == '/') ? TFaceForm::VertexNormal
                                                                    : TFaceForm::VertexTextureNormal;
    }
    TFace face;
    size_t inicio = 0;
    while (true) {
      const size_t espaco = resto.find(' ', inicio);
      const std::string_view canto =
          resto.substr(inicio, espaco == std::string_view::npos ? espaco : espaco - inicio);
      ReadCorner(canto, forma, face, local);
      if (espaco == std::string_view::npos) break;
      inicio = espaco + 1;
    }
    face.Count = static_cast<int32_t>(face.VertexIndex.size());
    TGroup& grupo = CurrentGroup();
    grupo.Faces.push_back(std::move(face));
    ++grupo.FaceCount;
  }

  void ReadCorner(std::string_view canto, TFaceForm forma, TFace& face, const TSourceLine& local) {
    const auto formaErrada = [&] {
      local.Fail("face corner " + QuotedText(canto) + " is not in the form of the face's first corner");
    };
    const size_t b1 = canto.find('/');
    switch (forma) {
      case TFaceForm::Vertex:
        if (b1 != std::string_view::npos) formaErrada();
        face.VertexIndex.push_back(ResolveRelative(ReadIntegerField(canto, local), model_.VertexCount));
        break;
      case TFaceForm::VertexTextureNormal: {
        const size_t b2 = (b1 == std::string_view::npos) ? b1 : canto.find('/', b1 + 1);
        if (b2 == std::string_view::npos || b2 == b1 + 1) formaErrada();
        face.VertexIndex.push_back(
            ResolveRelative(ReadIntegerField(canto.substr(0, b1), local), model_.VertexCount));
        face.TexCoordIndex.push_back(ResolveRelative(
            ReadIntegerField(canto.substr(b1 + 1, b2 - b1 - 1), local), model_.TexCoordCount));
        face.NormalIndex.push_back(
            ResolveRelative(ReadIntegerField(canto.substr(b2 + 1), local), model_.NormalCount));
        break;
      }
      case TFaceForm::VertexNormal:
        if (b1 == std::string_view::npos || b1 + 1 >= canto.size() || canto[b1 + 1] != '/') formaErrada();
        face.VertexIndex.push_back(
            ResolveRelative(ReadIntegerField(canto.substr(0, b1), local), model_.VertexCount));
        face.NormalIndex.push_back(
            ResolveRelative(ReadIntegerField(canto.substr(b1 + 2), local), model_.NormalCount));
        break;
    }
  }

  // Every equal name wins over the ones before it, so the last definition of a name is the one used.
  void UseMaterial(std::string_view nome) {
    TGroup& grupo = CurrentGroup();
    for (int32_t m = 1; m <= model_.MaterialCount && m < static_cast<int32_t>(model_.Materials.size()); ++m) {
      if (model_.Materials[m].Name == nome) grupo.MaterialIndex = m;
    }
  }

  void ReadLibrary(std::string_view nome) {
    const std::string completo = model_.Path + std::string(nome);
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
    ReadMaterials(ReadFileLines(arquivo), completo);
  }

  void ReadMaterials(const std::vector<std::string>& linhas, const std::string& arquivo) {
    for (size_t i = 0; i < linhas.size(); ++i) {
      const TSourceLine local{arquivo,
                              static_cast<int>(std::min<size_t>(i + 1, std::numeric_limits<int>::max()))};
      std::string linha(TrimCR(linhas[i]));
      if (linha.empty() || linha.front() == '#') continue;
      MakeUpperAscii(linha);
      InterpretMaterial(linha, local);
    }
  }

  void InterpretMaterial(std::string_view linha, const TSourceLine& local) {
    if (linha.substr(0, 6) == "NEWMTL") {
      TMaterial material;
      material.Name = std::string(Trim(After(linha, 6)));
      material.Shininess = 60;
      model_.Materials.push_back(std::move(material));
      ++model_.MaterialCount;
      return;
    }
    // Colour lines before the first material have nothing to colour.
    if (model_.MaterialCount == 0 || linha.size() < 2) return;
    TMaterial& atual = model_.Materials.back();
    const std::string_view chave = linha.substr(0, 2);
    float* cor = nullptr;
    if (chave == "KA") cor = atual.Ambient;
    if (chave == "KD") cor = atual.Diffuse;
    if (chave == "KS") cor = atual.Specular;
    if (cor != nullptr) {
      ReadThree(Trim(After(linha, 2)), cor, local);
    } else if (chave == "NS") {
      atual.Shininess = ReadRealField(Trim(After(linha, 2)), local);
    }
  }

  const std::string& name_;
  const TModelNotice& notice_;
  TModel model_;
};

}  // namespace

TModel LoadModelFromLines(const std::string& nome, const std::vector<std::string>& linhas,
                          const TModelNotice& aviso) {
  return TModelReader(nome, aviso).Read(linhas);
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
  return LoadModelFromLines(nome, ReadFileLines(arquivo), aviso);
}
