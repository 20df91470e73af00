// The scene table's file: reading by column name, empty cells, encodings, and errors that name the place.

#include "scene/scene_table.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using ::testing::HasSubstr;

// A data packet holding the 37 field definitions (in the order given) and the rows given as XML text.
std::string Pacote(const std::string& linhas, const std::string& omite = "", bool invertida = false) {
  std::vector<std::string> campos;
  for (const TColumnDefinition& c : SceneColumns()) {
    if (c.Nome == omite) continue;
    const char* tipo = c.Tipo == TColumnType::Text      ? "string"
                       : c.Tipo == TColumnType::Integer ? "i4"
                       : c.Tipo == TColumnType::Real    ? "r8"
                                                        : "boolean";
    campos.push_back("<FIELD attrname=\"" + std::string(c.Nome) + "\" fieldtype=\"" + tipo + "\"/>");
  }
  if (invertida) std::reverse(campos.begin(), campos.end());
  std::string s =
      "<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
  for (const auto& c : campos) s += c;
  return s + "</FIELDS><PARAMS/></METADATA>\n<ROWDATA>\n" + linhas + "</ROWDATA></DATAPACKET>\n";
}

std::string ErroAoLer(const std::filesystem::path& p) {
  try {
    TSceneTable::Read(p);
  } catch (const ESceneError& e) {
    return e.what();
  }
  return "(nenhum erro)";
}

TEST(TSceneTable, LeColunasPeloNomeECelulasVaziasComoZero) {
  TTempFolder pasta;
  const auto p = pasta.Write(
      "a.xml",
      Pacote("<ROW RowState=\"4\" Nome=\"Bola\" X=\"1.5\" ODETipo=\"2\" ODEMove=\"TRUE\" Massa=\"\"/>\n"
             "<ROW Z=\"-2.5E-1\" UserMove=\"false\"/>\n",
             "", true));
  const TSceneTable t = TSceneTable::Read(p);
  ASSERT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.Text(0, TColumn::Nome), "Bola");
  EXPECT_EQ(t.Real(0, TColumn::X), 1.5);
  EXPECT_EQ(t.Integer(0, TColumn::ODETipo), 2);
  EXPECT_TRUE(t.Boolean(0, TColumn::ODEMove));
  EXPECT_EQ(t.Real(0, TColumn::Massa), 0);
  EXPECT_EQ(t.Real(1, TColumn::Z), -0.25);
  EXPECT_FALSE(t.Boolean(1, TColumn::UserMove));
  EXPECT_EQ(t.Text(1, TColumn::Nome), "");
  EXPECT_EQ(t.Integer(1, TColumn::ID), 0);
}

TEST(TSceneTable, GravaELeDeVoltaOsMesmosValores) {
  TTempFolder pasta;
  TTestScene c;
  c.Linha({{TColumn::Nome, std::string("Ação \"1\" <x>")},
           {TColumn::X, 0.1},
           {TColumn::Massa, 1e-7},
           {TColumn::ODETipo, 4},
           {TColumn::TemGravidade, true},
           {TColumn::Arquivo, std::string("m\\a.obj")}});
  c.Linha({});
  const TSceneTable t = TSceneTable::Read(c.Write(pasta / "r.xml"));
  ASSERT_EQ(t.RowCount(), 2);
  EXPECT_EQ(t.Text(0, TColumn::Nome), "Ação \"1\" <x>");
  EXPECT_EQ(t.Real(0, TColumn::X), 0.1);
  EXPECT_EQ(t.Real(0, TColumn::Massa), 1e-7);
  EXPECT_EQ(t.Integer(0, TColumn::ODETipo), 4);
  EXPECT_TRUE(t.Boolean(0, TColumn::TemGravidade));
  EXPECT_EQ(t.Text(0, TColumn::Arquivo), "m\\a.obj");
  EXPECT_FALSE(t.Boolean(1, TColumn::TemGravidade));
}

TEST(TSceneTable, AceitaUTF8EPaginaDeCodigoDoWindows) {
  TTempFolder pasta;
  const std::string utf8 = Pacote("<ROW Nome=\"Maçã\"/>");
  std::string cp1252 = Pacote("<ROW Nome=\"Ma\xE7\xE3 \x80\"/>");
  EXPECT_EQ(TSceneTable::Read(pasta.Write("u.xml", utf8)).Text(0, TColumn::Nome), "Maçã");
  EXPECT_EQ(TSceneTable::Read(pasta.Write("w.xml", cp1252)).Text(0, TColumn::Nome), "Maçã €");
}

TEST(TSceneTable, ErrosNomeiamArquivoLinhaEColuna) {
  TTempFolder pasta;
  auto erro = [&](const std::string& nome, const std::string& texto) {
    return ErroAoLer(pasta.Write(nome, texto));
  };
  const std::string valor = erro("v.xml", Pacote("<ROW/><ROW Massa=\"abc\"/>"));
  EXPECT_THAT(valor, HasSubstr("v.xml"));
  EXPECT_THAT(valor, HasSubstr("linha 2"));
  EXPECT_THAT(valor, HasSubstr("\"Massa\""));
  EXPECT_THAT(valor, HasSubstr("abc"));
  EXPECT_THAT(erro("i.xml", Pacote("<ROW ODETipo=\"2.5\"/>")), HasSubstr("\"ODETipo\""));
  EXPECT_THAT(erro("b.xml", Pacote("<ROW ODEMove=\"talvez\"/>")), HasSubstr("\"ODEMove\""));
  // The engine works in single precision: a value it cannot hold is refused, as are NaN and infinity.
  EXPECT_THAT(erro("g.xml", Pacote("<ROW X=\"1e300\"/>")), HasSubstr("\"X\""));
  EXPECT_THAT(erro("n.xml", Pacote("<ROW X=\"nan\"/>")), HasSubstr("\"X\""));
  EXPECT_THAT(erro("c.xml", Pacote("<ROW/>", "Atrito")), HasSubstr("\"Atrito\""));
  EXPECT_THAT(erro("x.xml", "<DATAPACKET><METADATA>\n<FIELDS>\n<FIELD"), HasSubstr("linha 3"));
  EXPECT_THAT(erro("t.xml", "<html><body/></html>"), HasSubstr("não é uma tabela de cena"));
  EXPECT_THAT(ErroAoLer(pasta / "nao-existe.xml"), HasSubstr("nao-existe.xml"));
  EXPECT_THAT(ErroAoLer(pasta.Path()), HasSubstr("pasta"));
  // A FIFO would wait for a writer forever.
  const std::filesystem::path fifo = pasta / "fifo.xml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THAT(ErroAoLer(fifo), HasSubstr("fifo.xml"));
}

TEST(CenaInicial, CriaPastaEArquivoVazioComAsTrintaESeteColunas) {
  TTempFolder pasta;
  const auto temp = CreateStartScene(pasta.Path());
  EXPECT_EQ(temp, pasta / "Cenas" / "temp.xml");
  const TSceneTable t = TSceneTable::Read(temp);
  EXPECT_EQ(t.RowCount(), 0);
  const std::string texto = ReadFile(temp);
  for (const TColumnDefinition& c : SceneColumns())
    EXPECT_THAT(texto, HasSubstr("attrname=\"" + std::string(c.Nome) + "\""));
  EXPECT_THAT(texto, HasSubstr("WIDTH=\"255\""));
}

TEST(CenaInicial, SubstituiUmTempAntigo) {
  TTempFolder pasta;
  TTestScene velha;
  velha.Linha({{TColumn::Nome, std::string("antiga")}});
  std::filesystem::create_directories(pasta / "Cenas");
  velha.Write(pasta / "Cenas" / "temp.xml");
  EXPECT_EQ(TSceneTable::Read(CreateStartScene(pasta.Path())).RowCount(), 0);
}

}  // namespace
