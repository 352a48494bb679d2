// The visited-servers window.
#include "net/ui/Url.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "core/WindowPlaces.h"
#include "net/Url.h"
#include "platform/qt/ClientPlace.h"

namespace orva {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TURLDlg::TURLDlg(std::string path, std::string caption, WindowPlaces* places, QWidget* parent)
    : QDialog(parent), m_path(std::move(path)), m_places(places) {
  setObjectName(QStringLiteral("URLDlg"));
  QString title = Q(caption);
  title.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setWindowTitle(title.simplified());
  setSizeGripEnabled(true);

  auto* label = new QLabel(title, this);
  label->setObjectName(QStringLiteral("CaptionLbl"));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);

  m_model = new QStandardItemModel(0, 3, this);
  m_model->setHorizontalHeaderLabels(
      {QStringLiteral("URL"), QStringLiteral("IP"), QStringLiteral("Data/Ora di accesso")});
  m_list = new QTableView(this);
  m_list->setObjectName(QStringLiteral("ListBox1"));
  m_list->setModel(m_model);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setTabKeyNavigation(false);
  m_list->setWordWrap(false);
  m_list->setShowGrid(true);
  m_list->setStyleSheet(QStringLiteral("QTableView { gridline-color: #d3d3d3; }"));
  m_list->verticalHeader()->hide();
  m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_list->verticalHeader()->setDefaultSectionSize(18);
  m_list->horizontalHeader()->setHighlightSections(false);
  m_list->horizontalHeader()->setStretchLastSection(true);
  m_list->setColumnWidth(0, 240);
  m_list->setColumnWidth(1, 124);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(QStringLiteral("Chiudi"), QDialogButtonBox::AcceptRole);
  close->setObjectName(QStringLiteral("CloseBtn"));
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);

  resize(560, 360);
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
  const auto g = m_places ? m_places->Place(kVisitedServersPlace, {0, y(), x(), width(), height()},
                                            screen.width(), screen.height(), true)
                          : std::nullopt;
  if (g) {
    // The client area's place, as stored at close.
    PlaceClientArea(*this, g->left, g->top, std::max(g->width, 300), std::max(g->height, 200));
    if (g->state == 2) setWindowState(Qt::WindowMaximized);
  }
}

TURLDlg::~TURLDlg() = default;

void TURLDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_activated) FormActivate();
}

void TURLDlg::FormActivate() {
  if (m_activated) return;
  m_activated = true;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  m_rows = LoadUrlFile(m_path);
  m_model->setRowCount(static_cast<int>(m_rows.size()));
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    const int r = static_cast<int>(i);
    m_model->setItem(r, 0, new QStandardItem(Q(m_rows[i].hostName)));
    m_model->setItem(r, 1, new QStandardItem(Q(m_rows[i].address)));
    m_model->setItem(r, 2, new QStandardItem(Q(m_rows[i].timeText)));
  }
  if (!m_rows.empty()) m_list->setCurrentIndex(m_model->index(0, 0));
  m_list->setFocus();
  QGuiApplication::restoreOverrideCursor();
}

void TURLDlg::done(int result) {
  // A place not stored only means the window opens at its default place next time.
  if (m_places)
    static_cast<void>(m_places->Store(kVisitedServersPlace, {isMaximized() ? 2 : 0, geometry().y(),
                                                             geometry().x(), width(), height()}));
  QDialog::done(result);
}

}  // namespace orva
