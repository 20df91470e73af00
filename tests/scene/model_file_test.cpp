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

TEST(FindFile, IgnoresLetterCaseComponentByComponent) {
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

TEST(ResolveModelName, BackslashesAndTheScenesFolder) {
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

TEST(StoredModelName, RelativeToTheNewFolderWhenInsideItElseAbsolute) {
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

TEST(ReadFileLines, LineEndsAndErrors) {
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
  const std::string lido = ReadModelText(modelo);
  EXPECT_EQ(lido, texto);
  struct stat depois {};
  ASSERT_EQ(stat(modelo.c_str(), &depois), 0);
  EXPECT_EQ(antes.st_ino, depois.st_ino);
  EXPECT_EQ(ReadFile(modelo), texto);
  // Nothing is lost: the comment ending in a backslash does not swallow the vertex after it.
  const TModel m = LoadModelFromText(modelo.string(), lido, {});
  EXPECT_EQ(m.VertexCount, 2);
  EXPECT_EQ(m.Groups[1].Name, "A\\B");
}

TEST(LimpezaDoModelo, LinhasContinuadasSeJuntamSoNaMemoria) {
  TTempFolder pasta;
  // Rhino wraps long faces over several lines; blanks after the backslash still make a continuation. A
  // joined line that itself ends in a backslash (a group name ending in two) joins only the next line.
  const std::string texto =
      "# topo\r\n\r\nv 1 \\  \r\n2 3\r\nv 0 0 1\nv 0 1 0\nv 1 0 0\nv 0 0 0\ng g\\\\\n\nv 4 5 6\n"
      "f 1 2 3 \\\n4 5 \\\n6\n\n# fim\\x\nv 7 8 9 \\";
  const fs::path modelo = pasta.Write("m.obj", texto);
  for (int carga = 0; carga < 2; ++carga) {
    const TModel m = LoadModel(modelo.string(), {});
    EXPECT_EQ(m.VertexCount, 7);
    EXPECT_EQ(m.Groups[1].Faces[1].Count, 6);
    EXPECT_EQ(ReadFile(modelo), texto) << "a load wrote the model file";
  }
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
    ReadModelText(falta);
    FAIL() << "a missing model was cleaned";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(falta.string()), std::string::npos);
  }
}

}  // namespace
