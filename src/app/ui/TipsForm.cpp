// The tips-of-the-day window.
#include "app/ui/TipsForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/Glyphs.h"
#include "core/Settings.h"

namespace orva {

TTipsForm::TTipsForm(Settings& settings, long dayNumber, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_tips(dayNumber) {
  setObjectName(QStringLiteral("TipsForm"));
  setWindowTitle(QStringLiteral("Suggerimenti"));
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIconPixmap(48));
  auto* heading = new QLabel(QStringLiteral("Lo sapevi che..."), this);
  QFont f = heading->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.3);
  heading->setFont(f);
  m_text = new QLabel(this);
  m_text->setObjectName(QStringLiteral("TipLb"));
  m_text->setWordWrap(true);
  m_text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  m_text->setMinimumSize(340, 90);
  m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  m_text->setFocusPolicy(Qt::StrongFocus);  // a screen reader reads the tip when it has focus
  m_position = new QLabel(this);
  m_position->setObjectName(QStringLiteral("TipNumberLb"));
  m_atStart = new QCheckBox(QStringLiteral("Mostra i suggerimenti all'avvio"), this);
  m_atStart->setObjectName(QStringLiteral("ShowTipsCB"));
  m_atStart->setChecked(m_settings.setupTips);
  auto* prev = new QPushButton(QStringLiteral("&Precedente"), this);
  prev->setObjectName(QStringLiteral("PrevBtn"));
  prev->setAutoDefault(false);
  auto* next = new QPushButton(QStringLiteral("&Successivo"), this);
  next->setObjectName(QStringLiteral("NextBtn"));
  next->setAutoDefault(false);
  auto* close = new QPushButton(QStringLiteral("Chiudi"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  close->setDefault(true);

  auto* head = new QHBoxLayout;
  head->addWidget(icon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  texts->addWidget(heading);
  texts->addWidget(m_text, 1);
  texts->addWidget(m_position);
  head->addLayout(texts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_atStart);
  buttons->addStretch(1);
  buttons->addWidget(prev);
  buttons->addWidget(next);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head, 1);
  layout->addLayout(buttons);

  connect(prev, &QPushButton::clicked, this, &TTipsForm::PrevBtnClick);
  connect(next, &QPushButton::clicked, this, &TTipsForm::NextBtnClick);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_atStart, &QCheckBox::toggled, this, [this](bool on) { m_settings.setupTips = on; });
  ShowTip();
  next->setFocus();
}

void TTipsForm::ShowTip() {
  const QString text = QString::fromStdString(m_tips.Current());
  m_text->setText(text);
  m_text->setAccessibleName(text);
  m_position->setText(QString::fromStdString(m_tips.Position()));
}

void TTipsForm::NextBtnClick() {
  m_tips.Next();
  ShowTip();
}

void TTipsForm::PrevBtnClick() {
  m_tips.Previous();
  ShowTip();
}

}  // namespace orva
