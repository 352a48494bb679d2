// Small helpers the options dialog's pages share: text conversions and the named controls
// every page builds.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>
#include <string>

#include "core/Settings.h"

namespace orva::setting_ui {

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
inline QString U(const char* s) {
  return QString::fromUtf8(s);
}
inline std::string S(const QString& s) {
  return s.toStdString();
}

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(U(name));
  return w;
}

inline QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
  return Named(new QCheckBox(U(text), parent), name);
}

inline QLineEdit* Edit(const char* name, QWidget* parent, const char* pattern = nullptr) {
  auto* e = Named(new QLineEdit(parent), name);
  if (pattern) e->setValidator(new QRegularExpressionValidator(QRegularExpression(U(pattern)), e));
  return e;
}

inline QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  return Named(new QPushButton(U(text), parent), name);
}

inline QWidget* NewPage(QVBoxLayout*& layout) {
  auto* page = new QWidget;
  layout = new QVBoxLayout(page);
  return page;
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

}  // namespace orva::setting_ui
