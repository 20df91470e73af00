#pragma once
// How often each of the window's timers fires, in milliseconds. Code and comments name these constants,
// never the numbers, so that a change here is a change everywhere.

inline constexpr int TimerGLMs = 10;         // the frame: the world's steps, the pointer, the picture
inline constexpr int DrawTimerMs = 50;       // the camera's buttons on the remote and the battery panel
inline constexpr int RepeatTimerMs = 20;     // auto-repeat of held buttons' actions
inline constexpr int CursorTimerMs = 12;     // desktop cursor keys, then the remote's grab and throw
inline constexpr int BatteryTimerMs = 1000;  // asks the remote for its status
inline constexpr int ReapTimerMs = 1000;     // collects the programs an "Execute" button started
// The desktop pointer. Its step sizes were tuned where a timer asked for every 2 ms in fact fired about
// every 10 ms; firing every 2 ms would move the pointer up to five times too fast.
inline constexpr int MotionTimerMs = 10;
