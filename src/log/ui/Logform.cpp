// The connection log window's shell: it builds the list page and the chart page, wires the
// list, loads the log and follows the meter's appends, and settles unsaved changes at closing.
// The menus, the list's selection, the edits, the files, the reports, the chart and the
// appearance each live in their Logform*.cpp.
#include "log/ui/Logform.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPrinter>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QVBoxLayout>

#include "core/HowUtils.h"
#include "log/ui/LogTable.h"
#include "log/ui/LogformShared.h"
#include "log/ui/WarnDup.h"
#include "platform/DataFiles.h"
#include "platform/SafeFile.h"

namespace orva {

using namespace logform_ui;

TLog::TLog(Settings& settings, Dialogs& dialogs, std::string dataDir, LogWindowHooks hooks,
           WindowPlaces* places, QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_dialogs(dialogs),
      m_hooks(std::move(hooks)),
      m_places(places) {
  setObjectName(QStringLiteral("Log"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setMinimumSize(600, 450);
  dataDir = WithTrailingBackslash(std::move(dataDir));
  m_model = std::make_unique<LogModel>(m_dialogs, dataDir, m_hooks.clipboard);
  m_model->decimals = settings.decimals;
  m_model->currency = settings.currency;
  m_model->SetLogPath(settings.logFileName.empty() ? DataPath(dataDir).File(kDefaultLogName)
                                                   : settings.logFileName);
  m_model->sort.column = settings.sortIndex;
  m_model->sort.ascending = settings.sortAscending;
  BuildListPage();
  BuildActions();
  statusBar()->setObjectName(QStringLiteral("StatusBar"));
  ConnectList();

  m_filter.from = m_filter.to = DatePart(FromTimeT(std::time(nullptr)));
  m_askDuplicates = AskDuplicatesWithWindow(this);
  RestoreState();
  ApplyAppearance();
  SetCaption();
  Reload();
}

// The table's model reads the log model, which goes with this object's members, before the
// widgets are hidden and freed (a window still open at the program's end): the model goes
// first, and the list then shows nothing.
TLog::~TLog() {
  QObject::disconnect(ConnLB, nullptr, this, nullptr);
  if (ConnLB->selectionModel())
    QObject::disconnect(ConnLB->selectionModel(), nullptr, this, nullptr);
  delete m_table;
  m_table = nullptr;
}

// The list with the totals under it, and the chart that takes its place.
void TLog::BuildListPage() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  ConnLB = new LogListView(central);
  ConnLB->setObjectName(QStringLiteral("ConnLB"));
  m_table = new LogTableModel(*m_model, m_hooks, ConnLB);
  ConnLB->setModel(m_table);
  ConnLB->setSelectionBehavior(QAbstractItemView::SelectRows);
  ConnLB->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ConnLB->verticalHeader()->hide();
  ConnLB->verticalHeader()->setDefaultSectionSize(ConnLB->fontMetrics().height() + 4);
  ConnLB->setShowGrid(true);
  ConnLB->setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192,192,192); }"));
  ConnLB->setWordWrap(false);
  ConnLB->setContextMenuPolicy(Qt::CustomContextMenu);
  QHeaderView* top = ConnLB->horizontalHeader();
  top->setObjectName(QStringLiteral("HeaderTop"));
  top->setSectionsClickable(true);
  top->setHighlightSections(false);
  // "Connessione a" takes the room left, so the service text is readable at any width.
  top->setStretchLastSection(true);

  HeaderBottom = new QHeaderView(Qt::Horizontal, central);
  HeaderBottom->setObjectName(QStringLiteral("HeaderBottom"));
  m_bottomModel = new QStandardItemModel(0, kLogColumnCount, HeaderBottom);
  HeaderBottom->setModel(m_bottomModel);
  HeaderBottom->setSectionsClickable(false);
  HeaderBottom->setSectionResizeMode(QHeaderView::Fixed);
  HeaderBottom->setStretchLastSection(true);
  HeaderBottom->setFixedHeight(ConnLB->fontMetrics().height() + 8);
  layout->addWidget(ConnLB, 1);
  layout->addWidget(HeaderBottom);
  m_pages = new QStackedWidget(this);
  m_pages->setObjectName(QStringLiteral("PageControl"));
  m_pages->addWidget(central);
  m_chartView = new LogChartView(m_pages);
  m_pages->addWidget(m_chartView);
  setCentralWidget(m_pages);
}

void TLog::ConnectList() {
  QHeaderView* top = ConnLB->horizontalHeader();
  connect(top, &QHeaderView::sectionClicked, this, &TLog::HeaderTopSectionClick);
  // The bottom header follows the widths of the top one.
  connect(top, &QHeaderView::sectionResized, this,
          [this](int section, int, int size) { HeaderBottom->resizeSection(section, size); });
  connect(ConnLB->horizontalScrollBar(), &QScrollBar::valueChanged, HeaderBottom,
          &QHeaderView::setOffset);
  connect(ConnLB->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (m_syncing) return;
    PullSelectionFromView();
    RedrawTotals();
    RefreshCommands();
  });
  connect(ConnLB, &QTableView::doubleClicked, this, &TLog::ConnLBDblClick);
  connect(ConnLB, &QWidget::customContextMenuRequested, this, &TLog::ShowListMenu);
}

void TLog::SetCaption() {
  setWindowTitle(m_settings.logFont.empty() && windowTitle().isEmpty()
                     ? QStringLiteral("ORVA32")
                     : QStringLiteral("ORVA32 - ") + Q(m_model->LogPath()));
}

void TLog::Reload() {
  if (Status st = m_model->Show(); !st) m_dialogs.Message(st.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
  RefreshCommands();
  QHeaderView* top = ConnLB->horizontalHeader();
  top->setSortIndicatorShown(m_model->sort.column > 0);
  if (m_model->sort.column > 0)
    top->setSortIndicator(m_model->sort.column,
                          m_model->sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TLog::LogAppended() {
  const Result<std::size_t> added = m_model->TakeAppended();
  // A log that cannot be read now is read again at the next save; nothing to show here.
  if (!added || *added == 0) return;
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
  RefreshCommands();
}

void TLog::LogRecordRewritten(const std::string& oldLine, const std::string& newLine) {
  m_model->RecordRewritten(oldLine, newLine);
  ConnLB->viewport()->update();
  RebuildServiceCombo();
}

bool TLog::QueryClose() {
  const bool agreed = m_model->ConfirmDiscard();
  // Saving merged the calls appended meanwhile: the list shows them until it closes.
  RedrawList();
  RedrawTotals();
  return agreed;
}

void TLog::SaveUnattended() {
  if (!m_model->Modified()) return;
  if (Status st = m_model->Save(); !st) {
    // Nobody can answer: the list goes to a file beside the log rather than being lost.
    const std::string keep = m_model->LogPath() + ".unsaved";
    if (Status kept = SaveLogFile(m_model->Records(), keep); !kept) return;
  }
}

void TLog::StoreValues() {
  StoreState();
}

void TLog::CloseAgreed() {
  m_closeAgreed = true;
  close();
}

void TLog::closeEvent(QCloseEvent* event) {
  if (!m_closeAgreed && !m_model->ConfirmDiscard()) {
    RedrawList();
    RedrawTotals();
    event->ignore();
    return;
  }
  // Saves "ORVA.SRV": the services named in the log are offered at the next call end.
  if (Status st = m_model->RebuildServices(); !st) m_dialogs.Message(st.error, MsgType::Error);
  StoreState();
  event->accept();
}

}  // namespace orva
