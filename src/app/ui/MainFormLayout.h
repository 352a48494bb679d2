// The measures of the main window's bar and panels, shared by the files that build and lay
// them out.
#pragma once

#include <QString>
#include <string>

namespace orva::mainform {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

constexpr int kBarHeight = 22;
constexpr int kPanel01Width = 150;
constexpr int kPanel02Width = 112;
constexpr int kFeeCb1Width = 64;
constexpr int kPanel03Width = 24;

// The height of each panel's body; the captions are the "Finestra" menu's.
constexpr int kPanelBodyHeights[6] = {40, 34, 48, 128, 44, 80};
constexpr int kCaptionHeight = 18;

// What a screen reader calls the two gauges of the running tick.
constexpr const char* kTickGaugeName = "Avanzamento dello scatto";

}  // namespace orva::mainform
