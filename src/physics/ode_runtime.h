#pragma once
// The physics engine's process-wide set-up: initialised once, with its error and debug handlers replaced
// so that a value the engine rejects raises an exception instead of ending the program.

#include <stdexcept>

class EPhysicsEngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Idempotent and thread-safe; every world constructor calls it.
void InitPhysicsEngine();
