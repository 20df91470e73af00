#include "common/clock.h"

IClock& SteadyClock() {
  static TSteadyClock relogio;
  return relogio;
}
