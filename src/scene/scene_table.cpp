#include "scene/scene_table.h"

#include "common/ascii_text.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "scene/table_check.h"
#include "scene/text_encoding.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <system_error>

namespace fs = std::filesystem;

const std::array<TColumnDefinition, ColumnCount>& SceneColumns() {
  static const std::array<TColumnDefinition, ColumnCount> colunas = {{
#define VIRETA_COLUMN_DEFINITION(Name, Type, Width) {#Name, TColumnType::Type, Width},
      VIRETA_FIXED_COLUMNS(VIRETA_COLUMN_DEFINITION) VIRETA_OPTIONAL_COLUMNS(VIRETA_COLUMN_DEFINITION)
#undef VIRETA_COLUMN_DEFINITION
  }};
  return colunas;
}

std::string CellPlace(const fs::path& arquivo, int linha, TColumn coluna) {
  return arquivo.string() + ": linha " + std::to_string(linha + 1) + ", coluna \"" +
         std::string(SceneColumns()[static_cast<std::size_t>(coluna)].Nome) + "\"";
}

namespace {

const char* MidasTypeName(TColumnType t) {
  switch (t) {
    case TColumnType::Text:
      return "string";
    case TColumnType::Integer:
      return "i4";
    case TColumnType::Real:
      return "r8";
    case TColumnType::Boolean:
      return "boolean";
  }
  return "string";
}

std::string InQuotes(std::string_view s) {
  return "\"" + std::string(s) + "\"";
}

[[noreturn]] void Fail(const fs::path& arquivo, const std::string& detalhe) {
  throw ESceneError(arquivo.string() + ": " + detalhe);
}

std::string ReadBytes(const fs::path& arquivo) {
  std::error_code ec;
  if (fs::is_directory(arquivo, ec)) Fail(arquivo, "não é um arquivo de cena (é uma pasta)");
  TFileContents conteudo = ReadWholeFile(arquivo);
  switch (conteudo.Status) {
    case TFileReadStatus::Read:
      return std::move(conteudo.Bytes);
    case TFileReadStatus::NotAFile:
      // A FIFO or a device would never end; neither is a scene.
      Fail(arquivo, "não é um arquivo de cena (não é um arquivo comum)");
    case TFileReadStatus::Missing:
    case TFileReadStatus::Unreadable:
    case TFileReadStatus::TooLarge:
      break;
  }
  Fail(arquivo, "não foi possível abrir o arquivo: " + conteudo.Error.message());
}

int LineOfOffset(const std::string& texto, std::ptrdiff_t deslocamento) {
  const auto fim = texto.begin() + std::clamp<std::ptrdiff_t>(deslocamento, 0, std::ssize(texto));
  return 1 + static_cast<int>(std::count(texto.begin(), fim, '\n'));
}

TSceneTable::Celula ReadCell(const fs::path& arquivo, int linha, std::size_t coluna, const char* texto) {
  const std::string_view v = texto;
  const TColumnDefinition& col = SceneColumns()[coluna];
  auto invalido = [&](const char* esperado) {
    throw ESceneError(
        CellPlace(arquivo, linha, static_cast<TColumn>(coluna)) + ": " + InQuotes(v) + " não é " + esperado,
        linha, static_cast<TColumn>(coluna));
  };
  switch (col.Tipo) {
    case TColumnType::Text:
      // The file was valid UTF-8; only a character reference to no character (a lone surrogate, a number
      // beyond U+10FFFF) leaves bytes that no reader, this one included, would take back.
      if (!ValidUtf8(v)) invalido("um texto válido (há uma referência a um caractere que não existe)");
      return std::string(v);
    case TColumnType::Integer: {
      int32_t i = 0;
      if (!ParseInt(v, i)) invalido("um número inteiro");
      return i;
    }
    case TColumnType::Real: {
      double d = 0;
      // Every number reaches the engine in single precision, so one it cannot hold is refused here.
      if (!ParseDouble(v, d) || !FitsFloat(d)) invalido("um número real válido");
      return d;
    }
    case TColumnType::Boolean: {
      bool b = false;
      if (!ParseBool(v, b)) invalido("TRUE nem FALSE");
      return b;
    }
  }
  return std::monostate{};
}

}  // namespace

namespace {

// The encoding named in the XML declaration, or empty when the file names none.
std::string DeclaredEncoding(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml") return {};
  const std::string_view declaracao = bytes.substr(0, bytes.find("?>"));
  const size_t chave = declaracao.find("encoding");
  if (chave == std::string_view::npos) return {};
  const size_t abre = declaracao.find_first_of("\"'", chave);
  if (abre == std::string_view::npos) return {};
  const size_t fecha = declaracao.find(declaracao[abre], abre + 1);
  if (fecha == std::string_view::npos) return {};
  return std::string(declaracao.substr(abre + 1, fecha - abre - 1));
}

bool NamedAs(std::string_view nome, std::initializer_list<std::string_view> nomes) {
  for (std::string_view n : nomes)
    if (EqualsIgnoringAsciiCase(nome, n)) return true;
  return false;
}

// The text as UTF-8, read in the encoding the file declares; without a declaration, UTF-8 when it is
// valid as such and Windows-1252 otherwise (what Windows tools write).
std::string TextAsUtf8(const fs::path& arquivo, std::string bytes) {
  const std::string nome = DeclaredEncoding(bytes);
  if (nome.empty()) return ValidUtf8(bytes) ? std::move(bytes) : Windows1252ToUtf8(bytes);
  if (NamedAs(nome, {"UTF-8", "UTF8", "US-ASCII", "ASCII"})) {
    if (!ValidUtf8(bytes)) {
      Fail(arquivo,
           "o arquivo declara a codificação \"" + nome + "\", mas não é UTF-8 válido (linha " +
               std::to_string(LineOfOffset(bytes, static_cast<std::ptrdiff_t>(InvalidUtf8Offset(bytes)))) +
               ")");
    }
    return bytes;
  }
  if (NamedAs(nome, {"windows-1252", "cp1252", "x-cp1252"})) return Windows1252ToUtf8(bytes);
  if (NamedAs(nome, {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "latin1", "latin-1", "l1", "IBM819", "CP819"}))
    return Latin1ToUtf8(bytes);
  Fail(arquivo,
       "codificação \"" + nome + "\" desconhecida (o arquivo pode usar UTF-8, Windows-1252 ou ISO-8859-1)");
}

// RowState flags the data-set component writes for an unmerged change log.
constexpr int RowOriginal = 1, RowDeleted = 2, RowModified = 8;

struct TRawRow {
  pugi::xml_node no;
  int estado = 0;
};

// The rows as the component shows them once its change log is merged: deleted rows go, a modified row
// takes the place of the row it modifies, inserted rows stay where they are.
std::vector<pugi::xml_node> MergedRows(const pugi::xml_node& pacote) {
  std::vector<TRawRow> linhas;
  for (const pugi::xml_node row : pacote.child("ROWDATA").children("ROW"))
    linhas.push_back({row, row.attribute("RowState").as_int(0)});
  const size_t n = linhas.size();
  std::vector<size_t> substituta(n, SIZE_MAX);  // the row that replaces each one
  std::vector<bool> substitui(n, false);
  // CHANGE_LOG holds triples (row, original row, state), 1-based in ROW order.
  std::vector<int> log;
  {
    const std::string texto = pacote.child("METADATA").child("PARAMS").attribute("CHANGE_LOG").as_string();
    size_t pos = 0;
    while (pos < texto.size()) {
      const size_t fim = std::min(texto.find(' ', pos), texto.size());
      int32_t v = 0;
      if (fim > pos && ParseInt(std::string_view(texto).substr(pos, fim - pos), v)) log.push_back(v);
      pos = fim + 1;
    }
  }
  for (size_t k = 0; k + 2 < log.size(); k += 3) {
    const int linha = log[k], original = log[k + 1];
    if (!(log[k + 2] & RowModified) || linha < 1 || original < 1 || static_cast<size_t>(linha) > n ||
        static_cast<size_t>(original) > n || linha == original)
      continue;
    substituta[static_cast<size_t>(original - 1)] = static_cast<size_t>(linha - 1);
    substitui[static_cast<size_t>(linha - 1)] = true;
  }
  // Without a log entry, a modified row follows the nearest original before it that nothing replaces yet.
  // Those originals wait on a stack, nearest on top: one is taken only from the top, so each row is pushed
  // and popped at most once and the merge stays linear in the rows.
  std::vector<size_t> livres;
  for (size_t k = 0; k < n; ++k) {
    if (k > 0 && (linhas[k].estado & RowModified) && !substitui[k]) {
      while (!livres.empty() && (substituta[livres.back()] != SIZE_MAX || substitui[livres.back()]))
        livres.pop_back();
      if (!livres.empty()) {
        substituta[livres.back()] = k;
        substitui[k] = true;
        livres.pop_back();
      }
    }
    if ((linhas[k].estado & RowOriginal) && substituta[k] == SIZE_MAX && !substitui[k]) livres.push_back(k);
  }
  // Each row's last replacement, found once per row: a chain met again is not walked again, and a log that
  // loops stops where the loop closes.
  std::vector<size_t> final(n, SIZE_MAX);
  std::vector<size_t> caminho;
  for (size_t k = 0; k < n; ++k) {
    if (final[k] != SIZE_MAX) continue;
    caminho.clear();
    size_t atual = k;
    size_t fim = SIZE_MAX;
    for (;;) {
      if (final[atual] != SIZE_MAX) {
        fim = final[atual];
        break;
      }
      caminho.push_back(atual);
      final[atual] = n;  // on the walk now: meeting it again closes a loop
      const size_t seguinte = substituta[atual];
      if (seguinte == SIZE_MAX) {
        fim = atual;
        break;
      }
      if (final[seguinte] == n) {
        fim = atual;
        break;
      }
      atual = seguinte;
    }
    for (const size_t r : caminho) final[r] = fim;
  }
  std::vector<pugi::xml_node> resultado;
  for (size_t k = 0; k < n; ++k) {
    if (substitui[k]) continue;
    if (linhas[k].estado & RowDeleted || linhas[final[k]].estado & RowDeleted) continue;
    resultado.push_back(linhas[final[k]].no);
  }
  return resultado;
}

// Where a node sits, for an error: its line in the file when the parser kept its offset.
std::string NodePlace(const std::string& texto, bool linhasConhecidas, const pugi::xml_node& no) {
  const std::ptrdiff_t deslocamento = no.offset_debug();
  if (!linhasConhecidas || deslocamento < 0) return "";
  return " na linha " + std::to_string(LineOfOffset(texto, deslocamento));
}

std::string ElementName(const pugi::xml_node& no) {
  return "<" + std::string(no.name()) + ">";
}

bool IsBlank(const char* texto) {
  return std::string_view(texto).find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The rows are the ROW elements directly in the one ROWDATA, each an element with attributes only.
// Anything else there (a ROW nested in another element, a nested table, a second ROWDATA) would be
// dropped without a word, so the table is refused where it stops being understood.
void CheckRowLayout(const fs::path& arquivo, const std::string& texto, bool linhasConhecidas,
                    const pugi::xml_node& pacote) {
  const pugi::xml_node dados = pacote.child("ROWDATA");
  auto recusa = [&](const pugi::xml_node& no, const std::string& motivo) {
    Fail(arquivo, ElementName(no) + NodePlace(texto, linhasConhecidas, no) + ": " + motivo);
  };
  if (const pugi::xml_node outra = dados.next_sibling("ROWDATA"))
    recusa(outra, "a tabela tem um só <ROWDATA>");
  // A ROW anywhere but directly in ROWDATA (nested in a row or another element, beside ROWDATA, in
  // METADATA) is named first: that is the row the user would miss.
  struct TStrayRowFinder : pugi::xml_tree_walker {
    pugi::xml_node dados, achada;
    bool for_each(pugi::xml_node& no) override {
      if (no.type() != pugi::node_element || std::string_view(no.name()) != "ROW" || no.parent() == dados)
        return true;
      achada = no;
      return false;
    }
  } procura;
  procura.dados = dados;
  pacote.root().traverse(procura);
  if (procura.achada) {
    recusa(procura.achada, "fora do lugar, dentro de " + ElementName(procura.achada.parent()) +
                               "; as linhas da tabela ficam direto em <ROWDATA>");
  }
  int linha = 0;
  for (const pugi::xml_node no : dados.children()) {
    if (no.type() == pugi::node_pcdata || no.type() == pugi::node_cdata) {
      if (!IsBlank(no.value())) recusa(dados, "há texto entre as linhas da tabela");
      continue;
    }
    if (no.type() != pugi::node_element) continue;
    if (std::string_view(no.name()) != "ROW") recusa(no, "não é uma linha da tabela (<ROW>) em <ROWDATA>");
    ++linha;
    for (const pugi::xml_node dentro : no.children()) {
      if (dentro.type() == pugi::node_element) {
        recusa(dentro,
               "dentro da linha " + std::to_string(linha) +
                   " da tabela; uma linha guarda só atributos, e as linhas ficam direto em <ROWDATA>");
      }
      if ((dentro.type() == pugi::node_pcdata || dentro.type() == pugi::node_cdata) &&
          !IsBlank(dentro.value()))
        recusa(no,
               "a linha " + std::to_string(linha) + " da tabela tem texto; uma linha guarda só atributos");
    }
  }
}

}  // namespace

TSceneTable TSceneTable::Read(const fs::path& arquivo) {
  std::string bytes = ReadBytes(arquivo);
  pugi::xml_encoding codificacao = pugi::encoding_auto;
  const bool bomUTF16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                              (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  if (!bomUTF16) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.erase(0, 3);
    bytes = TextAsUtf8(arquivo, std::move(bytes));
    codificacao = pugi::encoding_utf8;  // the text is UTF-8 by now, whatever its declaration says
  }

  pugi::xml_document doc;
  const pugi::xml_parse_result r =
      doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, codificacao);
  if (!r) {
    Fail(arquivo,
         "XML inválido na linha " + std::to_string(LineOfOffset(bytes, r.offset)) + ": " + r.description());
  }

  const pugi::xml_node pacote = doc.child("DATAPACKET");
  const pugi::xml_node campos = pacote.child("METADATA").child("FIELDS");
  if (!pacote || !campos) Fail(arquivo, "não é uma tabela de cena (falta DATAPACKET/METADATA/FIELDS)");

  // Column names match whatever their letter case; each column is then read under the file's own name.
  const auto& colunas = SceneColumns();
  std::array<std::string, ColumnCount> nomesNoArquivo;
  std::string faltam;
  int quantasFaltam = 0;
  for (std::size_t c = 0; c < colunas.size(); ++c) {
    for (const pugi::xml_node campo : campos.children("FIELD")) {
      const char* nome = campo.attribute("attrname").as_string();
      if (EqualsIgnoringAsciiCase(nome, colunas[c].Nome)) {
        nomesNoArquivo[c] = nome;
        break;
      }
    }
    if (!nomesNoArquivo[c].empty() || IsOptionalColumn(static_cast<TColumn>(c))) continue;
    faltam += (quantasFaltam++ ? ", " : "") + InQuotes(colunas[c].Nome);
  }
  if (quantasFaltam == 1) Fail(arquivo, "falta a coluna " + faltam);
  if (quantasFaltam > 1) Fail(arquivo, "faltam as colunas " + faltam);
  CheckRowLayout(arquivo, bytes, !bomUTF16, pacote);

  TSceneTable tabela;
  int linha = 0;
  for (const pugi::xml_node row : MergedRows(pacote)) {
    auto& celulas = tabela.rows_.emplace_back();
    for (std::size_t c = 0; c < colunas.size(); ++c) {
      if (nomesNoArquivo[c].empty()) continue;  // an optional column the file does not define
      const pugi::xml_attribute a = row.attribute(nomesNoArquivo[c].c_str());
      if (a && *a.value() != '\0') celulas[c] = ReadCell(arquivo, linha, c, a.value());
    }
    ++linha;
  }
  return tabela;
}

void TSceneTable::Write(const fs::path& arquivo) const {
  // What a load would refuse is never written: the user could not open the file again.
  CheckSceneTable(*this, arquivo);
  fs::path lugar;
  const std::error_code ec = ReplaceFileAtomically(arquivo, ToXml(), &lugar);
  if (!ec) return;
  // The file itself may be writable while its folder takes no new file, which a save needs.
  std::error_code pasta;
  if (fs::is_directory(lugar, pasta))
    Fail(arquivo, "não foi possível gravar o arquivo: a pasta " + lugar.string() +
                      " não aceita um arquivo novo (" + ec.message() + ")");
  Fail(arquivo, "não foi possível gravar o arquivo: " + ec.message());
}

namespace {

// The fixed columns always; an optional one when some row has a value in it, so that a scene that uses
// none of them is written exactly as before they existed.
template <typename TRows>
std::array<bool, ColumnCount> WrittenColumns(const TRows& linhas) {
  std::array<bool, ColumnCount> escritas{};
  for (std::size_t c = 0; c < escritas.size(); ++c) {
    escritas[c] = !IsOptionalColumn(static_cast<TColumn>(c));
    for (const auto& celulas : linhas) escritas[c] = escritas[c] || celulas[c].index() != 0;
  }
  return escritas;
}

// pugixml writes into whatever stream it is given; this one is a string.
class TStringWriter : public pugi::xml_writer {
 public:
  void write(const void* dados, size_t tamanho) override {
    texto.append(static_cast<const char*>(dados), tamanho);
  }
  std::string texto;
};

}  // namespace

std::string TSceneTable::ToXml() const {
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  decl.append_attribute("standalone") = "yes";
  pugi::xml_node pacote = doc.append_child("DATAPACKET");
  pacote.append_attribute("Version") = "2.0";
  pugi::xml_node meta = pacote.append_child("METADATA");
  pugi::xml_node campos = meta.append_child("FIELDS");
  const std::array<bool, ColumnCount> escritas = WrittenColumns(rows_);
  for (std::size_t c = 0; c < SceneColumns().size(); ++c) {
    if (!escritas[c]) continue;
    const TColumnDefinition& col = SceneColumns()[c];
    pugi::xml_node f = campos.append_child("FIELD");
    f.append_attribute("attrname") = std::string(col.Nome).c_str();
    f.append_attribute("fieldtype") = MidasTypeName(col.Tipo);
    if (col.Largura > 0) f.append_attribute("WIDTH") = col.Largura;
  }
  meta.append_child("PARAMS");
  pugi::xml_node dados = pacote.append_child("ROWDATA");
  for (const auto& celulas : rows_) {
    pugi::xml_node row = dados.append_child("ROW");
    for (std::size_t c = 0; c < celulas.size(); ++c) {
      if (!escritas[c]) continue;
      const std::string nome(SceneColumns()[c].Nome);
      const Celula& v = celulas[c];
      if (auto* s = std::get_if<std::string>(&v)) {
        if (!s->empty()) row.append_attribute(nome.c_str()) = s->c_str();
      } else if (auto* i = std::get_if<int32_t>(&v)) {
        row.append_attribute(nome.c_str()) = std::to_string(*i).c_str();
      } else if (auto* d = std::get_if<double>(&v)) {
        row.append_attribute(nome.c_str()) = FormatDouble(*d).c_str();
      } else if (auto* b = std::get_if<bool>(&v)) {
        row.append_attribute(nome.c_str()) = *b ? "TRUE" : "FALSE";
      }
    }
  }
  TStringWriter saida;
  doc.save(saida, "", pugi::format_raw, pugi::encoding_utf8);
  return std::move(saida.texto);
}

void TSceneTable::Define(int linha, TColumn c, Celula valor) {
  rows_.at(static_cast<std::size_t>(linha))[static_cast<std::size_t>(c)] = std::move(valor);
}

const TSceneTable::Celula& TSceneTable::Cell(int linha, TColumn c) const {
  return rows_.at(static_cast<std::size_t>(linha))[static_cast<std::size_t>(c)];
}

void TSceneTable::InsertRowCopy(int antes, int origem) {
  auto copia = rows_.at(static_cast<std::size_t>(origem));
  rows_.insert(rows_.begin() + antes, std::move(copia));
}

void TSceneTable::InsertEmptyRow(int antes) {
  rows_.insert(rows_.begin() + antes, std::array<Celula, ColumnCount>{});
}

void TSceneTable::RemoveRow(int linha) {
  rows_.erase(rows_.begin() + linha);
}

void TSceneTable::SwapRows(int a, int b) {
  std::swap(rows_.at(static_cast<std::size_t>(a)), rows_.at(static_cast<std::size_t>(b)));
}

double TSceneTable::Real(int linha, TColumn c) const {
  const Celula& v = rows_.at(static_cast<std::size_t>(linha))[static_cast<std::size_t>(c)];
  const double* d = std::get_if<double>(&v);
  return d ? *d : 0.0;
}

int32_t TSceneTable::Integer(int linha, TColumn c) const {
  const Celula& v = rows_.at(static_cast<std::size_t>(linha))[static_cast<std::size_t>(c)];
  const int32_t* i = std::get_if<int32_t>(&v);
  return i ? *i : 0;
}

bool TSceneTable::Boolean(int linha, TColumn c) const {
  const Celula& v = rows_.at(static_cast<std::size_t>(linha))[static_cast<std::size_t>(c)];
  const bool* b = std::get_if<bool>(&v);
  return b ? *b : false;
}

std::string TSceneTable::Text(int linha, TColumn c) const {
  const Celula& v = rows_.at(static_cast<std::size_t>(linha))[static_cast<std::size_t>(c)];
  const std::string* s = std::get_if<std::string>(&v);
  return s ? *s : std::string();
}

fs::path CreateStartScene(const fs::path& pastaPrograma) {
  const fs::path pasta = pastaPrograma / "Cenas";
  const fs::path temp = pasta / "temp.xml";
  std::error_code ec;
  fs::create_directories(pasta, ec);
  fs::remove(temp, ec);
  // Saves killed part way in an earlier run left their hidden temporary files here.
  RemoveLeftoverTemporaryFiles(pasta);
  try {
    TSceneTable().Write(temp);
  } catch (const ESceneError&) {
    // The start-up scene is a convenience; a read-only program folder must not stop the program.
  }
  return temp;
}
