#pragma once
// What the user asks of the world's clock: pause, one step at a time, and slow motion. Plain C++; the
// frame reads it when it counts the steps a tick owes the world.

#include <functional>
#include <string>
#include <vector>

class TSimulationControl {
 public:
  // Paused, the world is not stepped; the picture, the camera and the pointer go on.
  bool Paused() const { return paused_; }
  void SetPaused(bool pausado);
  void TogglePause() { SetPaused(!paused_); }

  // While paused, asks for one more step of the world on a coming frame; running, it does nothing.
  void StepOnce();
  // The frame takes one step asked for by StepOnce, if any is waiting.
  bool TakeStep();
  // A step asked for by StepOnce has not been taken yet.
  bool StepWaiting() const { return stepsWaiting_ > 0; }

  // The world runs at 1, 1/2, 1/4 or 1/10 of real time: one step every SpeedDivisor() ticks.
  int SpeedDivisor() const;
  void Faster();  // towards real time; stays there
  void Slower();  // towards a tenth; stays there

  // The speed as the status bar shows it.
  std::string SpeedText() const;

  // Called after every change of the pause or the speed, however it was asked for.
  void Subscribe(std::function<void()> ouvinte) { listeners_.push_back(std::move(ouvinte)); }

 private:
  bool paused_ = false;
  int stepsWaiting_ = 0;
  int speed_ = 0;  // index into the speeds, 0 being real time
  std::vector<std::function<void()>> listeners_;

  void Changed() const;
};
