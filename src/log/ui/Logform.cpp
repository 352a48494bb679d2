// The connection log window.
#include "log/ui/Logform.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "core/HowUtils.h"
#include "core/WindowPlaces.h"
#include "log/LogReport.h"
#include "log/ui/Filter.h"
#include "log/ui/Prnmain.h"
#include "log/ui/WarnDup.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/qt/ClientPlace.h"

namespace orva {
namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
std::string S(const QString& s) {
  return s.toStdString();
}

constexpr const char* kColumns[kLogColumnCount] = {
    "N",      "Data",  "Inizio", "Fine",     "Durata",  "Tariffa",
    "Scatti", "Costo", "Bps",    "Ricevuti", "Spediti", "Connessione a"};

bool RightAligned(int column) {
  return column >= 6 && column <= 10;
}

QColor ToQColor(SettingsColour c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}
SettingsColour FromQColor(const QColor& c) {
  return static_cast<SettingsColour>(c.red()) | static_cast<SettingsColour>(c.green()) << 8 |
         static_cast<SettingsColour>(c.blue()) << 16;
}

// A small globe-like mark for calls with a visited-servers file.
QIcon VisitedIcon() {
  QPixmap pm(10, 10);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(40, 110, 200));
  p.setPen(QColor(20, 60, 120));
  p.drawEllipse(1, 1, 8, 8);
  p.setPen(QColor(230, 240, 255));
  p.drawLine(5, 1, 5, 9);
  p.drawLine(1, 5, 9, 5);
  return QIcon(pm);
}

}  // namespace

// One model row per record: the list stays smooth with a hundred thousand calls.
class LogTableModel final : public QAbstractTableModel {
 public:
  LogTableModel(LogModel& model, const LogWindowHooks& hooks, QObject* parent)
      : QAbstractTableModel(parent), m_model(model), m_hooks(hooks), m_icon(VisitedIcon()) {}
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_model.Count());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kLogColumnCount;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= m_model.Count()) return {};
    const int column = index.column();
    const TConnObj& r = m_model.Records()[row];
    switch (role) {
      case Qt::DisplayRole:
        if (column == 0) return QString::number(index.row() + 1);
        if (column == 9 || column == 10)
          return Q(FormatKilobyteCell(r.Field(static_cast<std::size_t>(column - 1))));
        return Q(r.Field(static_cast<std::size_t>(column - 1)));
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (RightAligned(column) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
      case Qt::BackgroundRole:
        return index.row() % 2 == 0 ? m_evenColour : m_oddColour;
      case Qt::ForegroundRole:
        return m_textColour;
      case Qt::DecorationRole:
        if (column == 0 && m_hooks.hasVisitedServers && m_hooks.hasVisitedServers(r)) return m_icon;
        return {};
      default:
        return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (o != Qt::Horizontal || section < 0 || section >= kLogColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[section]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
  }
  // The rows were added or removed: the view starts afresh.
  void Reset() {
    beginResetModel();
    endResetModel();
  }
  // The same rows in a new order. The view keeps its highlighted rows, its current row and
  // its scroll position by place, as a list box of placeholder items does when the records
  // behind them are sorted; nothing is rebuilt for a hundred thousand rows.
  void Relayout() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  }
  void SetTextColour(const QColor& c) { m_textColour = c; }
  // "Colore sfondo lista" is the colour of the even rows. On the default white the odd rows
  // are pale yellow; on a colour of the user's they are a shade of it, so the rows still
  // alternate without a yellow that clashes with the chosen colour.
  void SetListColour(const QColor& c) {
    m_evenColour = c;
    if (c == QColor(Qt::white)) {
      m_oddColour = QColor(255, 255, 223);
      return;
    }
    // A tenth of the way towards black, or towards white for a dark colour.
    const int towards = c.lightness() < 64 ? 255 : 0;
    auto mix = [towards](int v) { return v + (towards - v) / 10; };
    m_oddColour = QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
  }

 private:
  LogModel& m_model;
  const LogWindowHooks& m_hooks;
  QIcon m_icon;
  QColor m_textColour = Qt::black;
  QColor m_evenColour = Qt::white;
  QColor m_oddColour = QColor(255, 255, 223);
};

// The list of calls keys like a list box: Home and End go to the first and the last call
// (a table would go to the first and the last column of the row).
class LogListView final : public QTableView {
 public:
  using QTableView::QTableView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    const int rows = model() ? model()->rowCount() : 0;
    if ((action == MoveHome || action == MoveEnd) && rows > 0) {
      const int column = currentIndex().isValid() ? currentIndex().column() : 0;
      return model()->index(action == MoveHome ? 0 : rows - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
  }
};

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
  m_model->SetLogPath(settings.logFileName.empty() ? dataDir + "ORVA.LOG" : settings.logFileName);
  m_model->sort.column = settings.sortIndex;
  m_model->sort.ascending = settings.sortAscending;

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

  BuildActions();
  statusBar()->setObjectName(QStringLiteral("StatusBar"));

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
  connect(ConnLB, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.addAction(m_copy);
    menu.addAction(m_paste);
    menu.addAction(QStringLiteral("Elimina"), this, &TLog::DelBtnClick);
    menu.addSeparator();
    QAction* show =
        menu.addAction(QStringLiteral("Mostra indirizzi visitati"), this, &TLog::ConnLBDblClick);
    QAction* clear =
        menu.addAction(QStringLiteral("Cancella lista indirizzi visitati"), this, [this] {
          const auto rows = SelectedRows();
          if (rows.empty() || !m_hooks.clearVisitedServers) return;
          m_hooks.clearVisitedServers(m_model->Records()[rows.front()]);
          ConnLB->viewport()->update();
        });
    // Both items act on the first selected call, and only when it has a visited-servers list.
    const auto rows = SelectedRows();
    const bool listed = !rows.empty() && m_hooks.hasVisitedServers &&
                        m_hooks.hasVisitedServers(m_model->Records()[rows.front()]);
    show->setEnabled(listed);
    clear->setEnabled(listed);
    menu.exec(ConnLB->viewport()->mapToGlobal(at));
  });

  m_filter.from = m_filter.to = DatePart(FromTimeT(std::time(nullptr)));
  m_askDuplicates = AskDuplicatesWithWindow(this);
  RestoreState();
  ApplyAppearance();
  SetCaption();
  Reload();
}

TLog::~TLog() = default;

void TLog::BuildActions() {
  auto act = [this](const char* name, const char* text, const char* hint, auto slot) {
    auto* a = new QAction(QString::fromUtf8(text), this);
    a->setObjectName(QString::fromUtf8(name));
    if (hint) a->setStatusTip(QString::fromUtf8(hint)), a->setToolTip(QString::fromUtf8(hint));
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  QAction* open = act("FileOpenBtn", "&Apri", "Apre un file LOG", &TLog::FileOpenBtnClick);
  QAction* nw = act("FileNewBtn", "&Nuovo", "Crea un nuovo file LOG", &TLog::FileNewBtnClick);
  QAction* saveAs = act("BackupBtn", "Sal&va con nome", "Salva con nome", &TLog::BackupBtnClick);
  QAction* print = act("PrintBtn", "&Stampa", "Stampa", &TLog::PrintBtnClick);
  QAction* setup = act("PrinterSetup", "&Imposta stampante", nullptr, &TLog::PrinterSetupClick);
  QAction* csv = act("ExportCsv", "&Esporta (file CSV)", nullptr, &TLog::ExportCsvClick);
  QAction* font = act("FontItem", "&Font", nullptr, &TLog::FontClick);
  QAction* colour = act("ColourItem", "&Colore", nullptr, &TLog::ColourClick);
  QAction* close = act("CloseItem", "&Chiudi", nullptr, [this] { this->close(); });
  QAction* entry =
      act("NewEntryItem", "Nuova (Inserimento manuale)", nullptr, &TLog::NewEntryClick);
  entry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  m_edit = act("EditEntryItem", "Modifica", nullptr, &TLog::EditEntryClick);
  m_edit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  m_copy = act("CopyItem", "Copia", nullptr, &TLog::CopyClick);
  m_copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  m_paste = act("PasteItem", "Incolla", nullptr, &TLog::PasteClick);
  m_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  QAction* import = act("ImportItem", "Importa da altro file", nullptr, &TLog::ImportClick);
  import->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  QAction* del = act("DelBtn", "Elimina", "Cancella gli elementi selezionati", &TLog::DelBtnClick);
  del->setShortcut(QKeySequence::Delete);
  QAction* all =
      act("SelectAllBtn", "Seleziona tutti", "Seleziona tutti", &TLog::SelectAllBtnClick);
  QAction* filter = act("FilterBtn", "Filtro", "Filtro", &TLog::FilterBtnClick);
  QAction* chooseEditor =
      act("SelectEditorBtn", "Scelta editor", "Scelta editor", &TLog::SelectEditorBtnClick);
  QAction* runEditor =
      act("StartBtn", "Lancia l'editor", "Lancia l'editor selezionato", &TLog::StartBtnClick);
  for (QAction* a : {open, nw, saveAs, print, del, all, filter, chooseEditor, runEditor, entry,
                     m_edit, m_copy, m_paste, import, csv})
    addAction(a);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addActions({open, nw, saveAs});
  file->addSeparator();
  file->addActions({print, setup, csv});
  file->addSeparator();
  file->addActions({font, colour});
  file->addSeparator();
  file->addAction(close);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Modifica"));
  edit->addActions({entry, m_edit});
  edit->addSeparator();
  edit->addActions({m_copy, m_paste, import});
  edit->addSeparator();
  edit->addActions({del, all, filter});
  QMenu* charts = menuBar()->addMenu(QStringLiteral("&Grafico"));
  const char* kinds[3] = {"Costo connessione", "Dati inviati/ricevuti", "Velocità di connessione"};
  const char* styles[3] = {"Grafico a punti e linee", "Grafico ad istogramma", "Grafico a punti"};
  // Two groups of radio items, the first item of each ticked.
  auto radioItems = [this, charts](const char* const* texts, const QString& prefix,
                                   std::array<QAction*, 3>& items, void (TLog::*click)(int)) {
    auto* group = new QActionGroup(this);
    for (int k = 0; k < 3; ++k) {
      QAction* a = charts->addAction(QString::fromUtf8(texts[k]));
      a->setObjectName(prefix + QString::number(k + 1));
      a->setCheckable(true);
      a->setChecked(k == 0);
      group->addAction(a);
      items[static_cast<std::size_t>(k)] = a;
      connect(a, &QAction::triggered, this, [this, k, click] { (this->*click)(k + 1); });
    }
    charts->addSeparator();
  };
  radioItems(kinds, QStringLiteral("ChartKind"), m_kindItems, &TLog::ChartKindClick);
  radioItems(styles, QStringLiteral("ChartStyle"), m_styleItems, &TLog::ChartStyleClick);
  QAction* threeD = charts->addAction(QStringLiteral("Grafico 3D"));
  threeD->setObjectName(QStringLiteral("Chart3D"));
  threeD->setCheckable(true);
  connect(threeD, &QAction::toggled, this, &TLog::Chart3DClick);
  m_ritorna = menuBar()->addAction(QStringLiteral("Ritorna"));
  m_ritorna->setObjectName(QStringLiteral("Ritorna"));
  m_ritorna->setEnabled(false);
  connect(m_ritorna, &QAction::triggered, this, &TLog::RitornaClick);
  // The commands that change the list; they are off while the chart shows.
  m_listCommands = {open, nw,     saveAs, all,    filter, del,     chooseEditor, runEditor,
                    font, colour, entry,  m_edit, m_copy, m_paste, import};

  QToolBar* bar = addToolBar(QStringLiteral("Strumenti"));
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->addActions({open, nw, saveAs, print});
  bar->addSeparator();
  bar->addActions({del, all, filter});
  bar->addSeparator();
  bar->addActions({chooseEditor, runEditor});
  bar->addSeparator();
  ServCB = new QComboBox(bar);
  ServCB->setObjectName(QStringLiteral("ServCB"));
  ServCB->setToolTip(QStringLiteral("Lista dei servizi telematici."));
  ServCB->setStatusTip(QStringLiteral("Lista dei servizi telematici."));
  // Sized for about twenty characters, not by measuring every entry: a log of a busy line
  // holds thousands of distinct services. The list shows them whole.
  ServCB->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ServCB->setMinimumContentsLength(20);
  if (auto* popup = qobject_cast<QListView*>(ServCB->view())) popup->setUniformItemSizes(true);
  bar->addWidget(ServCB);
  connect(ServCB, &QComboBox::activated, this, &TLog::ServCBChange);
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

void TLog::RedrawList() {
  // A reset clears the view's selection without a signal: the highlighted rows are set again
  // from the record list's flags, so what is highlighted is what the totals and the commands
  // work on.
  m_table->Reset();
  PushSelectionToView();
}

void TLog::ReorderList() {
  m_table->Relayout();
  PushSelectionToView();
}

void TLog::RebuildServiceCombo() {
  ServCB->blockSignals(true);
  ServCB->clear();
  QStringList items;
  items.reserve(static_cast<qsizetype>(m_model->Services().size()));
  for (const auto& s : m_model->Services()) items.push_back(Q(s));
  ServCB->addItems(items);
  ServCB->setCurrentIndex(-1);
  ServCB->blockSignals(false);
}

QString TLog::BottomText(int section) const {
  return m_bottomModel->headerData(section, Qt::Horizontal).toString();
}

void TLog::RedrawTotals() {
  const LogTotals t = m_model->Totals();
  const std::string* texts[kLogColumnCount] = {&t.rows,     nullptr,     nullptr,  nullptr,
                                               &t.duration, nullptr,     &t.ticks, &t.cost,
                                               &t.bps,      &t.received, &t.sent,  &t.total};
  for (int i = 0; i < kLogColumnCount; ++i) {
    m_bottomModel->setHeaderData(i, Qt::Horizontal, texts[i] ? Q(*texts[i]) : QString());
    m_bottomModel->setHeaderData(
        i, Qt::Horizontal,
        QVariant::fromValue(
            Qt::Alignment((RightAligned(i) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter)),
        Qt::TextAlignmentRole);
  }
}

void TLog::RefreshCommands() {
  if (ChartShowing()) return;
  const bool any = m_model->SelectedCount() > 0;
  m_copy->setEnabled(any);
  m_paste->setEnabled(m_model->PasteAvailable());
  m_edit->setEnabled(any);
}

std::vector<std::size_t> TLog::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < m_model->Count(); ++i)
    if (m_model->Selected(i)) rows.push_back(i);
  return rows;
}

std::vector<const TConnObj*> TLog::SelectedRecords() const {
  std::vector<const TConnObj*> out;
  for (std::size_t i : SelectedRows()) out.push_back(&m_model->Records()[i]);
  return out;
}

void TLog::SelectRows(const std::vector<std::size_t>& rows) {
  m_model->ClearSelection();
  for (std::size_t r : rows) m_model->Select(r, true);
  PushSelectionToView();
  RedrawTotals();
  RefreshCommands();
}

void TLog::PullSelectionFromView() {
  m_model->ClearSelection();
  for (const QItemSelectionRange& range : ConnLB->selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r)
      m_model->Select(static_cast<std::size_t>(r), true);
}

void TLog::PushSelectionToView() {
  QItemSelection selection;
  const auto& flags = m_model->Selection();
  const int last = kLogColumnCount - 1;
  for (std::size_t i = 0; i < flags.size();) {
    if (!flags[i]) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j + 1 < flags.size() && flags[j + 1]) ++j;
    selection.select(m_table->index(static_cast<int>(i), 0),
                     m_table->index(static_cast<int>(j), last));
    i = j + 1;
  }
  m_syncing = true;
  ConnLB->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  m_syncing = false;
}

void TLog::HeaderTopSectionClick(int column) {
  if (!m_model->HeaderClick(column)) return;
  ReorderList();
  QHeaderView* top = ConnLB->horizontalHeader();
  top->setSortIndicatorShown(true);
  top->setSortIndicator(column, m_model->sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  m_settings.sortIndex = m_model->sort.column;
  m_settings.sortAscending = m_model->sort.ascending;
}

void TLog::DelBtnClick() {
  DeleteSelected(QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
}

void TLog::DeleteSelected(bool ctrlHeld) {
  if (!m_model->Delete(ctrlHeld)) return;
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
  RefreshCommands();
}

void TLog::SelectAllBtnClick() {
  m_model->SelectAll();
  PushSelectionToView();
  RedrawTotals();
  RefreshCommands();
}

void TLog::FilterBtnClick() {
  TFilterForm form(m_model->Services(), m_filter, this);
  if (form.exec() != QDialog::Accepted) return;
  ApplyFilter(form.Filter());
}

void TLog::ApplyFilter(const LogFilter& filter) {
  m_filter = filter;
  m_model->SelectByCriteria(m_filter);
  PushSelectionToView();
  RedrawTotals();
  RefreshCommands();
}

void TLog::CopyClick() {
  if (Status st = m_model->Copy(); !st) m_dialogs.Message(st.error, MsgType::Error);
  RefreshCommands();
}

void TLog::PasteClick() {
  const ImportOutcome r = m_model->Paste(m_askDuplicates);
  if (!r.status) m_dialogs.Message(r.status.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::ImportClick() {
  const auto chosen = m_dialogs.ChooseOpenFile("Apri file", DirectoryOf(m_model->LogPath()),
                                               "Log files (*.log *.LOG)");
  if (!chosen) return;
  const ImportOutcome r = m_model->Import(*chosen, m_askDuplicates);
  if (!r.status) m_dialogs.Message(r.status.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::FileOpenBtnClick() {
  if (!m_model->ConfirmDiscard()) return;
  const auto chosen = m_dialogs.ChooseOpenFile("Apri file", DirectoryOf(m_model->LogPath()),
                                               "Log files (*.log *.LOG)");
  if (!chosen || !FileExists(*chosen)) return;
  if (Status st = m_model->Open(*chosen); !st) m_dialogs.Message(st.error, MsgType::Error);
  ShowNewLog();
}

void TLog::FileNewBtnClick() {
  if (!m_model->ConfirmDiscard()) return;
  const auto chosen = m_dialogs.ChooseSaveFile("Nuovo file", DirectoryOf(m_model->LogPath()),
                                               "Log files (*.log *.LOG)");
  if (!chosen) return;
  if (Status st = m_model->New(*chosen); !st) m_dialogs.Message(st.error, MsgType::Error);
  ShowNewLog();
}

void TLog::ShowNewLog() {
  // Open and New: the chosen file becomes the current log, shown from scratch.
  m_settings.logFileName = m_model->LogPath();
  setWindowTitle(QStringLiteral("ORVA32 - ") + Q(m_model->LogPath()));
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
  RefreshCommands();
}

void TLog::BackupBtnClick() {
  const auto chosen = m_dialogs.ChooseSaveFile("Salva file con nome", m_model->LogPath(),
                                               "Log files (*.log *.LOG)");
  if (!chosen) return;
  if (Status st = m_model->SaveAs(*chosen); !st) m_dialogs.Message(st.error, MsgType::Error);
  m_settings.logFileName = m_model->LogPath();
  setWindowTitle(QStringLiteral("ORVA32 - ") + Q(m_model->LogPath()).toUpper());
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::ExportCsvClick() {
  const auto chosen = m_dialogs.ChooseSaveFile(
      "Salva file in formato CSV", DirectoryOf(m_model->LogPath()), "Log files (*.csv *.CSV)");
  if (!chosen) return;
  if (Status st = m_model->ExportCsv(ChangeFileExt(*chosen, ".CSV")); !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

void TLog::NewEntryClick() {
  if (!m_hooks.editRecord) return;
  TConnObj record = LogModel::NewManualRecord();
  if (!m_hooks.editRecord(record, true)) return;
  if (Status st = m_model->AddRecord(std::move(record)); !st)
    m_dialogs.Message(st.error, MsgType::Error);
  RedrawList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::EditEntryClick() {
  const auto rows = SelectedRows();
  if (rows.empty() || !m_hooks.editRecord) return;
  TConnObj record = m_model->Records()[rows.front()];
  if (!m_hooks.editRecord(record, false)) return;
  if (Status st = m_model->ReplaceRecord(rows.front(), std::move(record)); !st)
    m_dialogs.Message(st.error, MsgType::Error);
  ReorderList();
  RebuildServiceCombo();
  RedrawTotals();
}

void TLog::ServCBChange(int index) {
  if (index < 0) return;
  const std::string service = S(ServCB->itemText(index));
  if (Status st = m_model->ChangeService(service); !st) m_dialogs.Message(st.error, MsgType::Error);
  // Saving may have brought in the calls appended meanwhile.
  RedrawList();
  RedrawTotals();
  RebuildServiceCombo();  // back to no selection
}

void TLog::ConnLBDblClick() {
  const auto rows = SelectedRows();
  if (rows.empty() || !m_hooks.showVisitedServers) return;
  m_hooks.showVisitedServers(m_model->Records()[rows.front()]);
}

void TLog::SelectEditorBtnClick() {
  const auto chosen = m_dialogs.ChooseOpenFile("Scelta editor", "/usr/bin", "Programmi (*)");
  if (chosen) m_settings.logEditor = *chosen;
}

void TLog::StartBtnClick() {
  // The editor gets the log path as one argument, never through a shell; without a usable
  // stored editor the desktop's default application for text files opens the log.
  const QString editor = Q(m_settings.logEditor);
  const QString path = Q(m_model->LogPath());
  const QFileInfo info(editor);
  const bool usable =
      !editor.isEmpty() &&
      (info.isAbsolute() ? info.isExecutable() : !QStandardPaths::findExecutable(editor).isEmpty());
  if (usable && QProcess::startDetached(editor, {path})) return;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    m_dialogs.Message("Impossibile avviare l'editor per " + m_model->LogPath(), MsgType::Error);
}

void TLog::FontClick() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, ConnLB->font(), this);
  if (!ok) return;
  m_settings.logFont = S(font.family());
  m_settings.logFontSize = font.pointSize();
  m_settings.logFontStyle = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) |
                            (font.underline() ? 4 : 0) | (font.strikeOut() ? 8 : 0);
  ApplyAppearance();
}

void TLog::ColourClick() {
  const QColor c = QColorDialog::getColor(ToQColor(m_settings.logBackgroundColour), this);
  if (!c.isValid()) return;
  m_settings.logBackgroundColour = FromQColor(c);
  ApplyAppearance();
}

void TLog::ApplyAppearance() {
  QFont font = ConnLB->font();
  if (!m_settings.logFont.empty()) font.setFamily(Q(m_settings.logFont));
  if (m_settings.logFontSize > 0) font.setPointSize(m_settings.logFontSize);
  font.setBold(m_settings.logFontStyle & 1);
  font.setItalic(m_settings.logFontStyle & 2);
  font.setUnderline(m_settings.logFontStyle & 4);
  font.setStrikeOut(m_settings.logFontStyle & 8);
  ConnLB->setFont(font);
  HeaderBottom->setFont(font);
  m_table->SetTextColour(ToQColor(m_settings.logFontColour));
  m_table->SetListColour(ToQColor(m_settings.logBackgroundColour));
  // The list's style sheet (its silver grid lines) overrides the palette, so the colour of the
  // space under the rows goes into it too.
  const QColor back = ToQColor(m_settings.logBackgroundColour);
  ConnLB->setStyleSheet(QStringLiteral("QTableView { gridline-color: rgb(192,192,192); "
                                       "background-color: %1; }")
                            .arg(back.name()));
  QPalette p = ConnLB->palette();
  p.setColor(QPalette::Base, back);
  ConnLB->setPalette(p);
  ConnLB->viewport()->update();
}

void TLog::RestoreState() {
  const QFontMetrics fm(ConnLB->font());
  const int narrow = fm.horizontalAdvance(QStringLiteral("000000000")) - 4;
  const int wide = fm.horizontalAdvance(QStringLiteral("00000000000")) - 4;
  // The byte columns show kilobytes ("146,48 Kb"): wide enough for that text.
  const int kb = fm.horizontalAdvance(QStringLiteral("000.000,00 Kb")) + 6;
  std::vector<int> widths(kLogColumnCount);
  for (int i = 0; i < kLogColumnCount; ++i)
    widths[static_cast<std::size_t>(i)] = i == 11               ? 30
                                          : (i >= 1 && i <= 4)  ? wide
                                          : (i == 9 || i == 10) ? kb
                                                                : narrow;
  if (m_places) widths = m_places->ColumnWidths(kLogWindowPlace, widths);
  for (int i = 0; i < kLogColumnCount; ++i) {
    ConnLB->horizontalHeader()->resizeSection(i, widths[static_cast<std::size_t>(i)]);
    HeaderBottom->resizeSection(i, ConnLB->horizontalHeader()->sectionSize(i));
  }
  resize(760, 480);
  if (!m_places) return;
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  if (const auto g = m_places->Place(kLogWindowPlace, {0, y(), x(), width(), height()},
                                     screen.width(), screen.height(), true)) {
    // The client area's place, as stored: put back exactly under a window manager.
    PlaceClientArea(*this, g->left, g->top, std::max(g->width, 600), std::max(g->height, 450));
    if (g->state == 2) setWindowState(Qt::WindowMaximized);
  }
}

void TLog::StoreState() {
  if (m_places) {
    std::vector<int> widths;
    for (int i = 0; i < kLogColumnCount; ++i)
      widths.push_back(ConnLB->horizontalHeader()->sectionSize(i));
    // Widths and a place not stored only mean the window opens as it was built next time.
    static_cast<void>(m_places->Store(kLogWindowPlace,
                                      {isMaximized()   ? 2
                                       : isMinimized() ? 1
                                                       : 0,
                                       geometry().y(), geometry().x(), width(), height()},
                                      widths));
  }
  m_settings.sortIndex = m_model->sort.column;
  m_settings.sortAscending = m_model->sort.ascending;
}

QPrinter& TLog::Printer() {
  if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *m_printer;
}

void TLog::PrinterSetupClick() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

Status TLog::PrintReport(QPrinter& printer, bool onlySelected) {
  if (ChartShowing()) {
    // A chart is wider than high: across the page it fills the sheet inside the margins; the
    // orientation chosen for the report comes back afterwards.
    const QPageLayout::Orientation chosen = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    Status st = Status::Ok();
    if (!painter.begin(&printer)) {
      st = Status::Fail("Impossibile avviare la stampa del grafico");
    } else {
      m_chartView->render(&painter);
      if (!painter.end()) st = Status::Fail("La stampa non è stata completata");
    }
    printer.setPageOrientation(chosen);
    return st;
  }
  std::vector<bool> which;
  if (onlySelected) {
    which = m_model->Selection();
    which.resize(m_model->Count(), false);
  }
  return PrintLogReport(
      printer, BuildLogReport(m_model->Records(), which, m_model->decimals, m_model->vatRate));
}

void TLog::PrintBtnClick() {
  if (m_model->Count() == 0) return;
  bool onlySelected = false;
  if (!ChartShowing()) {
    TPrintForm form(this);
    form.onSetup = [this] { PrinterSetupClick(); };
    if (form.exec() != QDialog::Accepted) return;
    onlySelected = form.OnlySelected();
    if (onlySelected && m_model->SelectedCount() == 0) return;
  }
  QPrinter& printer = Printer();
  // Without an installed printer the report goes to a PDF file the user names, each time:
  // the last file is only proposed, so a report never silently replaces an earlier one.
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    const std::string last = S(printer.outputFileName());
    const auto file =
        m_hooks.choosePdfFile
            ? m_hooks.choosePdfFile()
            : m_dialogs.ChooseSaveFile("Stampa su file PDF",
                                       last.empty() ? DirectoryOf(m_model->LogPath()) : last,
                                       "File PDF (*.pdf)");
    if (!file) return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Q(*file));
  }
  if (Status st = PrintReport(printer, onlySelected); !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

bool TLog::ChartShowing() const {
  return m_pages->currentIndex() == 1;
}

void TLog::SetListCommandsEnabled(bool enabled) {
  for (QAction* a : m_listCommands) a->setEnabled(enabled);
  m_ritorna->setEnabled(!enabled);
  if (enabled) RefreshCommands();
}

void TLog::ChartKindClick(int kind) {
  ChooseChart(m_kindItems, m_chartKind, kind);
}

void TLog::ChartStyleClick(int style) {
  ChooseChart(m_styleItems, m_chartStyle, style);
}

void TLog::ChooseChart(const std::array<QAction*, 3>& items, int& current, int chosen) {
  // Without a selected row nothing changes, and the menu keeps its tick where it was.
  if (m_model->SelectedCount() == 0) {
    m_dialogs.Message("Selezionare almeno una connessione", MsgType::Information);
    items[static_cast<std::size_t>(current - 1)]->setChecked(true);
    return;
  }
  current = chosen;
  items[static_cast<std::size_t>(chosen - 1)]->setChecked(true);
  DrawChart();
}

void TLog::Chart3DClick(bool on) {
  m_chart3D = on;
  if (ChartShowing()) DrawChart();
}

void TLog::RitornaClick() {
  m_pages->setCurrentIndex(0);
  SetListCommandsEnabled(true);
}

void TLog::DrawChart() {
  m_chartView->Draw(BuildLogChart(m_model->Records(), m_model->Selection(),
                                  static_cast<LogChartKind>(m_chartKind)),
                    m_chartStyle, m_chart3D);
  if (!ChartShowing()) {
    m_pages->setCurrentIndex(1);
    SetListCommandsEnabled(false);
  }
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
