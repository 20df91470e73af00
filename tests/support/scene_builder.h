#pragma once
// Builds scene files for tests through the real table writer, so every test also goes through the
// real reader and loader.

#include "scene/scene_loader.h"
#include "scene/scene_table.h"

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

// A fresh folder under the system's temporary folder, removed with the object.
class TSceneFolder {
 public:
  TSceneFolder();
  ~TSceneFolder();
  TSceneFolder(const TSceneFolder&) = delete;
  TSceneFolder& operator=(const TSceneFolder&) = delete;
  const std::filesystem::path& Caminho() const { return caminho_; }
  std::filesystem::path operator/(const std::string& nome) const { return caminho_ / nome; }
  // Writes `texto` to `nome` inside the folder and returns its path.
  std::filesystem::path Escreve(const std::string& nome, const std::string& texto) const;

 private:
  std::filesystem::path caminho_;
};

using Valor = std::pair<TColumn, TSceneTable::Celula>;

class TTestScene {
 public:
  TTestScene& Linha(std::initializer_list<Valor> valores);
  // Writes the table to `arquivo` and returns the path.
  std::filesystem::path Grava(const std::filesystem::path& arquivo) const;
  const TSceneTable& Tabela() const { return tabela_; }

 private:
  TSceneTable tabela_;
};

// Loads `arquivo` into a fresh scene; notices are collected in `avisos` when given.
void Carrega(const std::filesystem::path& arquivo, TScene& cena, std::string* avisos = nullptr);
