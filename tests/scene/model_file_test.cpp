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

  // The same name beside the scene and in the current folder: the scene's own model wins, and the current
  // folder is tried only after it.
  const fs::path daCena = pasta.Write("cena/m/a.obj", "");
  const fs::path daPastaAtual = pasta.Write("atual/m/a.obj", "");
  const fs::path antes = fs::current_path();
  fs::current_path(pasta.Path() / "atual");
  const fs::path achado = ResolveModelName("m/a.obj", pasta.Path() / "cena");
  const fs::path depois = ResolveModelName("m/a.obj", pasta.Path() / "outra");
  fs::current_path(antes);
  EXPECT_EQ(achado, daCena);
  EXPECT_EQ(fs::canonical(depois), fs::canonical(daPastaAtual));
  // An absolute name whose file is gone finds the one of that name beside the scene.
  EXPECT_EQ(ResolveModelName("/nao/existe/a.obj", pasta.Path() / "cena" / "m"), daCena);
}

TEST(StoredModelName, RelativoAPastaNovaQuandoDentroDelaSenaoAbsoluto) {
  TTempFolder pasta;
  const fs::path modelo = pasta.Write("cenas/modelos/a.obj", "");
  const fs::path cenas = pasta.Path() / "cenas";
  EXPECT_EQ(StoredModelName(modelo.string(), "/qualquer", cenas), "modelos/a.obj");
  EXPECT_EQ(StoredModelName("modelos\\a.obj", cenas, cenas), "modelos/a.obj");
  EXPECT_EQ(StoredModelName("modelos/a.obj", cenas, cenas / "modelos"), "a.obj");
  // Saved outside the model's folder, a relative name would break: it becomes the model's absolute path.
  EXPECT_EQ(fs::path(StoredModelName("modelos/a.obj", cenas, pasta.Path() / "fora")), fs::canonical(modelo));
  EXPECT_EQ(StoredModelName(modelo.string(), cenas, pasta.Path() / "fora"), modelo.string());
  EXPECT_EQ(StoredModelName("falta.obj", cenas, pasta.Path() / "fora"), "falta.obj") << "nothing to point at";
  EXPECT_EQ(StoredModelName("", cenas, cenas), "");
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

TEST(LimpezaDoModelo, BarraInvertidaNoMeioDaLinhaETextoEOArquivoNaoMuda) {
  TTempFolder pasta;
  const std::string texto =
      "# source: C:\\Models\\x.ms3d\r\nmtllib .\\x.mtl\r\nv 1 2 3\r\n# pasta C:\\Modelos\\\r\nv 4 5 6\r\n"
      "g a\\b\r\nf 1 2 2\r\n";
  const fs::path modelo = pasta.Write("m.obj", texto);
  struct stat antes {};
  ASSERT_EQ(stat(modelo.c_str(), &antes), 0);
  TCleanedModel limpo = CleanModelFile(modelo);
  EXPECT_FALSE(limpo.Juntou);
  EXPECT_EQ(limpo.Original, texto);
  SaveCleanedModel(modelo, limpo);
  EXPECT_FALSE(limpo.Reescrito);
  struct stat depois {};
  ASSERT_EQ(stat(modelo.c_str(), &depois), 0);
  EXPECT_EQ(antes.st_ino, depois.st_ino);
  EXPECT_EQ(ReadFile(modelo), texto);
  // Nothing is lost: the comment ending in a backslash does not swallow the vertex after it.
  const TModel m = LoadModelFromText(modelo.string(), limpo.Original, {});
  EXPECT_EQ(m.VertexCount, 2);
  EXPECT_EQ(m.Groups[1].Name, "A\\B");
}

TEST(LimpezaDoModelo, SoAsLinhasContinuadasMudamNaReescrita) {
  TTempFolder pasta;
  // Rhino wraps long faces over several lines; blanks after the backslash still make a continuation.
  const fs::path modelo =
      pasta.Write("m.obj", "# topo\r\n\r\nv 1 \\  \r\n2 3\r\nf 1 2 3 \\\n4 5 \\\n6\n\n# fim\\x\nv 7 8 \\");
  fs::permissions(modelo, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  TCleanedModel limpo = CleanModelFile(modelo);
  ASSERT_TRUE(limpo.Juntou);
  const std::string unido = "# topo\r\n\r\nv 1 2 3\r\nf 1 2 3 4 5 6\n\n# fim\\x\nv 7 8 ";
  EXPECT_EQ(limpo.Texto, unido);
  EXPECT_NE(ReadFile(modelo), unido) << "cleaning alone must not write";
  SaveCleanedModel(modelo, limpo);
  EXPECT_TRUE(limpo.Reescrito);
  EXPECT_EQ(ReadFile(modelo), unido);
  EXPECT_EQ(fs::status(modelo).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(pasta.List(), "m.obj ");
}

TEST(LimpezaDoModelo, LinhasNumeradasComoNoArquivo) {
  const std::string texto = "v 1 \\\n2 3\nv 1 2\n";
  try {
    LoadModelFromText("m.obj", texto, {});
    FAIL() << "two numbers accepted as a vertex";
  } catch (const EModelError& e) {
    EXPECT_EQ(e.Linha(), 3);
  }
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
    TCleanedModel limpo = CleanModelFile(modelo);
    SaveCleanedModel(modelo, limpo);
    return (!limpo.Reescrito && limpo.Texto == "v 1 2 3\n") ? 0 : 1;
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
