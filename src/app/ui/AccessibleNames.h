// Names for screen readers: every control a user can reach gets an accessible name, taken
// from what a sighted user reads beside it (its caption, its hint, or its label), so a screen
// reader can name it and a test can find it.
#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace orva {

// Whether a person can operate the widget (buttons, fields, lists, sliders, ...).
bool IsInteractive(const QWidget* w);
// The name a screen reader announces for the widget (empty when it has none).
QString AccessibleNameOf(QWidget* w);
// Gives every interactive control under root that has no name one from its hint or label.
void NameControls(QWidget* root);
// The object names (or class names) of the interactive controls under root still unnamed.
QStringList UnnamedControls(QWidget* root);

// Names the controls of every window as it is first shown.
class TAccessibleNames final : public QObject {
  Q_OBJECT
 public:
  explicit TAccessibleNames(QObject* parent = nullptr);
  ~TAccessibleNames() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace orva
