// The options dialog's "Colori" page: the main window's text, background and label colours,
// with a sample.
#include "setup/ui/Setting.h"

#include <QColorDialog>
#include <QLabel>
#include <QPushButton>

#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

QWidget* TSetupForm::BuildColoursPage() {
  const Settings& s = m_ctx.settings;
  m_textColour = s.textColour;
  m_backgroundColour = s.backgroundColour;
  m_labelColour = s.labelColour;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  m_colourSample = new QLabel(QStringLiteral("Timer 00:00:00"), page);
  m_colourSample->setObjectName(QStringLiteral("ColourSample"));
  m_colourSample->setAlignment(Qt::AlignCenter);
  m_colourSample->setMinimumHeight(40);
  m_colourSample->setAutoFillBackground(true);
  auto* b1 = Button("ColorBtn1", "Colore dei testi", page);
  auto* b2 = Button("ColorBtn2", "Colore di sfondo", page);
  auto* b3 = Button("ColorBtn3", "Voci finestra principale", page);
  l->addWidget(m_colourSample);
  l->addWidget(b1);
  l->addWidget(b2);
  l->addWidget(b3);
  l->addStretch(1);
  auto pick = [this](SettingsColour& colour) {
    const QColor c = QColorDialog::getColor(ToQColor(colour), this);
    if (!c.isValid()) return;
    colour = FromQColor(c);
    ShowColours();
  };
  connect(b1, &QPushButton::clicked, this, [this, pick] { pick(m_textColour); });
  connect(b2, &QPushButton::clicked, this, [this, pick] { pick(m_backgroundColour); });
  connect(b3, &QPushButton::clicked, this, [this, pick] { pick(m_labelColour); });
  ShowColours();
  return page;
}

void TSetupForm::ShowColours() {
  QPalette p = m_colourSample->palette();
  p.setColor(QPalette::Window, ToQColor(m_backgroundColour));
  p.setColor(QPalette::WindowText, ToQColor(m_textColour));
  m_colourSample->setPalette(p);
}

void TSetupForm::StoreColoursPage() {
  Settings& s = m_ctx.settings;
  s.textColour = m_textColour;
  s.backgroundColour = m_backgroundColour;
  s.labelColour = m_labelColour;
}

}  // namespace orva
