// The DNS lookup panel.
#include "net/ui/DnsPanel.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

namespace orva {

namespace {

constexpr int kRowHeight = 20;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString Hint(const char* text) {
  QString t = QString::fromUtf8(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t;
}

// The address field takes only what DnsPanel lets be typed into it.
bool Typeable(QChar c) {
  return c.unicode() < 128 && DnsPanel::HostEditKeyPress(static_cast<char>(c.unicode()));
}

}  // namespace

TDnsPanel::TDnsPanel(QWidget* parent, DnsPanel& panel) : QWidget(parent), m_panel(panel) {
  setObjectName(QStringLiteral("DnsPanel"));
  m_hostEdit = new QLineEdit(this);
  m_hostEdit->setObjectName(QStringLiteral("HostEdit"));
  m_hostEdit->setToolTip(QStringLiteral("Indirizzo IP"));
  m_hostEdit->installEventFilter(this);
  m_addrEdit = new QLineEdit(this);
  m_addrEdit->setObjectName(QStringLiteral("AddrEdit"));
  m_addrEdit->setToolTip(QStringLiteral("Nome host"));
  m_addrEdit->installEventFilter(this);
  m_hostBtn = new QPushButton(QStringLiteral("IP → Nome"), this);
  m_hostBtn->setObjectName(QStringLiteral("HostBtn"));
  m_hostBtn->setToolTip(Hint(DnsPanel::kHostBtnHint));
  m_addrBtn = new QPushButton(QStringLiteral("Nome → IP"), this);
  m_addrBtn->setObjectName(QStringLiteral("AddrBtn"));
  m_addrBtn->setToolTip(Hint(DnsPanel::kAddrBtnHint));
  m_cancel = new QPushButton(this);
  m_cancel->setObjectName(QStringLiteral("CancelButton"));
  m_cancel->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  m_cancel->setToolTip(Hint(DnsPanel::kCancelButtonHint));
  m_cancel->setAccessibleName(Hint(DnsPanel::kCancelButtonHint));
  m_memo = new QPlainTextEdit(this);
  m_memo->setObjectName(QStringLiteral("DisplayMemo"));
  m_memo->setAccessibleName(QStringLiteral("Risultati della ricerca"));
  m_memo->setReadOnly(true);
  m_memo->setUndoRedoEnabled(false);
  m_memo->setFrameShape(QFrame::NoFrame);
  m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_memo->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  m_memo->document()->setDocumentMargin(2);
  QFont small = m_memo->font();
  small.setPointSize(8);  // two lines fit the panel
  m_memo->setFont(small);
  QPalette pal = m_memo->palette();
  pal.setColor(QPalette::Base, Qt::black);
  pal.setColor(QPalette::Text, QColor(0x00, 0xFF, 0x00));
  m_memo->setPalette(pal);

  const int editWidth =
      m_hostEdit->fontMetrics().horizontalAdvance(QStringLiteral("000.000.000.000")) + 14;
  for (QLineEdit* e : {m_hostEdit, m_addrEdit}) {
    e->setFixedHeight(kRowHeight);
    e->setFixedWidth(editWidth);
  }
  for (QPushButton* b : {m_hostBtn, m_addrBtn}) {
    b->setFixedHeight(kRowHeight);
    b->setAutoDefault(false);
  }
  m_cancel->setFixedSize(kRowHeight + 4, 2 * kRowHeight + 2);
  m_cancel->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 1, 2, 1);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(2);
  grid->addWidget(m_hostEdit, 0, 0);
  grid->addWidget(m_hostBtn, 0, 1);
  grid->addWidget(m_addrEdit, 1, 0);
  grid->addWidget(m_addrBtn, 1, 1);
  grid->addWidget(m_cancel, 0, 2, 2, 1, Qt::AlignVCenter);
  grid->addWidget(m_memo, 0, 3, 2, 1);
  grid->setColumnStretch(3, 1);
  setMinimumHeight(2 * kRowHeight + 4);
  setTabOrder(m_hostEdit, m_hostBtn);
  setTabOrder(m_hostBtn, m_addrEdit);
  setTabOrder(m_addrEdit, m_addrBtn);
  setTabOrder(m_addrBtn, m_cancel);
  setTabOrder(m_cancel, m_memo);

  connect(m_hostEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    // A paste or a drop brings what typing would not: only the allowed characters stay.
    QString kept;
    for (QChar c : text)
      if (Typeable(c)) kept += c;
    if (kept != text) {
      const int cursor = m_hostEdit->cursorPosition() - static_cast<int>(text.size() - kept.size());
      m_hostEdit->setText(kept);
      m_hostEdit->setCursorPosition(std::max(0, cursor));
    }
    m_panel.HostEdit = kept.toStdString();
  });
  connect(m_addrEdit, &QLineEdit::textEdited, this,
          [this](const QString& text) { m_panel.AddrEdit = text.toStdString(); });
  connect(m_hostEdit, &QLineEdit::returnPressed, this, &TDnsPanel::HostBtnClick);
  connect(m_addrEdit, &QLineEdit::returnPressed, this, &TDnsPanel::AddrBtnClick);
  connect(m_hostBtn, &QPushButton::clicked, this, &TDnsPanel::HostBtnClick);
  connect(m_addrBtn, &QPushButton::clicked, this, &TDnsPanel::AddrBtnClick);
  connect(m_cancel, &QPushButton::clicked, this, &TDnsPanel::CancelButtonClick);

  m_panel.OnChange = [this] { Refresh(); };
  Refresh();
}

TDnsPanel::~TDnsPanel() {
  m_panel.OnChange = nullptr;
}

bool TDnsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Escape && m_cancel->isEnabled()) {
    CancelButtonClick();
    return true;
  }
  if (watched == m_hostEdit) {
    const QString text = key->text();
    // Printable characters only; editing and moving keys (and shortcuts) pass.
    if (text.size() == 1 && text[0].isPrint() && !(key->modifiers() & Qt::ControlModifier) &&
        !Typeable(text[0]))
      return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TDnsPanel::Refresh() {
  if (m_hostEdit->text() != Q(m_panel.HostEdit)) m_hostEdit->setText(Q(m_panel.HostEdit));
  if (m_addrEdit->text() != Q(m_panel.AddrEdit)) m_addrEdit->setText(Q(m_panel.AddrEdit));
  m_hostBtn->setEnabled(m_panel.HostBtnEnabled);
  m_addrBtn->setEnabled(m_panel.AddrBtnEnabled);
  m_cancel->setEnabled(m_panel.CancelButtonEnabled);
  QString text;
  for (std::size_t i = 0; i < m_panel.DisplayMemo.size(); ++i) {
    if (i) text += QLatin1Char('\n');
    text += Q(m_panel.DisplayMemo[i]);
  }
  if (m_memo->toPlainText() != text) {
    m_memo->setPlainText(text);
    // The answer is the last line: it stays in sight in the small panel.
    m_memo->verticalScrollBar()->setValue(m_memo->verticalScrollBar()->maximum());
  }
}

void TDnsPanel::HostBtnClick() {
  m_panel.HostEdit = m_hostEdit->text().toStdString();
  m_panel.HostBtnClick();
  Refresh();
}

void TDnsPanel::AddrBtnClick() {
  m_panel.AddrEdit = m_addrEdit->text().toStdString();
  m_panel.AddrBtnClick();
  Refresh();
}

void TDnsPanel::CancelButtonClick() {
  m_panel.CancelButtonClick();
  Refresh();
}

}  // namespace orva
