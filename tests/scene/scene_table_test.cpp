// The scene table's file: reading by column name, empty cells, encodings, and errors that name the place.

#include "scene/scene_table.h"
#include "support/child_process.h"
#include "support/scene_builder.h"
#include "support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

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

TEST(TSceneTable, ReadsColumnsByNameAndEmptyCellsAsZero) {
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

TEST(TSceneTable, WritesAndReadsBackTheSameValues) {
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

TEST(TSceneTable, ReadsUtf8AndTheWindowsCodePage) {
  TTempFolder pasta;
  const std::string utf8 = Pacote("<ROW Nome=\"Maçã\"/>");
  std::string cp1252 = Pacote("<ROW Nome=\"Ma\xE7\xE3 \x80\"/>");
  EXPECT_EQ(TSceneTable::Read(pasta.Write("u.xml", utf8)).Text(0, TColumn::Nome), "Maçã");
  EXPECT_EQ(TSceneTable::Read(pasta.Write("w.xml", cp1252)).Text(0, TColumn::Nome), "Maçã €");
}

std::string Substitui(std::string texto, const std::string& de, const std::string& para) {
  const size_t p = texto.find(de);
  return p == std::string::npos ? texto : texto.replace(p, de.size(), para);
}

std::vector<int32_t> IDs(const TSceneTable& t) {
  std::vector<int32_t> ids;
  for (int i = 0; i < t.RowCount(); ++i) ids.push_back(t.Integer(i, TColumn::ID));
  return ids;
}

// A table saved with its change log not yet merged reads as the component shows it after the merge.
TEST(TSceneTable, AppliesTheChangeLog) {
  TTempFolder pasta;
  // Without a log: a modified row follows the original it replaces.
  const std::string semLog = Pacote(
      "<ROW ID=\"1\"/><ROW RowState=\"1\" ID=\"2\" X=\"1\"/><ROW RowState=\"8\" ID=\"20\" X=\"5\"/>"
      "<ROW RowState=\"2\" ID=\"3\"/><ROW RowState=\"4\" ID=\"4\"/>");
  const TSceneTable a = TSceneTable::Read(pasta.Write("a.xml", semLog));
  EXPECT_EQ(IDs(a), (std::vector<int32_t>{1, 20, 4}));
  EXPECT_EQ(a.Real(1, TColumn::X), 5);
  // With a log of (row, original row, state): row 4 modifies row 1 and row 5 modifies row 4 again.
  const std::string comLog = Substitui(
      Pacote("<ROW RowState=\"1\" ID=\"1\"/><ROW ID=\"2\"/><ROW RowState=\"4\" ID=\"3\"/>"
             "<ROW RowState=\"8\" ID=\"10\"/><ROW RowState=\"8\" ID=\"11\"/><ROW RowState=\"3\" ID=\"7\"/>"),
      "<PARAMS/>", "<PARAMS CHANGE_LOG=\"3 0 4 4 1 8 5 4 8 6 0 2\"/>");
  EXPECT_EQ(IDs(TSceneTable::Read(pasta.Write("b.xml", comLog))), (std::vector<int32_t>{11, 2, 3}));
}

TEST(TSceneTable, ColumnNamesIgnoreLetterCase) {
  TTempFolder pasta;
  std::string texto = Pacote("<ROW MASSA=\"2.5\" odetipo=\"2\"/>");
  texto = Substitui(texto, "attrname=\"Massa\"", "attrname=\"MASSA\"");
  texto = Substitui(texto, "attrname=\"ODETipo\"", "attrname=\"odetipo\"");
  const TSceneTable t = TSceneTable::Read(pasta.Write("c.xml", texto));
  EXPECT_EQ(t.Real(0, TColumn::Massa), 2.5);
  EXPECT_EQ(t.Integer(0, TColumn::ODETipo), 2);
}

TEST(TSceneTable, ObeysTheDeclaredEncoding) {
  TTempFolder pasta;
  const auto comDeclaracao = [](const std::string& codificacao, const std::string& nome) {
    return Substitui(Pacote("<ROW Nome=\"" + nome + "\"/>"), "standalone",
                     "encoding=\"" + codificacao + "\" standalone");
  };
  // In ISO-8859-1, 0x80 is a control character; in Windows-1252 it is the euro sign.
  EXPECT_EQ(TSceneTable::Read(pasta.Write("l.xml", comDeclaracao("ISO-8859-1", "Ma\xE7\xE3\x80")))
                .Text(0, TColumn::Nome),
            "Maçã\xC2\x80");
  EXPECT_EQ(
      TSceneTable::Read(pasta.Write("w.xml", comDeclaracao("windows-1252", "\x80"))).Text(0, TColumn::Nome),
      "€");
  // Bytes that happen to be valid UTF-8 are still read as the declared code page.
  EXPECT_EQ(
      TSceneTable::Read(pasta.Write("d.xml", comDeclaracao("latin1", "\xC3\xA9"))).Text(0, TColumn::Nome),
      "\xC3\x83\xC2\xA9");
  EXPECT_EQ(TSceneTable::Read(pasta.Write("u.xml", comDeclaracao("UTF-8", "Maçã"))).Text(0, TColumn::Nome),
            "Maçã");
  const std::string utf8Ruim = ErroAoLer(pasta.Write("r.xml", comDeclaracao("utf-8", "Ma\xE7\xE3")));
  EXPECT_THAT(utf8Ruim, HasSubstr("r.xml"));
  EXPECT_THAT(utf8Ruim, HasSubstr("linha 4"));  // the row's line
  const std::string desconhecida = ErroAoLer(pasta.Write("k.xml", comDeclaracao("KOI8-R", "x")));
  EXPECT_THAT(desconhecida, HasSubstr("k.xml"));
  EXPECT_THAT(desconhecida, HasSubstr("\"KOI8-R\" desconhecida"));
}

TEST(TSceneTable, NamesEveryMissingColumn) {
  TTempFolder pasta;
  std::string texto = Pacote("<ROW/>", "Atrito");
  texto = Substitui(texto, "<FIELD attrname=\"Massa\" fieldtype=\"r8\"/>", "");
  texto = Substitui(texto, "<FIELD attrname=\"Nome\" fieldtype=\"string\"/>", "");
  EXPECT_THAT(ErroAoLer(pasta.Write("f.xml", texto)),
              HasSubstr("f.xml: faltam as colunas \"Nome\", \"Massa\", \"Atrito\""));
}

TEST(TSceneTable, ErrorsNameTheFileRowAndColumn) {
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
  // A character reference to no character would be kept as bytes that are not UTF-8.
  for (const std::string ref : {"&#xD800;", "&#x110000;", "&#57343;"}) {
    const std::string texto = erro("r.xml", Pacote("<ROW/><ROW Nome=\"Bola" + ref + "\"/>"));
    EXPECT_THAT(texto, HasSubstr("linha 2, coluna \"Nome\"")) << ref;
  }
  EXPECT_THAT(erro("x.xml", "<DATAPACKET><METADATA>\n<FIELDS>\n<FIELD"), HasSubstr("linha 3"));
  EXPECT_THAT(erro("t.xml", "<html><body/></html>"), HasSubstr("não é uma tabela de cena"));
  EXPECT_THAT(ErroAoLer(pasta / "nao-existe.xml"), HasSubstr("nao-existe.xml"));
  EXPECT_THAT(ErroAoLer(pasta.Path()), HasSubstr("pasta"));
  // A FIFO would wait for a writer forever.
  const std::filesystem::path fifo = pasta / "fifo.xml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THAT(ErroAoLer(fifo), HasSubstr("fifo.xml"));
}

// A row the reader cannot place would vanish from the scene; the table is refused where it goes wrong.
TEST(TSceneTable, RefusesRowsOutOfPlaceNamingTheLine) {
  TTempFolder pasta;
  auto erro = [&](const std::string& linhas) { return ErroAoLer(pasta.Write("p.xml", Pacote(linhas))); };
  // The rows start on the packet's fourth line.
  const std::string aninhada = erro("<ROW ID=\"1\"/>\n<ROW ID=\"2\">\n<ROW ID=\"3\"/></ROW>\n");
  EXPECT_THAT(aninhada, HasSubstr("p.xml: <ROW> na linha 6"));
  EXPECT_THAT(aninhada, HasSubstr("dentro de <ROW>"));
  EXPECT_THAT(erro("<ROW/>\n<GRUPO><ROW ID=\"2\"/></GRUPO>\n"), HasSubstr("<ROW> na linha 5"));
  EXPECT_THAT(erro("<ROW/>\n<GRUPO/>\n"), HasSubstr("<GRUPO> na linha 5"));
  EXPECT_THAT(erro("<ROW/>\n<ROW><Detalhe/></ROW>"), HasSubstr("<Detalhe> na linha 5: dentro da linha 2"));
  EXPECT_THAT(erro("<ROW/>\n<ROW>Bola</ROW>"), HasSubstr("a linha 2 da tabela tem texto"));
  EXPECT_THAT(erro("<ROW/>Bola"), HasSubstr("<ROWDATA>"));
  EXPECT_THAT(erro("<ROW/></ROWDATA>\n<ROWDATA><ROW/>"), HasSubstr("um só <ROWDATA>"));
  std::string fora = Pacote("<ROW/>");
  fora.insert(fora.find("</METADATA>"), "\n<ROW ID=\"9\"/>");
  EXPECT_THAT(ErroAoLer(pasta.Write("m.xml", fora)),
              HasSubstr("<ROW> na linha 3: fora do lugar, dentro de <METADATA>"));
  // Blank text between rows is only layout.
  EXPECT_EQ(TSceneTable::Read(pasta.Write("b.xml", Pacote("  <ROW/>\n\t<ROW> </ROW>\n"))).RowCount(), 2);
}

// Launch and elasticity columns: read when the file defines them, written only when some row uses them,
// so a table that uses none is written byte for byte as before they existed.
TEST(TSceneTable, WritesOptionalColumnsOnlyWhenUsed) {
  TTempFolder pasta;
  const TSceneTable t =
      TSceneTable::Read(pasta.Write("o.xml", Pacote("<ROW VelZ=\"-2.5\" Elasticidade=\"0.5\"/><ROW/>")));
  EXPECT_EQ(t.Real(0, TColumn::VelZ), -2.5);
  EXPECT_EQ(t.Real(0, TColumn::Elasticidade), 0.5);
  EXPECT_EQ(t.Cell(1, TColumn::Elasticidade).index(), 0u) << "an empty cell stays empty";
  EXPECT_THAT(ErroAoLer(pasta.Write("r.xml", Pacote("<ROW/><ROW VelAngY=\"rápido\"/>"))),
              HasSubstr("linha 2, coluna \"VelAngY\""));

  TTestScene c;
  c.Linha({{TColumn::Nome, std::string("a")}});
  c.Linha({{TColumn::VelX, 3.0}});
  const std::string xml = c.Tabela().ToXml();
  EXPECT_THAT(xml, HasSubstr("<FIELD attrname=\"VelX\" fieldtype=\"r8\"/>"));
  EXPECT_THAT(xml, HasSubstr("<ROW VelX=\"3\"/>"));
  for (const char* nome : {"VelY", "VelZ", "VelAngX", "VelAngY", "VelAngZ", "Elasticidade", "Ligacao",
                           "LigaCom", "PontoX", "EixoLigZ", "Rigidez", "Amortecimento", "Comprimento"})
    EXPECT_THAT(xml, Not(HasSubstr(nome)));
  EXPECT_EQ(TSceneTable::Read(c.Write(pasta / "w.xml")), c.Tabela());

  // Written before these columns existed.
  for (const char* amostra : {"rampa_atrito", "malha_obj"}) {
    const std::filesystem::path fonte(VIRETA_SOURCE_DIR);
    EXPECT_EQ(TSceneTable::Read(fonte / "Cenas" / (std::string(amostra) + ".xml")).ToXml(),
              ReadFile(fonte / "tests/scene/golden" / (std::string(amostra) + ".xml")))
        << amostra;
  }
}

// Every cell the loader would refuse, fixed or optional, is refused with the loader's own words.
TEST(TSceneTable, NeverWritesWhatTheLoaderWouldRefuse) {
  TTempFolder pasta;
  const auto arquivo = pasta.Write("c.xml", "antes");
  const TRowCells ruins = {
      {TColumn::Nome, std::string("Bola\xED\xA0\x80")},
      {TColumn::X, 1e300},
      {TColumn::VelY, 1001.0},
      {TColumn::Elasticidade, 1.5},
      {TColumn::Ligacao, 9},
  };
  for (const auto& [coluna, ruim] : ruins) {
    TSceneTable t;
    t.AppendRow();
    t.AppendRow();
    t.Define(1, coluna, ruim);
    std::string aoCarregar = "(carregou)";
    TScene cena;
    try {
      LoadSceneTable(t, arquivo, cena, nullptr);
    } catch (const ESceneError& e) {
      aoCarregar = e.what();
    }
    try {
      t.Write(arquivo);
      ADD_FAILURE() << "gravou o que a leitura recusaria: " << aoCarregar;
    } catch (const ESceneError& e) {
      EXPECT_EQ(e.Row(), 1);
      EXPECT_EQ(e.Column(), coluna);
      EXPECT_EQ(e.what(), aoCarregar);
    }
    EXPECT_EQ(ReadFile(arquivo), "antes");
  }
}

TEST(CenaInicial, CriaPastaEArquivoVazioComAsTrintaESeteColunas) {
  TTempFolder pasta;
  const auto temp = CreateStartScene(pasta.Path());
  EXPECT_EQ(temp, pasta / "Cenas" / "temp.xml");
  const TSceneTable t = TSceneTable::Read(temp);
  EXPECT_EQ(t.RowCount(), 0);
  const std::string texto = ReadFile(temp);
  for (const TColumnDefinition& c : SceneColumns()) {
    const bool opcional = IsOptionalColumn(static_cast<TColumn>(&c - SceneColumns().data()));
    EXPECT_EQ(texto.find("attrname=\"" + std::string(c.Nome) + "\"") == std::string::npos, opcional)
        << c.Nome;
  }
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

// A save killed part way in an earlier run left a hidden copy of the scene; the next start removes it.
TEST(CenaInicial, RemoveOQueUmaGravacaoInterrompidaDeixou) {
  TTempFolder pasta;
  pasta.Write("Cenas/.aula.xml.0123456789abcdef.tmp", std::string(1000, 'x'));
  pasta.Write("Cenas/aula.xml", "a cena");
  CreateStartScene(pasta.Path());
  EXPECT_EQ(ListFolder(pasta / "Cenas"), "aula.xml temp.xml ");
}

// The scene file may be writable while its folder takes no new file, which the save needs: the error says
// which folder. Root writes anywhere, so the save runs as "nobody".
TEST(TSceneTable, ASaveInAFolderThatTakesNoFileNamesTheFolder) {
  TTempFolder pasta;
  const auto arquivo = pasta.Write("aula.xml", "antes");
  ::chmod(arquivo.c_str(), 0666);
  ::chmod(pasta.Path().c_str(), 0555);
  const int saida = RunInChild([&] {
    if (!GiveUpRoot()) return 77;
    try {
      TSceneTable().Write(arquivo);
    } catch (const ESceneError& e) {
      const std::string texto = e.what();
      return texto.find("a pasta " + pasta.Path().string() + " não aceita") != std::string::npos &&
                     texto.find("Permission denied") != std::string::npos
                 ? 0
                 : 1;
    }
    return 2;
  });
  ASSERT_NE(saida, 77) << "cannot become \"nobody\"";
  EXPECT_EQ(saida, 0);
  EXPECT_EQ(ReadFile(arquivo), "antes");
}

}  // namespace
