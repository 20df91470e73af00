#pragma once
// Builds scene files for tests through the real table writer, so every test also goes through the
// real reader and loader.

#include "scene_loader.h"
#include "scene_table.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

// A fresh folder under the system's temporary folder, removed with the object.
class PastaTemporaria {
 public:
  PastaTemporaria();
  ~PastaTemporaria();
  PastaTemporaria(const PastaTemporaria&) = delete;
  PastaTemporaria& operator=(const PastaTemporaria&) = delete;
  const std::filesystem::path& Caminho() const { return caminho_; }
  std::filesystem::path operator/(const std::string& nome) const { return caminho_ / nome; }
  // Writes `texto` to `nome` inside the folder and returns its path.
  std::filesystem::path Escreve(const std::string& nome, const std::string& texto) const;

 private:
  std::filesystem::path caminho_;
};

using Valor = std::pair<Coluna, TabelaCena::Celula>;

class CenaDeTeste {
 public:
  CenaDeTeste& Linha(std::initializer_list<Valor> valores);
  // Writes the table to `arquivo` and returns the path.
  std::filesystem::path Grava(const std::filesystem::path& arquivo) const;
  const TabelaCena& Tabela() const { return tabela_; }

 private:
  TabelaCena tabela_;
};

// Loads `arquivo` into a fresh scene; notices are collected in `avisos` when given.
void Carrega(const std::filesystem::path& arquivo, Cena& cena, std::string* avisos = nullptr);
