// The information box.
#include "app/ui/AboutBox.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/Glyphs.h"
#include "core/Settings.h"

namespace orva {

QString AboutText(const std::string& dataDirectory) {
  return QStringLiteral(
             "Contascatti per connessioni a consumo e telefonate\n\n"
             "Versione 4.1 per Linux (Qt %1)\n"
             "Cartella dati: %2\n\n"
             "Licenza: software proprietario, tutti i diritti riservati.\n"
             "Le tariffe incluse sono esempi: controllarle con quelle del proprio gestore.")
      .arg(QString::fromLatin1(qVersion()), QString::fromStdString(dataDirectory));
}

TAboutBox::TAboutBox(Settings& settings, const std::string& dataDirectory, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("Informazioni su ORVA32"));
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIconPixmap(64));
  auto* title = new QLabel(QStringLiteral("ORVA32 4.1"), this);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.6);
  title->setFont(f);
  auto* text = new QLabel(AboutText(dataDirectory), this);
  text->setObjectName(QStringLiteral("AboutLb"));
  text->setWordWrap(true);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text->setAccessibleName(text->text());
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* head = new QHBoxLayout;
  head->addWidget(icon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(text, 1);
  head->addLayout(texts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(head, 1);
  layout->addLayout(buttons);
  setMinimumWidth(420);

  // "About box Left coord." and "Top coord.": where it was last closed, when still on screen.
  const QScreen* s = QGuiApplication::primaryScreen();
  if (m_settings.aboutLeft >= 0 && m_settings.aboutTop >= 0 &&
      (!s || s->availableGeometry().contains(QPoint(m_settings.aboutLeft, m_settings.aboutTop))))
    move(m_settings.aboutLeft, m_settings.aboutTop);
  ok->setFocus();
}

TAboutBox::~TAboutBox() {
  if (isVisible() || testAttribute(Qt::WA_WState_ExplicitShowHide)) {
    m_settings.aboutLeft = pos().x();
    m_settings.aboutTop = pos().y();
  }
}

}  // namespace orva
