#pragma once
// A desktop that records what it is asked to do, for tests of the actions and of the pointer control.

#include <map>
#include <string>
#include <vector>

#include "input/desktop/desktop_input.h"

class TRecordingDesktopInput final : public IDesktopInput {
 public:
  // One 1024 x 768 monitor, the pointer at (0, 0).
  TRecordingDesktopInput();

  bool Available() const override { return available_; }
  void KeyDown(TKeySym Key) override;
  void KeyUp(TKeySym Key) override;
  void ButtonDown(TMouseButton Button) override;
  void ButtonUp(TMouseButton Button) override;
  void Wheel(int Notches) override;
  TPoint CursorPos() override { return cursor_; }
  // Keeps the pointer within the box around every monitor, as an X server keeps it on its screen.
  void SetCursorPos(TPoint P) override;
  TMonitors Monitors() override { return monitors_; }
  std::optional<TKeySym> KeyByName(std::string_view Name) const override;

  // Test set-up.
  void SetAvailable(bool Available) { available_ = Available; }
  void SetMonitors(TMonitors Monitors) { monitors_ = std::move(Monitors); }  // the primary first
  void PlacePointer(TPoint P) { cursor_ = P; }
  void AddLayoutName(const std::string& Name, TKeySym Key) { layoutNames_[Name] = Key; }

  // What was done since the last call, as words: "+Control_L" and "-Control_L" for a key down and up
  // (keysym names; others as hexadecimal), "+left"/"-left" (middle, right) for buttons, "wheel+1",
  // "move(x,y)" for a pointer move. Clears the record.
  std::string Take();
  // The number of pointer moves since the last Take.
  int Moves() const { return moves_; }

 private:
  void Record(std::string Word);

  bool available_ = true;
  TMonitors monitors_;
  TPoint cursor_;
  std::map<std::string, TKeySym, std::less<>> layoutNames_;
  std::vector<std::string> record_;
  int moves_ = 0;
};

// The keysym's name for the names the tests meet ("Control_L", "t", "F13"), else "0x" and its hexadecimal.
std::string KeySymText(TKeySym Key);
