// The start-up splash window.
#include "app/ui/SplashForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/Glyphs.h"

namespace orva {

TSplashForm::TSplashForm()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("SplashForm"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0x10, 0x18, 0x30));
  pal.setColor(QPalette::WindowText, Qt::white);
  setPalette(pal);

  auto* icon = new QLabel(this);
  icon->setPixmap(AppIconPixmap(64));
  auto* title = new QLabel(QStringLiteral("ORVA32 4.1"), this);
  QFont f = title->font();
  f.setPointSize(f.pointSize() + 8);
  f.setBold(true);
  title->setFont(f);
  auto* wait = new QLabel(QStringLiteral("  un attimo prego..."), this);
  wait->setObjectName(QStringLiteral("WaitLb"));
  m_step = new QLabel(this);
  m_step->setObjectName(QStringLiteral("StepLb"));
  m_symbol = new QLabel(this);
  m_symbol->setObjectName(QStringLiteral("SymbolLb"));
  m_symbol->setStyleSheet(QStringLiteral("color: #ffd800; font-weight: bold"));
  m_symbol->setFixedWidth(16);

  auto* head = new QHBoxLayout;
  head->addWidget(icon);
  head->addWidget(title, 1);
  auto* stepRow = new QHBoxLayout;
  stepRow->addWidget(m_symbol);
  stepRow->addWidget(m_step, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head);
  layout->addWidget(wait);
  layout->addLayout(stepRow);
  setFixedSize(320, 140);
  m_shown.start();
  if (QScreen* s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
}

void TSplashForm::Step(const QString& text) {
  // The symbol turns like a propeller, one quarter per step.
  static constexpr char kSymbols[] = {'|', '/', '-', '\\'};
  m_symbol->setText(QString(QLatin1Char(kSymbols[m_count++ % 4])));
  m_step->setText(text);
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace orva
