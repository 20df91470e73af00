#pragma once
// A main window for tests: remembers what the Wii Remote link showed and in what order.

#include <string>
#include <vector>

#include "wiimote/wiimote_host.h"

class TRecordingHost : public IWiimoteHost {
 public:
  struct TEdge {
    uint16_t Mask;
    int Kind;
  };

  void SetCaption(const std::string& Caption) override;
  void SetBatteryText(const std::string& Text) override;
  void SetStatusNotice(const std::string& Text) override { StatusNotices.push_back(Text); }
  void SetOptionsEnabled(bool Enabled) override;
  void SetTimerEnabled(TInputTimer Timer, bool Enabled) override;
  TWiimoteSettings WiimoteSettings() const override { return Settings; }
  void ButtonEdge(uint16_t Mask, int Kind, TButtonState& State) override;
  void RemoteLost() override { Log.push_back("lost"); }

  TWiimoteSettings Settings;
  std::string Caption = "Form1";  // the window's own title before anything sets it
  std::string BatteryText;
  std::vector<std::string> StatusNotices;
  bool OptionsEnabled = false;
  bool TimerRunning[5] = {};
  std::vector<std::string> Log;  // "caption:…", "options:on", "BatteryTimer:off", …
  std::vector<TEdge> Edges;
};

const char* InputTimerName(TInputTimer Timer);
