#pragma once
// The scene table: one row per rigid object, 37 typed columns and a few optional ones, read from and written
// to the MIDAS XML data-packet layout. Reading maps columns by name; an absent cell reads as 0, false or
// empty text.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

enum class TColumnType { Text, Integer, Real, Boolean };

// Every column in table order, each once: its name in the file, its type and, for text, its width in
// characters (0 otherwise). First the fixed columns every scene file defines, then the optional ones a
// file may leave out (a table that uses none of them is written without them): the launch, the
// elasticity, and a link from this row's object to another object or to a fixed point of the world.
#define VIRETA_FIXED_COLUMNS(COLUMN)     \
  COLUMN(Nome, Text, 20)                 \
  COLUMN(ID, Integer, 0)                 \
  COLUMN(X, Real, 0)                     \
  COLUMN(Y, Real, 0)                     \
  COLUMN(Z, Real, 0)                     \
  COLUMN(Ang, Real, 0)                   \
  COLUMN(eixoX, Real, 0)                 \
  COLUMN(eixoY, Real, 0)                 \
  COLUMN(eixoZ, Real, 0)                 \
  COLUMN(SX, Real, 0)                    \
  COLUMN(SY, Real, 0)                    \
  COLUMN(SZ, Real, 0)                    \
  COLUMN(Dim1, Real, 0)                  \
  COLUMN(Dim2, Real, 0)                  \
  COLUMN(Dim3, Real, 0)                  \
  COLUMN(Dim4, Real, 0)                  \
  COLUMN(Massa, Real, 0)                 \
  COLUMN(R, Real, 0)                     \
  COLUMN(G, Real, 0)                     \
  COLUMN(B, Real, 0)                     \
  COLUMN(A, Real, 0)                     \
  COLUMN(UsaCor, Boolean, 0)             \
  COLUMN(Arquivo, Text, 255)             \
  COLUMN(UserMove, Boolean, 0)           \
  COLUMN(ODEMove, Boolean, 0)            \
  COLUMN(MoveX, Boolean, 0)              \
  COLUMN(MoveY, Boolean, 0)              \
  COLUMN(MoveZ, Boolean, 0)              \
  COLUMN(ODETipo, Integer, 0)            \
  COLUMN(MostraRastroSempre, Boolean, 0) \
  COLUMN(MostraRastroSolto, Boolean, 0)  \
  COLUMN(MostraVecV, Boolean, 0)         \
  COLUMN(MostraVecA, Boolean, 0)         \
  COLUMN(MostraEixoRot, Boolean, 0)      \
  COLUMN(TipoDeColisao, Integer, 0)      \
  COLUMN(Atrito, Real, 0)                \
  COLUMN(TemGravidade, Boolean, 0)
#define VIRETA_OPTIONAL_COLUMNS(COLUMN) \
  COLUMN(VelX, Real, 0)                 \
  COLUMN(VelY, Real, 0)                 \
  COLUMN(VelZ, Real, 0)                 \
  COLUMN(VelAngX, Real, 0)              \
  COLUMN(VelAngY, Real, 0)              \
  COLUMN(VelAngZ, Real, 0)              \
  COLUMN(Elasticidade, Real, 0)         \
  COLUMN(Ligacao, Integer, 0)           \
  COLUMN(LigaCom, Integer, 0)           \
  COLUMN(PontoX, Real, 0)               \
  COLUMN(PontoY, Real, 0)               \
  COLUMN(PontoZ, Real, 0)               \
  COLUMN(EixoLigX, Real, 0)             \
  COLUMN(EixoLigY, Real, 0)             \
  COLUMN(EixoLigZ, Real, 0)             \
  COLUMN(Rigidez, Real, 0)              \
  COLUMN(Amortecimento, Real, 0)        \
  COLUMN(Comprimento, Real, 0)

enum class TColumn {
#define VIRETA_COLUMN_NAME(Name, Type, Width) Name,
  VIRETA_FIXED_COLUMNS(VIRETA_COLUMN_NAME) VIRETA_OPTIONAL_COLUMNS(VIRETA_COLUMN_NAME)
#undef VIRETA_COLUMN_NAME
};

struct TColumnDefinition {
  std::string_view Nome;
  TColumnType Tipo;
  int Largura;  // characters, for text columns; 0 otherwise
};

#define VIRETA_COLUMN_COUNT(Name, Type, Width) +1
inline constexpr int NumeroColunas = 0 VIRETA_FIXED_COLUMNS(VIRETA_COLUMN_COUNT);  // every file defines these
inline constexpr int OptionalColumnCount = 0 VIRETA_OPTIONAL_COLUMNS(VIRETA_COLUMN_COUNT);
#undef VIRETA_COLUMN_COUNT
static_assert(NumeroColunas == 37, "a scene file has 37 fixed columns");
inline constexpr int ColumnCount = NumeroColunas + OptionalColumnCount;
// Every column in table order: the fixed ones, then the optional ones.
const std::array<TColumnDefinition, ColumnCount>& SceneColumns();
inline bool IsOptionalColumn(TColumn c) {
  return static_cast<int>(c) >= NumeroColunas;
}

// A load that cannot go on: the text names the file and, where there is one, the row and column, which
// are also kept as data so that an editor can point at the cell.
class ESceneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  ESceneError(const std::string& texto, int linha, std::optional<TColumn> coluna = std::nullopt)
      : std::runtime_error(texto), row_(linha), column_(coluna) {}
  std::optional<int> Row() const { return row_; }  // 0-based
  std::optional<TColumn> Column() const { return column_; }

 private:
  std::optional<int> row_;
  std::optional<TColumn> column_;
};

// Where a cell is, as every message about one says it: `arquivo: linha N, coluna "Nome"` (rows 0-based
// here, counted from 1 in the text).
std::string CellPlace(const std::filesystem::path& arquivo, int linha, TColumn coluna);

class TSceneTable {
 public:
  using Celula = std::variant<std::monostate, std::string, int32_t, double, bool>;

  // Reads a scene file (UTF-8 or an 8-bit Windows code page). Throws ESceneError.
  static TSceneTable Read(const std::filesystem::path& arquivo);

  // Writes the table in the MIDAS layout: every fixed column defined, an optional one only when some row
  // has a value in it, one attribute per non-empty cell. The file is replaced whole or not at all. Throws
  // ESceneError when the file cannot be written, or naming the row and column of a cell that the loader
  // would refuse (CheckSceneTable); the file is then untouched.
  void Write(const std::filesystem::path& arquivo) const;
  std::string ToXml() const;  // the bytes Write writes

  int RowCount() const { return static_cast<int>(rows_.size()); }
  void AppendRow() { rows_.emplace_back(); }
  void Define(int linha, TColumn c, Celula valor);  // the value's type must be the column's
  const Celula& Cell(int linha, TColumn c) const;
  // Row operations on 0-based rows in range; `antes` may be RowCount() to append.
  void InsertRowCopy(int antes, int origem);
  void InsertEmptyRow(int antes);
  void RemoveRow(int linha);
  void SwapRows(int a, int b);
  bool operator==(const TSceneTable&) const = default;

  // Readers of a 0-based row; an absent cell gives 0, false or empty text.
  double Real(int linha, TColumn c) const;
  int32_t Integer(int linha, TColumn c) const;
  bool Boolean(int linha, TColumn c) const;
  std::string Text(int linha, TColumn c) const;

 private:
  std::vector<std::array<Celula, ColumnCount>> rows_;
};

// Cells of one row to set, each with its column: a new row's values, or one edit made in one step.
using TRowCells = std::vector<std::pair<TColumn, TSceneTable::Celula>>;

// The start-up scene: creates "Cenas" in `pastaPrograma` if missing, replaces "Cenas/temp.xml" with an empty
// table of the 37 columns, and returns its path. Failures to create the folder or file are not reported.
std::filesystem::path CreateStartScene(const std::filesystem::path& pastaPrograma);
