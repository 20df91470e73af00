#pragma once
// The memory a world's step works in. The engine takes its working blocks for a step and gives them back at
// its end; a step left by exception (an engine error) never gives them back, and the engine no longer knows
// them. Each world's blocks are counted here, so that the ones the engine lost go with the world.

#include <ode/ode.h>

#include <cstddef>
#include <unordered_set>

class TStepMemory {
 public:
  TStepMemory() = default;
  TStepMemory(const TStepMemory&) = delete;
  TStepMemory& operator=(const TStepMemory&) = delete;
  ~TStepMemory();  // frees the blocks the engine still holds or lost; the world must be gone by then

  // The world's step memory comes from here; only what is taken inside a TScope of this object is counted.
  void Attach(dWorldID mundo);

  // Marks the engine calls on this object's world (its steps and its destruction) for the blocks they take.
  class TScope {
   public:
    explicit TScope(TStepMemory& memoria);
    ~TScope();
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TStepMemory* previous_;
  };

  std::size_t BlockCount() const { return blocks_.size(); }

 private:
  static void* Alloc(dsizeint tamanho);
  static void* Shrink(void* bloco, dsizeint atual, dsizeint menor);
  static void Free(void* bloco, dsizeint tamanho);

  std::unordered_set<void*> blocks_;
};
