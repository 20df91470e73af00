#pragma once
// The pointer control's arithmetic, free of any device: each function gives one tick's step or target.
// Every division is done exactly on integers, so a step that is a whole number is never off by one.

#include <cstdint>

#include "input/desktop/screen_geometry.h"
#include "input/settings/settings.h"

// The tilt step for the accelerometer bytes: the deviation from BaseX/BaseY, zero inside the dead zone
// (|d| < SensorThreshold), scaled by the fast step (24 dx / (45 - 2 SpeedFast) and 20 dy / (45 - 2
// SpeedFast), toward zero, i.e. dx / (2.25 - 0.1 SpeedFast) x 1.2) or the slow step (6 dx / (5 (12 -
// SpeedSlow)) and dy / (12 - SpeedSlow), toward +infinity) as OnPush and the held cursor button choose;
// then InvertH/InvertV. An OnPush other than "Faster" or "Slower" gives the raw deviation.
TPoint TiltStep(const TQuillonSetting& Setting, uint8_t AccelX, uint8_t AccelY, bool CursorButtonHeld);

// The screen point the infrared camera aims at, on the monitor `Primary`: x from 1024 - IRMidX over the
// width, y from IRMidY stretched by DisplayEdgeAdjustment A (768 / (768 - 2A) x IRMidY - A) over the
// height; both rounded to the nearest pixel, halves away from zero.
TPoint IRTarget(const TScreenRect& Primary, int32_t IRMidX, int32_t IRMidY, int32_t DisplayEdgeAdjustment);

// One glide toward Target: a sixth of the remaining distance, (Target + 5 Cursor) / 6 toward zero.
TPoint IRGlide(TPoint Target, TPoint Cursor);

// The Nunchuk stick step: nothing between 144 and 272, else the distance past that band over
// 22 - AnalogCursorSpeed (toward zero); AnalogInvertH/V applied. The pointer goes to (x + X, y - Y).
TPoint NunchukStep(const TQuillonSetting& Setting, int32_t StickX, int32_t StickY);

// On a desktop edge: one of the four neighbouring pixels lies on no monitor.
bool OnDesktopEdge(const TMonitors& Monitors, TPoint P);
