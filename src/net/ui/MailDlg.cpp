// The mailbox window.
#include "net/ui/MailDlg.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/HowUtils.h"
#include "platform/qt/ClientPlace.h"

namespace orva {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TMailDlg::TMailDlg(std::vector<TPOP3Object> boxes, MailDlgSettings& settings,
                   std::function<void()> onClosed, QWidget* parent)
    : QDialog(parent),
      m_model(std::move(boxes)),
      m_settings(settings),
      m_onClosed(std::move(onClosed)) {
  setObjectName(QStringLiteral("MailDlg"));
  setWindowTitle(QStringLiteral("Caselle di posta"));
  auto* layout = new QVBoxLayout(this);
  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(QStringLiteral("TabControl1"));
  for (const auto& title : m_model.TabTitles()) m_tabs->addTab(Q(title));
  layout->addWidget(m_tabs);
  m_notice = new QLabel(this);
  m_notice->setObjectName(QStringLiteral("NoticeLb"));
  m_notice->setWordWrap(true);
  layout->addWidget(m_notice);
  m_lv = new QTreeWidget(this);
  m_lv->setObjectName(QStringLiteral("LV"));
  m_lv->setRootIsDecorated(false);
  m_lv->setColumnCount(MailModel::kColumns);
  QStringList titles;
  for (const char* t : MailModel::kColumnTitles) titles << QString::fromUtf8(t);
  m_lv->setHeaderLabels(titles);
  m_lv->header()->setSectionsClickable(true);
  m_lv->header()->setSortIndicatorShown(true);
  for (int i = 0; i < MailModel::kColumns; ++i)
    m_lv->setColumnWidth(i, m_settings.headerWidths[static_cast<std::size_t>(i)] > 0
                                ? m_settings.headerWidths[static_cast<std::size_t>(i)]
                                : MailModel::kDefaultWidths[static_cast<std::size_t>(i)]);
  layout->addWidget(m_lv);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseBtn"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_tabs, &QTabBar::currentChanged, this, &TMailDlg::TabControl1Change);
  connect(m_lv->header(), &QHeaderView::sectionClicked, this, &TMailDlg::LVColumnClick);

  resize(560, 300);
  FormGeometry g{0, y(), x(), width(), height()};
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
  g = ApplyFormPosition(m_settings.position, g, screen.width(), screen.height(), true);
  PlaceClientArea(*this, g.left, g.top, g.width, g.height);
  ShowRows();
}

TMailDlg::~TMailDlg() = default;

void TMailDlg::TabControl1Change(int tab) {
  m_model.SelectTab(tab);
  ShowRows();
}

void TMailDlg::LVColumnClick(int column) {
  m_model.ColumnClick(column);
  m_lv->header()->setSortIndicator(column,
                                   m_model.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
  ShowRows();
}

void TMailDlg::ShowRows() {
  m_notice->setText(Q(m_model.Notice()));
  m_notice->setVisible(!m_notice->text().isEmpty());
  m_lv->clear();
  for (const auto& row : m_model.Rows()) {
    auto* item = new QTreeWidgetItem(m_lv);
    for (int i = 0; i < MailModel::kColumns; ++i)
      item->setText(i, Q(row[static_cast<std::size_t>(i)]));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

void TMailDlg::StoreSettings() {
  if (m_stored) return;
  m_stored = true;
  for (int i = 0; i < MailModel::kColumns; ++i)
    m_settings.headerWidths[static_cast<std::size_t>(i)] = m_lv->columnWidth(i);
  const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  m_settings.position =
      FormatFormPosition({state, geometry().y(), geometry().x(), width(), height()});
}

void TMailDlg::done(int result) {
  StoreSettings();
  QDialog::done(result);
  if (m_onClosed) m_onClosed();
}

}  // namespace orva
