#include "physics/ode_runtime.h"

#include <ode/ode.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

std::string Format(int numero, const char* msg, va_list ap) {
  char texto[512];
  std::vsnprintf(texto, sizeof texto, msg, ap);
  return "motor de física (" + std::to_string(numero) + "): " + texto;
}

// The engine calls exit() or abort() if these return, so they must leave by exception.
[[noreturn]] void TrataErro(int numero, const char* msg, va_list ap) {
  throw EPhysicsEngineError(Format(numero, msg, ap));
}

// Warnings (for example a mass the engine dislikes) are not the student's concern: we validate before the
// engine sees a value, so a warning carries nothing to act on.
void IgnoreMessage(int, const char*, va_list) {}

}  // namespace

void InitPhysicsEngine() {
  static std::once_flag feito;
  std::call_once(feito, [] {
    dInitODE2(0);
    dSetErrorHandler(TrataErro);
    dSetDebugHandler(TrataErro);
    dSetMessageHandler(IgnoreMessage);
  });
}
