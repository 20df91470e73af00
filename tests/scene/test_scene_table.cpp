// The scene table's file: reading by column name, empty cells, encodings, and errors that name the place.

#include "scene_builder.h"
#include "scene_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using ::testing::HasSubstr;

// A data packet holding the 37 field definitions (in the order given) and the rows given as XML text.
std::string Pacote(const std::string& linhas, const std::string& omite = "", bool invertida = false) {
  std::vector<std::string> campos;
  for (const DefinicaoColuna& c : ColunasCena()) {
    if (c.Nome == omite) continue;
    const char* tipo = c.Tipo == TipoColuna::Texto     ? "string"
                       : c.Tipo == TipoColuna::Inteiro ? "i4"
                       : c.Tipo == TipoColuna::Real    ? "r8"
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
    TabelaCena::Le(p);
  } catch (const ErroCena& e) {
    return e.what();
  }
  return "(nenhum erro)";
}

TEST(TabelaCena, LeColunasPeloNomeECelulasVaziasComoZero) {
  PastaTemporaria pasta;
  const auto p = pasta.Escreve(
      "a.xml",
      Pacote("<ROW RowState=\"4\" Nome=\"Bola\" X=\"1.5\" ODETipo=\"2\" ODEMove=\"TRUE\" Massa=\"\"/>\n"
             "<ROW Z=\"-2.5E-1\" UserMove=\"false\"/>\n",
             "", true));
  const TabelaCena t = TabelaCena::Le(p);
  ASSERT_EQ(t.NumeroLinhas(), 2);
  EXPECT_EQ(t.Texto(0, Coluna::Nome), "Bola");
  EXPECT_EQ(t.Real(0, Coluna::X), 1.5);
  EXPECT_EQ(t.Inteiro(0, Coluna::ODETipo), 2);
  EXPECT_TRUE(t.Booleano(0, Coluna::ODEMove));
  EXPECT_EQ(t.Real(0, Coluna::Massa), 0);
  EXPECT_EQ(t.Real(1, Coluna::Z), -0.25);
  EXPECT_FALSE(t.Booleano(1, Coluna::UserMove));
  EXPECT_EQ(t.Texto(1, Coluna::Nome), "");
  EXPECT_EQ(t.Inteiro(1, Coluna::ID), 0);
}

TEST(TabelaCena, GravaELeDeVoltaOsMesmosValores) {
  PastaTemporaria pasta;
  CenaDeTeste c;
  c.Linha({{Coluna::Nome, std::string("Ação \"1\" <x>")},
           {Coluna::X, 0.1},
           {Coluna::Massa, 1e-7},
           {Coluna::ODETipo, 4},
           {Coluna::TemGravidade, true},
           {Coluna::Arquivo, std::string("m\\a.obj")}});
  c.Linha({});
  const TabelaCena t = TabelaCena::Le(c.Grava(pasta / "r.xml"));
  ASSERT_EQ(t.NumeroLinhas(), 2);
  EXPECT_EQ(t.Texto(0, Coluna::Nome), "Ação \"1\" <x>");
  EXPECT_EQ(t.Real(0, Coluna::X), 0.1);
  EXPECT_EQ(t.Real(0, Coluna::Massa), 1e-7);
  EXPECT_EQ(t.Inteiro(0, Coluna::ODETipo), 4);
  EXPECT_TRUE(t.Booleano(0, Coluna::TemGravidade));
  EXPECT_EQ(t.Texto(0, Coluna::Arquivo), "m\\a.obj");
  EXPECT_FALSE(t.Booleano(1, Coluna::TemGravidade));
}

TEST(TabelaCena, AceitaUTF8EPaginaDeCodigoDoWindows) {
  PastaTemporaria pasta;
  const std::string utf8 = Pacote("<ROW Nome=\"Maçã\"/>");
  std::string cp1252 = Pacote("<ROW Nome=\"Ma\xE7\xE3 \x80\"/>");
  EXPECT_EQ(TabelaCena::Le(pasta.Escreve("u.xml", utf8)).Texto(0, Coluna::Nome), "Maçã");
  EXPECT_EQ(TabelaCena::Le(pasta.Escreve("w.xml", cp1252)).Texto(0, Coluna::Nome), "Maçã €");
}

TEST(TabelaCena, ErrosNomeiamArquivoLinhaEColuna) {
  PastaTemporaria pasta;
  auto erro = [&](const std::string& nome, const std::string& texto) {
    return ErroAoLer(pasta.Escreve(nome, texto));
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
  EXPECT_THAT(ErroAoLer(pasta.Caminho()), HasSubstr("pasta"));
}

TEST(CenaInicial, CriaPastaEArquivoVazioComAsTrintaESeteColunas) {
  PastaTemporaria pasta;
  const auto temp = CriaCenaInicial(pasta.Caminho());
  EXPECT_EQ(temp, pasta / "Cenas" / "temp.xml");
  const TabelaCena t = TabelaCena::Le(temp);
  EXPECT_EQ(t.NumeroLinhas(), 0);
  std::stringstream texto;
  texto << std::ifstream(temp).rdbuf();
  for (const DefinicaoColuna& c : ColunasCena())
    EXPECT_THAT(texto.str(), HasSubstr("attrname=\"" + std::string(c.Nome) + "\""));
  EXPECT_THAT(texto.str(), HasSubstr("WIDTH=\"255\""));
}

TEST(CenaInicial, SubstituiUmTempAntigo) {
  PastaTemporaria pasta;
  CenaDeTeste velha;
  velha.Linha({{Coluna::Nome, std::string("antiga")}});
  std::filesystem::create_directories(pasta / "Cenas");
  velha.Grava(pasta / "Cenas" / "temp.xml");
  EXPECT_EQ(TabelaCena::Le(CriaCenaInicial(pasta.Caminho())).NumeroLinhas(), 0);
}

}  // namespace
