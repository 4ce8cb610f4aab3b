#pragma once
// The pictures of a 2-D chart window's mode toolbar, by image index:
// 0 a switch that is off, 1 a switch that is on, 2 help, 3 new chart window,
// 4 3-D chart, 5 chart windows, 6 always on top.

#include <QIcon>
#include <QList>

namespace tw {

namespace ChartModeImage {
constexpr int SwitchOff = 0;
constexpr int SwitchOn = 1;
constexpr int Help = 2;
constexpr int NewChart = 3;
constexpr int Chart3D = 4;
constexpr int ChartWindows = 5;
constexpr int OnTop = 6;
} // namespace ChartModeImage

// The image list of the mode toolbar (needs the application object).
QList<QIcon> chartModeIcons();

} // namespace tw
