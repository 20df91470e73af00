#include "wiimote/testing/recording_host.h"

const char* InputTimerName(TInputTimer Timer) {
  switch (Timer) {
    case TInputTimer::BatteryTimer:
      return "BatteryTimer";
    case TInputTimer::MotionTimer:
      return "MotionTimer";
    case TInputTimer::DrawTimer:
      return "DrawTimer";
    case TInputTimer::RepeatTimer:
      return "RepeatTimer";
    case TInputTimer::CursorTimer:
      return "CursorTimer";
  }
  return "?";
}

void TRecordingHost::SetCaption(const std::string& Text) {
  Caption = Text;
  Log.push_back("caption:" + Text);
}

void TRecordingHost::SetBatteryText(const std::string& Text) {
  BatteryText = Text;
  Log.push_back("battery:" + Text);
}

void TRecordingHost::SetOptionsEnabled(bool Enabled) {
  OptionsEnabled = Enabled;
  Log.push_back(Enabled ? "options:on" : "options:off");
}

void TRecordingHost::SetTimerEnabled(TInputTimer Timer, bool Enabled) {
  TimerRunning[static_cast<int>(Timer)] = Enabled;
  Log.push_back(std::string(InputTimerName(Timer)) + (Enabled ? ":on" : ":off"));
}

void TRecordingHost::ButtonEdge(uint16_t Mask, int Kind, TButtonState& /*State*/) {
  Edges.push_back({Mask, Kind});
}
