#include "support/scene_builder.h"

#include <unistd.h>
#include <atomic>
#include <fstream>

namespace fs = std::filesystem;

TSceneFolder::TSceneFolder() {
  static std::atomic<int> contador{0};
  caminho_ = fs::temp_directory_path() /
             ("vireta-teste-" + std::to_string(::getpid()) + "-" + std::to_string(contador++));
  fs::remove_all(caminho_);
  fs::create_directories(caminho_);
}

TSceneFolder::~TSceneFolder() {
  std::error_code ec;
  fs::remove_all(caminho_, ec);
}

fs::path TSceneFolder::Escreve(const std::string& nome, const std::string& texto) const {
  const fs::path p = caminho_ / nome;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << texto;
  return p;
}

TTestScene& TTestScene::Linha(std::initializer_list<Valor> valores) {
  tabela_.AcrescentaLinha();
  for (const auto& [coluna, valor] : valores) tabela_.Define(tabela_.NumeroLinhas() - 1, coluna, valor);
  return *this;
}

fs::path TTestScene::Grava(const fs::path& arquivo) const {
  tabela_.Grava(arquivo);
  return arquivo;
}

void Carrega(const fs::path& arquivo, TScene& cena, std::string* avisos) {
  CarregaCena(arquivo, cena, [avisos](const std::string& texto, const std::string& titulo) {
    if (avisos) *avisos += titulo + ": " + texto + "\n";
  });
}
