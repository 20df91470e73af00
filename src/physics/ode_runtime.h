#pragma once
// The physics engine's process-wide set-up: initialised once, with its error and debug handlers replaced
// so that a value the engine rejects raises an exception instead of ending the program.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class EPhysicsEngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  EPhysicsEngineError(const std::string& texto, std::vector<std::size_t> objetos)
      : std::runtime_error(texto), objects_(std::move(objetos)) {}
  // The scene objects (their indices) whose geometries the engine was working on, when that is known.
  const std::vector<std::size_t>& Objects() const { return objects_; }

 private:
  std::vector<std::size_t> objects_;
};

// Idempotent and thread-safe; every world constructor calls it.
void InitPhysicsEngine();
