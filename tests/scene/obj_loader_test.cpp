#include "scene/obj_loader.h"
#include "scene/mesh_prep.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Avisos {
  std::vector<std::pair<std::string, std::string>> recebidos;
  TModelNotice Receptor() {
    return [this](const std::string& texto, const std::string& titulo) {
      recebidos.emplace_back(texto, titulo);
    };
  }
};

TModel Read(const std::vector<std::string>& linhas, const std::string& nome = "mem/modelo.obj") {
  return LoadModelFromLines(nome, linhas, {});
}

int LinhaDoErro(const std::vector<std::string>& linhas) {
  try {
    Read(linhas);
  } catch (const EModelError& e) {
    EXPECT_EQ(e.Arquivo(), "mem/modelo.obj");
    EXPECT_NE(std::string(e.what()).find("mem/modelo.obj"), std::string::npos);
    return e.Linha();
  }
  return 0;
}

void EsperaVertice(const TModel& m, int i, float x, float y, float z) {
  ASSERT_GE(m.VertexCount, i);
  EXPECT_EQ(m.Vertices[i].x, x);
  EXPECT_EQ(m.Vertices[i].y, y);
  EXPECT_EQ(m.Vertices[i].z, z);
}

// Restores the process locale, C and C++, whatever the test switched to.
class LocaleGuard {
 public:
  LocaleGuard() : c_(std::setlocale(LC_ALL, nullptr)), cpp_(std::locale()) {}
  ~LocaleGuard() {
    std::setlocale(LC_ALL, c_.c_str());
    std::locale::global(cpp_);
  }

 private:
  std::string c_;
  std::locale cpp_;
};

struct VirgulaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(NumerosDoModelo, LeiturasIndependemDoLocale) {
  LocaleGuard guarda;
  const std::vector<std::string> linhas{"v 1.5 -2 3", "vn 0.25 0.5 -0.75", "vt 0.125 1.5"};
  std::setlocale(LC_ALL, "C");
  EsperaVertice(Read(linhas), 1, 1.5f, -2, 3);
  // A C++ global locale with a comma does not reach the C library but would break stream-based parsing.
  std::locale::global(std::locale(std::locale::classic(), new VirgulaDecimal));
  const TModel comFaceta = Read(linhas);
  EsperaVertice(comFaceta, 1, 1.5f, -2, 3);
  EXPECT_EQ(comFaceta.TexCoords[1].u, 0.125f);

  const char* candidatos[] = {"de_DE.UTF-8", "pt_BR.UTF-8", "de_DE.utf8", "pt_BR.utf8", "fr_FR.UTF-8"};
  bool virgula = false;
  for (const char* nome : candidatos) {
    if (std::setlocale(LC_ALL, nome) != nullptr && *std::localeconv()->decimal_point == ',') {
      virgula = true;
      break;
    }
  }
  if (!virgula) GTEST_SKIP() << "no comma-decimal locale installed; only the C and C++ locale checks ran";
  const TModel m = Read(linhas);
  EsperaVertice(m, 1, 1.5f, -2, 3);
  EXPECT_EQ(m.Normals[1].z, -0.75f);
  EXPECT_EQ(m.TexCoords[1].v, 1.5f);
  EXPECT_THROW(Read({"v 1,5 2 3"}), EModelError);
}

TEST(NumerosDoModelo, FormasAceitas) {
  const TModel m = Read(
      {"v +1.5 .5 5.", "v 1e2 -0 1E-400", "V\t1 2 3", "vx 1 2", "vn  1 2 3 ", "vt 1 2  ", "vt 0.25 0.75 0"});
  EsperaVertice(m, 1, 1.5f, 0.5f, 5);
  EsperaVertice(m, 2, 100, 0, 0);
  EsperaVertice(m, 3, 1, 2, 3);
  EXPECT_EQ(m.VertexCount, 3);  // a tab separates fields as a blank does; "VX" is not a vertex line
  EXPECT_EQ(m.Normals[1].x, 1);
  EXPECT_EQ(m.TexCoords[1].v, 2);
  EXPECT_EQ(m.TexCoords[2].v, 0.75f) << "a third texture component is read past";
}

TEST(NumerosDoModelo, CampoMalFormadoNomeiaALinha) {
  const char* ruins[] = {"v 1 2",
                         "v 1 2 x",
                         "v 1,5 2 3",
                         "v 1e39 2 3",
                         "v inf 0 0",
                         "v nan 0 0",
                         "v 0x1p3 0 0",
                         "v ++1 0 0",
                         "v 1 2 3 4 5 6 7 8",
                         "vn 1 2 3 4",
                         "vn 1 2",
                         "vt",
                         "vt 0.5 0.5 x",
                         "vt 0.5 0.5 0 0",
                         "f 1 2 a",
                         "f 1.0 2 3",
                         "f 1 2 99999999999",
                         "f",
                         "f 1/x/1 2 3",
                         "f 1///2 2 3",
                         "f 1 2 -",
                         "f 1/1/ 2 3",
                         "f 1/1/1/1 2 3",
                         "f 1 2 3x",
                         "f 1//1x 2 3",
                         "v 1.5x 0 0",
                         "v 1 2 3.4.5"};
  for (const char* ruim : ruins) {
    SCOPED_TRACE(ruim);
    EXPECT_EQ(LinhaDoErro({"# cabeçalho", "v 0 0 0", "", ruim, "v 1 1 1"}), 4);
  }
}

TEST(FacesDoModelo, TresFormasDeCanto) {
  const TModel m =
      Read({"v 0 0 0", "v 1 0 0", "v 0 1 0", "vt 0 0", "vt 1 0", "vt 0 1", "vn 0 0 1", "vn 0 0 1", "vn 0 0 1",
            "g a", "f 1 2 3", "f 1/4/7 2/5/8 3/6/9", "f 1//4 2//5 3//6", "f 1 2 3 1"});
  const auto& faces = m.Groups[1].Faces;
  ASSERT_EQ(m.Groups[1].FaceCount, 4);
  EXPECT_EQ(faces[1].VertexIndex, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_TRUE(faces[1].TexCoordIndex.empty());
  EXPECT_TRUE(faces[1].NormalIndex.empty());
  EXPECT_EQ(faces[2].TexCoordIndex, (std::vector<int32_t>{4, 5, 6}));
  EXPECT_EQ(faces[2].NormalIndex, (std::vector<int32_t>{7, 8, 9}));
  EXPECT_EQ(faces[3].VertexIndex, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(faces[3].NormalIndex, (std::vector<int32_t>{4, 5, 6}));
  EXPECT_TRUE(faces[3].TexCoordIndex.empty());
  EXPECT_EQ(faces[4].Count, 4);
}

// Long, signed or zero-padded numbers and a corner ending in '/' are rarer than the usual forms but read the
// same.
TEST(FacesDoModelo, CantosIncomunsLemComoOsUsuais) {
  const TModel m = Read({"v 0 0 0", "v 1 0 0", "v 0 1 0", "vt 0 0", "f 0000000003 +2 -0000000003/1",
                         "f 1/ 2\t3", "v 12345678901234567890 -0.000000000000000000000001 1e1"});
  const auto& faces = m.Groups[1].Faces;
  EXPECT_EQ(faces[1].VertexIndex, (std::vector<int32_t>{3, 2, 1}));
  EXPECT_EQ(faces[1].TexCoordIndex, (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(faces[2].VertexIndex, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(faces[2].TexCoordIndex, (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(m.Vertices[4].x, 12345678901234567890.0f);
  EXPECT_EQ(m.Vertices[4].y, -1e-24f);
  EXPECT_EQ(m.Vertices[4].z, 10.0f);
}

TEST(FacesDoModelo, NumerosNegativosContamDoFimLidoAteAli) {
  const TModel m = Read({"v 0 0 0", "v 1 0 0", "v 0 1 0", "vn 0 0 1", "f -3//-1 -2//-1 -1//-1", "v 5 5 5",
                         "f -1 -2 -3", "f -4 -5 -1"});
  const auto& faces = m.Groups[1].Faces;
  EXPECT_EQ(faces[1].VertexIndex, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(faces[1].NormalIndex, (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(faces[2].VertexIndex, (std::vector<int32_t>{4, 3, 2}));
  // -5 reaches before the first vertex: it stays as read and the face is not used.
  EXPECT_EQ(faces[3].VertexIndex, (std::vector<int32_t>{1, -5, 4}));
  EXPECT_TRUE(ValidFace(m, faces[2]));
  EXPECT_FALSE(ValidFace(m, faces[3]));
}

TEST(FacesDoModelo, FaceValidaRecusaNumerosForaDosArrays) {
  const TModel m =
      Read({"v 0 0 0", "v 1 0 0", "v 0 1 0", "vt 0 0", "vn 0 0 1", "f 1 2 3", "f 0 1 2", "f 1 2 4",
            "f 1/1/1 2/1/1 3/2/1", "f 1/1/1 2/1/1 3/1/2", "f 1//1 2//1 3//1", "f 1//1 2//1 3//9"});
  const auto& faces = m.Groups[1].Faces;
  // Only the vertex numbers decide: a face with wrong texture or normal numbers still has its shape.
  const bool esperado[] = {true, false, false, true, true, true, true};
  for (int f = 1; f <= 7; ++f) EXPECT_EQ(ValidFace(m, faces[f]), esperado[f - 1]) << "face " << f;
  EXPECT_NE(CornerNormal(m, faces[7], 1), nullptr);
  EXPECT_EQ(CornerNormal(m, faces[7], 2), nullptr);
  EXPECT_EQ(CornerNormal(m, faces[1], 0), nullptr);
  TFace incoerente = faces[1];
  incoerente.Count = 5;
  EXPECT_FALSE(ValidFace(m, incoerente));
}

TEST(GruposDoModelo, FacesAntesDoPrimeiroGrupoFicamNumGrupoSemNome) {
  const TModel m =
      Read({"v 0 0 0", "v 1 0 0", "v 0 1 0", "f 1 2 3", "g  Tampa ", "f 3 2 1", "o x", "s 1", "l 1 2"});
  ASSERT_EQ(m.GroupCount, 3);  // an object line starts a group of its own
  EXPECT_EQ(m.Groups[3].Name, "X");
  EXPECT_EQ(m.Groups[1].Name, "");
  EXPECT_EQ(m.Groups[1].FaceCount, 1);
  EXPECT_EQ(m.Groups[2].Name, "TAMPA");
  EXPECT_EQ(m.Groups[2].Faces[1].VertexIndex, (std::vector<int32_t>{3, 2, 1}));
}

TEST(LinhasDoModelo, FinalCRLFEContinuacao) {
  const TModel m = Read({"v 1 2 \\", "3\r", "g par\\\r", "te\\", "v 9 9 9", "f 1 2\\", " 1"});
  EsperaVertice(m, 1, 1, 2, 3);
  // A continued line goes on as long as each piece ends in a backslash: "te\" takes "v 9 9 9" along.
  EXPECT_EQ(m.Groups[1].Name, "PARTEV 9 9 9");
  EXPECT_EQ(m.VertexCount, 1);
  EXPECT_EQ(m.Groups[1].Faces[1].VertexIndex, (std::vector<int32_t>{1, 2, 1}));
}

TEST(LinhasDoModelo, ContinuacaoNaoAceitaCampoVazio) {
  // "v 4 " joined with "5 " leaves "v 4 5 " whose trimmed text lacks a third field.
  EXPECT_EQ(LinhaDoErro({"v 0 0 0", "v 4 \\", "5 "}), 2);
}

TEST(CaminhoDoModelo, ModeloAusenteAvisaEDevolveModeloVazio) {
  Avisos avisos;
  const TModel m = LoadModel("/nao/existe\\sub/cubo.obj", avisos.Receptor());
  ASSERT_EQ(avisos.recebidos.size(), 1u);
  EXPECT_EQ(avisos.recebidos[0].first, "Cannot find the model : /nao/existe\\sub/cubo.obj");
  EXPECT_EQ(avisos.recebidos[0].second, "Load Model");
  EXPECT_EQ(m.Path, "/nao/existe\\sub/");
  EXPECT_EQ(m.FileName, "cubo.obj");
  EXPECT_EQ(m.VertexCount, 0);
  EXPECT_EQ(m.Materials.size(), 1u);
  EXPECT_EQ(Read({}, "a/b\\c.obj").Path, "a/b\\");
  EXPECT_EQ(Read({}, "c.obj").Path, "");
}

TEST(CaminhoDoModelo, ArquivoQueNaoSeLeLancaErroComONome) {
  TTempFolder pasta;
  fs::create_directory(pasta.Path() / "pasta.obj");
  const std::string nome = (pasta.Path() / "pasta.obj").string();
  try {
    LoadModel(nome, {});
    FAIL() << "a folder was read as a model";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(nome), std::string::npos);
  }
}

class MateriaisDoModelo : public testing::Test {
 protected:
  TModel Carrega(const std::string& obj) {
    return LoadModel(pasta.Write("Casa.obj", obj), avisos.Receptor());
  }
  TTempFolder pasta;
  Avisos avisos;
};

TEST_F(MateriaisDoModelo, UsemtlEscolheOUltimoNomeIgual) {
  pasta.Write("cores.mtl",
              "Kd 9 9 9\r\nnewmtl red\nKd 1 0 0\nKa 0.1 0.2 0.3\nnewmtl blue\nKs 0 0 1\nNs 10\nnewmtl Red\n"
              "Kd 0.5 0 0\n");
  const TModel m = Carrega(
      "mtllib cores.mtl\nv 0 0 0\ng a\nusemtl Red\ng b\nUSEMTL BLUE\nusemtl blue \ng c\nusemtl verde\ng d\n");
  EXPECT_TRUE(avisos.recebidos.empty());
  ASSERT_EQ(m.MaterialCount, 3);
  EXPECT_EQ(m.Materials[1].Name, "RED");
  EXPECT_EQ(m.Materials[1].Ambient[2], 0.3f);
  EXPECT_EQ(m.Materials[1].Shininess, 60);
  EXPECT_EQ(m.Materials[2].Shininess, 10);
  EXPECT_EQ(m.Groups[1].MaterialIndex, 3);  // both RED entries match; the last one wins
  EXPECT_EQ(m.Groups[2].MaterialIndex, 2);  // the trailing space names no material: BLUE stays
  EXPECT_EQ(m.Groups[3].MaterialIndex, 0);
  EXPECT_EQ(m.Groups[4].MaterialIndex, 0);
  EXPECT_EQ(m.Materials[0].Shininess, 0);
  EXPECT_EQ(m.Materials[0].Diffuse[0], 0);
}

TEST_F(MateriaisDoModelo, UsemtlAntesDoPrimeiroGrupoVaiParaOGrupoImplicito) {
  pasta.Write("c.mtl", "newmtl a\r\n");
  const TModel m = Carrega("mtllib c.mtl\r\nusemtl A\r\nv 0 0 0\r\nf 1 1 1\r\n");
  ASSERT_EQ(m.GroupCount, 1);
  EXPECT_EQ(m.Groups[1].MaterialIndex, 1);
}

TEST_F(MateriaisDoModelo, ArquivoDeMaterialAusenteAvisaEContinua) {
  const TModel m = Carrega("mtllib falta.mtl\nv 1 2 3\ng a\nusemtl x\n");
  ASSERT_EQ(avisos.recebidos.size(), 1u);
  EXPECT_EQ(avisos.recebidos[0].first,
            "Cannot find the material file : " + (pasta.Path() / "FALTA.MTL").string());
  EXPECT_EQ(avisos.recebidos[0].second, "Load Model Material");
  EXPECT_EQ(m.VertexCount, 1);
  EXPECT_EQ(m.MaterialCount, 0);
  EXPECT_EQ(m.Groups[1].MaterialIndex, 0);
}

TEST_F(MateriaisDoModelo, NumeroRuimNoMaterialNomeiaOArquivoDeMaterial) {
  pasta.Write("m.mtl", "newmtl a\n\nKd 1 2\n");
  try {
    Carrega("mtllib m.mtl\n");
    FAIL() << "malformed colour accepted";
  } catch (const EModelError& e) {
    EXPECT_EQ(e.Arquivo(), (pasta.Path() / "M.MTL").string());
    EXPECT_EQ(e.Linha(), 3);
  }
}

TEST(FormasDeOutrosProgramas, BrancosCoresPesoEFacesMistas) {
  const TModel m = Read({"v   1.0   2.0   3.0", "v\t4\t5\t6", "v 7 8 9 1", "v 1 1 1 0.75 0.5 0.25",
                         "  v 2 2 2", "vt  0.5  0.25", "vt 0.5", "vn\t0  0 1", "vn 0 1 0", "o Peca",
                         "f 1/1 2/2 3/1", "f 1 2/1 3//2", "f 1/2/1 2//2 3", "f 1//1\t2//1   3//1  "});
  EsperaVertice(m, 1, 1, 2, 3);
  EsperaVertice(m, 2, 4, 5, 6);
  EsperaVertice(m, 3, 7, 8, 9);
  EsperaVertice(m, 4, 1, 1, 1);
  EsperaVertice(m, 5, 2, 2, 2);
  EXPECT_EQ(m.TexCoords[1].v, 0.25f);
  EXPECT_EQ(m.TexCoords[2].u, 0.5f);
  EXPECT_EQ(m.Normals[1].z, 1);
  ASSERT_EQ(m.GroupCount, 1);
  const auto& f = m.Groups[1].Faces;
  ASSERT_EQ(m.Groups[1].FaceCount, 4);
  EXPECT_EQ(f[1].TexCoordIndex, (std::vector<int32_t>{1, 2, 1}));
  EXPECT_TRUE(f[1].NormalIndex.empty());
  // Corners without a texture or normal number of their own get 0 beside those that have one.
  EXPECT_EQ(f[2].TexCoordIndex, (std::vector<int32_t>{0, 1, 0}));
  EXPECT_EQ(f[2].NormalIndex, (std::vector<int32_t>{0, 0, 2}));
  EXPECT_EQ(f[3].TexCoordIndex, (std::vector<int32_t>{2, 0, 0}));
  EXPECT_EQ(f[3].NormalIndex, (std::vector<int32_t>{1, 2, 0}));
  EXPECT_EQ(f[4].VertexIndex, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(f[4].NormalIndex, (std::vector<int32_t>{1, 1, 1}));
}

TEST(FormasDeOutrosProgramas, ErroDizAFormaEsperada) {
  try {
    Read({"v 0 0 0", "f 1 2 x"});
    FAIL();
  } catch (const EModelError& e) {
    EXPECT_NE(std::string(e.what()).find("mem/modelo.obj, line 2"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("'f v/t/n'"), std::string::npos);
  }
  try {
    Read({"v 0 0"});
    FAIL();
  } catch (const EModelError& e) {
    EXPECT_NE(std::string(e.what()).find("'v x y z'"), std::string::npos);
  }
}

TEST_F(MateriaisDoModelo, ObjetosGuardamCadaUmSeuMaterial) {
  pasta.Write("pecas.mtl",
              "newmtl Azul\nKd 0 0 0.8\nmap_Kd azul.png\n  newmtl Cinza\n\tKa 0.2\n  Kd 0.5 0.5 0.5 1.0\n"
              "Ks 0\nKs spectral metal.rfl\n\tNs  12\nillum 2\n");
  const TModel m = Carrega(
      "mtllib pecas.mtl\no Base\nv 0 0 0\nusemtl Cinza\nf 1 1 1\no Topo\nusemtl Azul\n"
      "f 1 1 1\n");
  EXPECT_TRUE(avisos.recebidos.empty());
  ASSERT_EQ(m.MaterialCount, 2);
  const TMaterial& cinza = m.Materials[2];
  EXPECT_EQ(cinza.Name, "CINZA");
  EXPECT_EQ(cinza.Ambient[1], 0.2f);  // one value is a grey
  EXPECT_EQ(cinza.Ambient[2], 0.2f);
  EXPECT_EQ(cinza.Diffuse[2], 0.5f);
  EXPECT_EQ(cinza.Specular[0], 0);
  EXPECT_EQ(cinza.Shininess, 12);
  ASSERT_EQ(m.GroupCount, 2);
  EXPECT_EQ(m.Groups[1].MaterialIndex, 2);
  EXPECT_EQ(m.Groups[2].MaterialIndex, 1);
}

TEST(LimitesDoModelo, ContemAOrigem) {
  TModel positivo = Read({"v 1 2 3", "v 4 5 6"});
  ComputeBounds(positivo);
  EXPECT_EQ(positivo.BoundsMin.x, 0);
  EXPECT_EQ(positivo.BoundsMin.z, 0);
  EXPECT_EQ(positivo.BoundsMax.y, 5);
  EXPECT_EQ(positivo.BoundsCentre.z, 3);
  EXPECT_EQ(positivo.MaxExtent, 6);

  TModel misto = Read({"v -4 1 -1", "v 2 -3 -2"});
  ComputeBounds(misto);
  EXPECT_EQ(misto.BoundsMin.x, -4);
  EXPECT_EQ(misto.BoundsMax.x, 2);
  EXPECT_EQ(misto.BoundsMin.y, -3);
  EXPECT_EQ(misto.BoundsMax.z, 0);
  EXPECT_EQ(misto.BoundsCentre.x, -1);
  EXPECT_EQ(misto.MaxExtent, 6);

  misto.VertexCount = 50;  // a count beyond the array must not be followed
  ComputeBounds(misto);
  EXPECT_EQ(misto.MaxExtent, 6);
}

// Random and cut texts must end in a model or one of the two errors, and the model must be safe to use.
TEST(ModeloAleatorio, NuncaLeForaDosArrays) {
  const std::vector<std::string> chaves{"v",  "v", "v",      "f",      "f", "vn",
                                        "vt", "g", "usemtl", "mtllib", "#", "o"};
  const std::vector<std::string> numeros{"1", "-1", "0", "2", "-2", "3", "1.5", "4.25"};
  const std::vector<std::string> indices{"1", "-1", "0", "2", "-2", "3", "4", "7"};
  const std::vector<std::string> estranhos{"1/1/1", "2//-1", "-1/-1/-1",   "1/2",  "/",     "//", "e9",
                                           "",      "+4",    "9999999999", "A",    "m.mtl", "-0", "\\",
                                           "\t",    ".",     "nan",        "1e40", "x",     "\r"};
  TTempFolder pasta;
  std::mt19937 gerador(20240607);
  // Mostly well-formed lines with a few odd fields, so that loads get deep before anything breaks.
  auto texto = [&](size_t linhas) {
    std::string t;
    for (size_t l = 0; l < linhas; ++l) {
      const std::string& chave = chaves[gerador() % chaves.size()];
      size_t quantos = chave == "vt"     ? 2
                       : chave == "f"    ? 3 + gerador() % 2
                       : chave[0] == 'v' ? 3
                                         : gerador() % 3;
      if (gerador() % 50 == 0) quantos = gerador() % 6;
      t += chave;
      const auto& comuns = chave == "f" ? indices : numeros;
      for (size_t c = 0; c < quantos; ++c) {
        const bool estranho = gerador() % 80 == 0;
        t += " " + (estranho ? estranhos[gerador() % estranhos.size()] : comuns[gerador() % comuns.size()]);
      }
      t += "\n";
    }
    return t;
  };
  const std::string valido =
      "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nvt 0 0\ng a\nusemtl A\nf 1/1/1 2/1/1 3/1/1\n"
      "f -1 -2 -3\n";
  int carregados = 0, recusados = 0, aleatoriosComTriangulos = 0;
  for (int i = 0; i < 600; ++i) {
    pasta.Write("m.mtl", i % 3 == 0 ? texto(gerador() % 10) : "newmtl a\nKd 1 0 0\n");
    std::string obj = (i % 2 == 0) ? texto(gerador() % 40) : valido.substr(0, gerador() % valido.size());
    if (i % 5 == 0 && !obj.empty()) obj[gerador() % obj.size()] = static_cast<char>(gerador());
    const std::string nome = pasta.Write("m.obj", obj);
    try {
      TModel m = LoadModel(nome, {});
      WeldVertices(m);
      ScaleModel(m, 2, 2, 2);
      ComputeBounds(m);
      const TCollisionMesh malha = BuildCollisionMesh(m);
      for (uint32_t indice : malha.Indices) ASSERT_LT(indice * 4u, malha.Vertices.size());
      ++carregados;
      if (i % 2 == 0 && !malha.Indices.empty()) ++aleatoriosComTriangulos;
    } catch (const EModelError&) {
      ++recusados;
    } catch (const std::runtime_error&) {
      ++recusados;
    }
  }
  // The mix must reach both ends, or the texts are not testing the deeper paths.
  EXPECT_GT(carregados, 100);
  EXPECT_GT(recusados, 100);
  EXPECT_GT(aleatoriosComTriangulos, 0);
}

}  // namespace
