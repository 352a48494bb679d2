// The wizard's moving parts: the welcome dial whose needle sweeps up, and the provider rows
// that show each provider's tariff at the right.
#pragma once

#include <QStyledItemDelegate>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "setup/Wizard.h"

namespace orva {

// The welcome animation: a meter dial whose needle sweeps up in 29 frames; the last frame
// (28) stays on view.
class WelcomeAnimation final : public QWidget {
 public:
  static constexpr int kLastFrame = 28;
  explicit WelcomeAnimation(QWidget* parent);
  void Start();
  void Stop();
  int Frame() const { return m_frame; }
  std::function<void()> onStopped;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QTimer* m_timer;
  int m_frame = 0;
};

// Provider rows: the name at the left, the tariff right-aligned 3 pixels from the right edge,
// in blue unless the row is selected.
class ProviderDelegate final : public QStyledItemDelegate {
 public:
  ProviderDelegate(WizardModel& model, QObject* parent)
      : QStyledItemDelegate(parent), m_model(model) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  WizardModel& m_model;
};

}  // namespace orva
