// Decoding cost of the richest report, and how long a report takes from the remote to the record that the
// main thread's handlers read.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <vector>

#include "wiimote/hid_controller.h"
#include "wiimote/testing/fake_hid_platform.h"
#include "wiimote/testing/recording_host.h"
#include "wiimote/testing/test_main_loop.h"
#include "wiimote/wiimote_decoder.h"
#include "wiimote/wiimote_link.h"

namespace {

std::vector<uint8_t> Report37Data() {
  // Buttons A and B, accelerometer, two IR dots in 10 bytes, six Nunchuk bytes.
  return {0x00, 0x0C, 0x81, 0x7F, 0x99, 0x10, 0x20, 0x54, 0x30, 0x40, 0x96,
          0xFF, 0xFF, 0xFF, 0xFF, 0x7E, 0x7E, 0x68, 0x69, 0x6A, 0xFF};
}

void BM_DecodeReport37(benchmark::State& State) {
  TWiimote W;
  W.ExtensionConnected = true;
  int Edges = 0;
  TWiimoteDecodeEvents Events;
  Events.ButtonEdge = [&](uint16_t, int, TButtonState&) { ++Edges; };
  std::vector<uint8_t> Data = Report37Data();
  uint8_t Step = 0;
  for (auto _ : State) {
    Data[2] = Step++;  // the accelerometer moves, as it always does
    ParseReport(W, 0x37, Data.data(), Data.size(), Events);
    benchmark::DoNotOptimize(W);
  }
  State.counters["edges"] = Edges;
}
BENCHMARK(BM_DecodeReport37);

void BM_DecodeReport37WithButtonEdges(benchmark::State& State) {
  TWiimote W;
  W.ExtensionConnected = true;
  TWiimoteDecodeEvents Events;
  Events.ButtonEdge = [](uint16_t, int, TButtonState&) {};
  std::vector<uint8_t> Data = Report37Data();
  uint8_t Step = 0;
  for (auto _ : State) {
    Data[1] = (Step++ & 1) != 0 ? 0x0C : 0x00;  // A and B go down and up every report
    ParseReport(W, 0x37, Data.data(), Data.size(), Events);
    benchmark::DoNotOptimize(W);
  }
}
BENCHMARK(BM_DecodeReport37WithButtonEdges);

// Remote writes a report -> the main loop finds the descriptor readable, reads it and decodes it into the
// record.
void BM_ReportToRecordOnMainThread(benchmark::State& State) {
  std::signal(SIGPIPE, SIG_IGN);
  TFakeClock Clock;
  TVirtualWiimote Remote;
  TFakeHidPlatform Platform;
  TTestMainLoop Loop;
  TRecordingHost Host;
  Platform.Plug(Remote);
  TJvHidDeviceController HIDCtl(THidServices{Platform, Platform, Platform, Loop});
  TWiimoteLink Link(HIDCtl, Host, Clock);
  Loop.RunPending();
  if (Link.WiiDevice() == nullptr || !Loop.RunUntil([&] { return Link.Wiimote().BatteryLevel != 0; })) {
    State.SkipWithError("the virtual remote was not claimed");
    return;
  }

  std::vector<double> Micros;
  uint8_t Value = 0;
  for (auto _ : State) {
    Value = static_cast<uint8_t>(Value == 0x40 ? 0x41 : 0x40);
    const auto Start = std::chrono::steady_clock::now();
    Remote.SendRaw({0x31, 0x00, 0x00, Value, 0x80, 0x80});
    if (!Loop.RunUntil([&] { return Link.Wiimote().AccelX == Value; })) {
      State.SkipWithError("a report was lost");
      break;
    }
    const auto End = std::chrono::steady_clock::now();
    const double Seconds = std::chrono::duration<double>(End - Start).count();
    State.SetIterationTime(Seconds);
    Micros.push_back(Seconds * 1e6);
  }
  if (Micros.empty()) return;
  std::sort(Micros.begin(), Micros.end());
  State.counters["median_us"] = Micros[Micros.size() / 2];
  State.counters["p99_us"] = Micros[std::min(Micros.size() - 1, Micros.size() * 99 / 100)];
  State.counters["max_us"] = Micros.back();
}
BENCHMARK(BM_ReportToRecordOnMainThread)->UseManualTime()->Iterations(5000)->Unit(benchmark::kMicrosecond);

}  // namespace
