#pragma once
// The drawing panel's size in pixels as the window opens: the tests that draw, pick or project do it at
// this size, as the program first does.

inline constexpr int PanelWidth = 769;
inline constexpr int PanelHeight = 610;
