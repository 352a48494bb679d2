// Conversions the log window's files share: text between std::string and QString, colours
// between the settings and Qt.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <string_view>

#include "core/Settings.h"

namespace orva::logform_ui {

inline QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
inline std::string S(const QString& s) {
  return s.toStdString();
}

// Settings keep colours as Windows does: red in the low byte, blue in the third.
inline QColor ToQColor(SettingsColour c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}
inline SettingsColour FromQColor(const QColor& c) {
  return static_cast<SettingsColour>(c.red()) | static_cast<SettingsColour>(c.green()) << 8 |
         static_cast<SettingsColour>(c.blue()) << 16;
}

}  // namespace orva::logform_ui
