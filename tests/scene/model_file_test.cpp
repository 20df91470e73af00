#include "scene/model_file.h"
#include "scene/obj_loader.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Linhas = std::vector<std::string>;

TEST(FindFile, IgnoraACaixaDasLetrasComponentePorComponente) {
  TTempFolder pasta;
  const fs::path real = pasta.Write("Modelos/Sub/Cubo.OBJ", "v 0 0 0\n");
  EXPECT_EQ(FindFile(real), real);
  EXPECT_EQ(FindFile(pasta.Path() / "MODELOS/sub/cubo.obj"), real);
  const fs::path falta = pasta.Path() / "modelos/outro/cubo.obj";
  EXPECT_EQ(FindFile(falta), falta);

  pasta.Write("a.OBJ", "");
  pasta.Write("A.obj", "");
  EXPECT_EQ(FindFile(pasta.Path() / "a.obj"), pasta.Path() / "A.obj");
}

TEST(ResolveModelName, BarrasInvertidasEPastaDaCena) {
  TTempFolder pasta;
  const fs::path real = pasta.Write("Modelos/cubo.OBJ", "");
  EXPECT_EQ(ResolveModelName("modelos\\CUBO.obj", pasta.Path()), real);
  EXPECT_EQ(ResolveModelName(real.string(), "/outra/pasta"), real);
  EXPECT_EQ(ResolveModelName("sem\\nada.obj", pasta.Path()), pasta.Path() / "sem/nada.obj");
}

TEST(ReadFileLines, FinaisDeLinhaEErros) {
  TTempFolder pasta;
  EXPECT_EQ(ReadFileLines(pasta.Write("a.obj", "a\r\n\r\nb\r\r\nc")), (Linhas{"a", "", "b", "c"}));
  EXPECT_EQ(ReadFileLines(pasta.Write("b.obj", "x\n")), (Linhas{"x"}));
  EXPECT_TRUE(ReadFileLines(pasta.Write("c.obj", "")).empty());
  for (const fs::path& ruim : {pasta.Path() / "falta.obj", pasta.Path()}) {
    try {
      ReadFileLines(ruim);
      ADD_FAILURE() << ruim << " was read";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(ruim.string()), std::string::npos);
    }
  }
}

TEST(LimpezaDoModelo, SemBarraInvertidaOArquivoNaoMuda) {
  TTempFolder pasta;
  const std::string texto = "v 1 2 3\r\nf 1 1 1\r\n";
  const fs::path modelo = pasta.Write("m.obj", texto);
  struct stat antes {};
  ASSERT_EQ(stat(modelo.c_str(), &antes), 0);
  const TCleanedModel limpo = CleanModelFile(modelo);
  EXPECT_FALSE(limpo.Reescrito);
  EXPECT_EQ(limpo.Linhas, (Linhas{"v 1 2 3", "f 1 1 1"}));
  struct stat depois {};
  ASSERT_EQ(stat(modelo.c_str(), &depois), 0);
  EXPECT_EQ(antes.st_ino, depois.st_ino);
  EXPECT_EQ(ReadFile(modelo), texto);
}

TEST(LimpezaDoModelo, JuntaUmaLinhaPorBarraEReescreveNoLugar) {
  TTempFolder pasta;
  const fs::path modelo = pasta.Write("m.obj", "v 1 \\ resto\r\n2 3\r\ng a\\b\\\nc\\d\nfim \\");
  fs::permissions(modelo, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const TCleanedModel limpo = CleanModelFile(modelo);
  EXPECT_TRUE(limpo.Reescrito);
  EXPECT_EQ(limpo.Linhas, (Linhas{"v 1 2 3", "g ac\\d", "fim "}));
  EXPECT_EQ(ReadFile(modelo), "v 1 2 3\ng ac\\d\nfim \n");
  EXPECT_EQ(fs::status(modelo).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(pasta.List(), "m.obj ");
}

void EsperaModelosIguais(const TModel& a, const TModel& b) {
  ASSERT_EQ(a.VertexCount, b.VertexCount);
  for (int v = 1; v <= a.VertexCount; ++v) {
    EXPECT_EQ(a.Vertices[v].x, b.Vertices[v].x);
    EXPECT_EQ(a.Vertices[v].y, b.Vertices[v].y);
    EXPECT_EQ(a.Vertices[v].z, b.Vertices[v].z);
  }
  ASSERT_EQ(a.GroupCount, b.GroupCount);
  for (int g = 1; g <= a.GroupCount; ++g) {
    EXPECT_EQ(a.Groups[g].Name, b.Groups[g].Name);
    EXPECT_EQ(a.Groups[g].MaterialIndex, b.Groups[g].MaterialIndex);
    ASSERT_EQ(a.Groups[g].FaceCount, b.Groups[g].FaceCount);
    for (int f = 1; f <= a.Groups[g].FaceCount; ++f) {
      EXPECT_EQ(a.Groups[g].Faces[f].VertexIndex, b.Groups[g].Faces[f].VertexIndex);
    }
  }
  EXPECT_EQ(a.MaterialCount, b.MaterialCount);
}

TEST(LimpezaDoModelo, LinhasDevolvidasDaoOMesmoModeloQueOArquivoReescrito) {
  TTempFolder pasta;
  pasta.Write("cor.mtl", "newmtl a\n");
  const fs::path modelo = pasta.Write(
      "m.obj",
      "mtllib cor.mtl\r\nv 0 0 0\r\nv 1 \\\r\n0 0\r\nv 0 1 \\ x\r\n0\r\ng a \\\r\n\\\r\nf 1 2 3\r\n"
      "usemtl A\\\r\n\r\nf 3 2 1\r\n");
  const TCleanedModel limpo = CleanModelFile(modelo);
  ASSERT_TRUE(limpo.Reescrito);
  const TModel daMemoria = LoadModelFromLines(modelo.string(), limpo.Linhas, {});
  const TModel doDisco = LoadModel(modelo.string(), {});
  EXPECT_EQ(daMemoria.VertexCount, 3);
  EXPECT_EQ(daMemoria.Groups[1].Name,
            "A F 1 2 3");  // "g a \" joined the line "\", which then joined "f 1 2 3"
  EXPECT_EQ(daMemoria.Groups[1].MaterialIndex, 1);
  EsperaModelosIguais(daMemoria, doDisco);
}

TEST(LimpezaDoModelo, ModeloAusenteLancaErroComONome) {
  TTempFolder pasta;
  const fs::path falta = pasta.Path() / "falta.obj";
  try {
    CleanModelFile(falta);
    FAIL() << "a missing model was cleaned";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(falta.string()), std::string::npos);
  }
}

// 0 when the cleaning kept the file and joined in memory; other values say why it could not be checked.
int LimpaSemPoderEscrever(const fs::path& modelo) {
  if (access(modelo.c_str(), R_OK) != 0) return 79;
  if (access(modelo.parent_path().c_str(), W_OK) == 0) return 78;
  try {
    const TCleanedModel limpo = CleanModelFile(modelo);
    return (!limpo.Reescrito && limpo.Linhas == Linhas{"v 1 2 3"}) ? 0 : 1;
  } catch (...) {
    return 2;
  }
}

TEST(LimpezaDoModelo, PastaSemEscritaDeixaOArquivoEJuntaNaMemoria) {
  TTempFolder pasta;
  const std::string texto = "v 1 \\\n2 3\n";
  const fs::path modelo = pasta.Write("m.obj", texto);
  fs::permissions(modelo, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
  fs::permissions(pasta.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  int resultado = 0;
  if (geteuid() != 0) {
    resultado = LimpaSemPoderEscrever(modelo);
  } else {
    // Root writes anywhere: the check runs in a child that has given up root for the unprivileged user.
    const pid_t filho = fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(77);
      _exit(LimpaSemPoderEscrever(modelo));
    }
    int estado = 0;
    ASSERT_EQ(waitpid(filho, &estado, 0), filho);
    ASSERT_TRUE(WIFEXITED(estado));
    resultado = WEXITSTATUS(estado);
  }
  if (resultado == 77) GTEST_SKIP() << "running as root and cannot switch to an unprivileged user";
  if (resultado == 78) GTEST_SKIP() << "the folder stays writable after chmod (file system ignores modes)";
  if (resultado == 79) GTEST_SKIP() << "the temporary folder is not readable by the unprivileged user";
  EXPECT_EQ(resultado, 0);
  EXPECT_EQ(ReadFile(modelo), texto);
  EXPECT_EQ(pasta.List(), "m.obj ");
}

}  // namespace
