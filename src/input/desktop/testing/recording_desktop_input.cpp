#include "input/desktop/testing/recording_desktop_input.h"

#include <cstdio>

namespace {

const char* ButtonText(TMouseButton Button) {
  switch (Button) {
    case TMouseButton::Left:
      return "left";
    case TMouseButton::Middle:
      return "middle";
    case TMouseButton::Right:
      return "right";
  }
  return "?";
}

}  // namespace

std::string KeySymText(TKeySym Key) {
  static const std::map<TKeySym, const char*> names{{KeySyms::BackSpace, "BackSpace"},
                                                    {KeySyms::Tab, "Tab"},
                                                    {KeySyms::Return, "Return"},
                                                    {KeySyms::Pause, "Pause"},
                                                    {KeySyms::Escape, "Escape"},
                                                    {KeySyms::Space, "space"},
                                                    {KeySyms::Home, "Home"},
                                                    {KeySyms::Left, "Left"},
                                                    {KeySyms::Up, "Up"},
                                                    {KeySyms::Right, "Right"},
                                                    {KeySyms::Down, "Down"},
                                                    {KeySyms::PageUp, "Prior"},
                                                    {KeySyms::PageDown, "Next"},
                                                    {KeySyms::End, "End"},
                                                    {KeySyms::Insert, "Insert"},
                                                    {KeySyms::Delete, "Delete"},
                                                    {KeySyms::ShiftL, "Shift_L"},
                                                    {KeySyms::ControlL, "Control_L"},
                                                    {KeySyms::AltL, "Alt_L"},
                                                    {KeySyms::SuperL, "Super_L"},
                                                    {KeySyms::AudioMute, "AudioMute"},
                                                    {KeySyms::AudioRaiseVolume, "AudioRaiseVolume"},
                                                    {KeySyms::AudioLowerVolume, "AudioLowerVolume"}};
  if (auto it = names.find(Key); it != names.end()) return it->second;
  if (Key >= KeySyms::Digit0 && Key <= KeySyms::Digit0 + 9) return std::string(1, static_cast<char>(Key));
  if (Key >= KeySyms::LetterA && Key <= KeySyms::LetterA + 25) return std::string(1, static_cast<char>(Key));
  if (Key >= KeySyms::F1 && Key < KeySyms::F1 + 35) return "F" + std::to_string(Key - KeySyms::F1 + 1);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(Key));
  return hex;
}

TRecordingDesktopInput::TRecordingDesktopInput() : monitors_{{0, 0, 1024, 768}} {}

void TRecordingDesktopInput::Record(std::string Word) {
  if (available_) record_.push_back(std::move(Word));
}

void TRecordingDesktopInput::KeyDown(TKeySym Key) {
  Record("+" + KeySymText(Key));
}

void TRecordingDesktopInput::KeyUp(TKeySym Key) {
  Record("-" + KeySymText(Key));
}

void TRecordingDesktopInput::ButtonDown(TMouseButton Button) {
  Record(std::string("+") + ButtonText(Button));
}

void TRecordingDesktopInput::ButtonUp(TMouseButton Button) {
  Record(std::string("-") + ButtonText(Button));
}

void TRecordingDesktopInput::Wheel(int Notches) {
  Record((Notches > 0 ? "wheel+" : "wheel") + std::to_string(Notches));
}

void TRecordingDesktopInput::SetCursorPos(TPoint P) {
  if (!available_ || monitors_.empty()) return;
  cursor_ = ClampTo(BoundingBox(monitors_), P);
  ++moves_;
  Record("move(" + std::to_string(cursor_.X) + "," + std::to_string(cursor_.Y) + ")");
}

std::optional<TKeySym> TRecordingDesktopInput::KeyByName(std::string_view Name) const {
  auto it = layoutNames_.find(Name);
  if (it == layoutNames_.end()) return std::nullopt;
  return it->second;
}

std::string TRecordingDesktopInput::Take() {
  std::string text;
  for (const std::string& w : record_) text += (text.empty() ? "" : " ") + w;
  record_.clear();
  moves_ = 0;
  return text;
}
