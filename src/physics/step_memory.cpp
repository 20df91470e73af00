#include "physics/step_memory.h"

#include <cstdlib>
#include <new>

namespace {

// The engine's memory functions take no context: the world being stepped is known to the thread instead.
thread_local TStepMemory* active = nullptr;

}  // namespace

TStepMemory::~TStepMemory() {
  for (void* bloco : blocks_) std::free(bloco);
}

void TStepMemory::Attach(dWorldID mundo) {
  dWorldStepMemoryFunctionsInfo funcoes{};
  funcoes.struct_size = sizeof(funcoes);
  funcoes.alloc_block = Alloc;
  funcoes.shrink_block = Shrink;
  funcoes.free_block = Free;
  dWorldSetStepMemoryManager(mundo, &funcoes);
}

TStepMemory::TScope::TScope(TStepMemory& memoria) : previous_(active) {
  active = &memoria;
}

TStepMemory::TScope::~TScope() {
  active = previous_;
}

void* TStepMemory::Alloc(dsizeint tamanho) {
  void* bloco = std::malloc(tamanho);
  if (bloco == nullptr) throw std::bad_alloc();
  if (active) active->blocks_.insert(bloco);
  return bloco;
}

void* TStepMemory::Shrink(void* bloco, dsizeint, dsizeint menor) {
  void* novo = std::realloc(bloco, menor);
  if (novo == nullptr) return bloco;  // the old block still holds its head, and more
  if (active && novo != bloco && active->blocks_.erase(bloco) != 0) active->blocks_.insert(novo);
  return novo;
}

void TStepMemory::Free(void* bloco, dsizeint) {
  if (active) active->blocks_.erase(bloco);
  std::free(bloco);
}
