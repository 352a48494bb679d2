// The log window's commands: the actions with their shortcuts, the File, Modifica and Grafico
// menus, the tool bar with the service list, the list's pop-up menu, and which commands are on.
#include "log/ui/Logform.h"
#include "platform/qt/ElidingComboBox.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QToolBar>

namespace orva {

// The commands the menus and the tool bar share.
struct TLog::Commands {
  QAction* open;
  QAction* nw;
  QAction* saveAs;
  QAction* print;
  QAction* setup;
  QAction* csv;
  QAction* font;
  QAction* colour;
  QAction* close;
  QAction* entry;
  QAction* import;
  QAction* del;
  QAction* all;
  QAction* filter;
  QAction* chooseEditor;
  QAction* runEditor;
};

namespace {

template <class Slot>
QAction* Command(TLog* window, const char* name, const char* text, const char* hint, Slot slot) {
  auto* a = new QAction(QString::fromUtf8(text), window);
  a->setObjectName(QString::fromUtf8(name));
  if (hint) a->setStatusTip(QString::fromUtf8(hint)), a->setToolTip(QString::fromUtf8(hint));
  QObject::connect(a, &QAction::triggered, window, slot);
  return a;
}

QAction* WithShortcut(QAction* a, const QKeySequence& keys) {
  a->setShortcut(keys);
  return a;
}

}  // namespace

void TLog::BuildActions() {
  const Commands c = CreateCommands();
  for (QAction* a :
       {c.open, c.nw, c.saveAs, c.print, c.del, c.all, c.filter, c.chooseEditor, c.runEditor,
        c.entry, m_edit, m_copy, m_paste, c.import, c.csv, m_compareAction})
    addAction(a);
  BuildMenus(c);
  BuildChartMenu();
  // The commands that change the list; they are off while the chart shows.
  m_listCommands = {c.open,  c.nw,           c.saveAs,    c.all,   c.filter,
                    c.del,   c.chooseEditor, c.runEditor, c.font,  c.colour,
                    c.entry, m_edit,         m_copy,      m_paste, c.import};
  BuildToolBar(c);
}

TLog::Commands TLog::CreateCommands() {
  Commands c{};
  c.open = Command(this, "FileOpenBtn", "&Apri", "Apre un file LOG", &TLog::FileOpenBtnClick);
  c.nw = Command(this, "FileNewBtn", "&Nuovo", "Crea un nuovo file LOG", &TLog::FileNewBtnClick);
  c.saveAs = Command(this, "BackupBtn", "Sal&va con nome", "Salva con nome", &TLog::BackupBtnClick);
  c.print = Command(this, "PrintBtn", "&Stampa", "Stampa", &TLog::PrintBtnClick);
  c.setup = Command(this, "PrinterSetup", "&Imposta stampante", nullptr, &TLog::PrinterSetupClick);
  c.csv = Command(this, "ExportCsv", "&Esporta (file CSV)", nullptr, &TLog::ExportCsvClick);
  m_compareAction =
      WithShortcut(Command(this, "CompareItem", "Confronta &tariffe",
                           "Quanto avrebbero fatto pagare le tariffe le chiamate mostrate",
                           &TLog::CompareTariffsClick),
                   QKeySequence(Qt::CTRL | Qt::Key_T));
  c.font = Command(this, "FontItem", "&Font", nullptr, &TLog::FontClick);
  c.colour = Command(this, "ColourItem", "&Colore", nullptr, &TLog::ColourClick);
  c.close = Command(this, "CloseItem", "&Chiudi", nullptr, [this] { this->close(); });
  c.entry = WithShortcut(
      Command(this, "NewEntryItem", "Nuova (Inserimento manuale)", nullptr, &TLog::NewEntryClick),
      QKeySequence(Qt::CTRL | Qt::Key_N));
  m_edit = WithShortcut(Command(this, "EditEntryItem", "Modifica", nullptr, &TLog::EditEntryClick),
                        QKeySequence(Qt::CTRL | Qt::Key_M));
  m_copy = WithShortcut(Command(this, "CopyItem", "Copia", nullptr, &TLog::CopyClick),
                        QKeySequence(Qt::CTRL | Qt::Key_C));
  m_paste = WithShortcut(Command(this, "PasteItem", "Incolla", nullptr, &TLog::PasteClick),
                         QKeySequence(Qt::CTRL | Qt::Key_V));
  c.import = WithShortcut(
      Command(this, "ImportItem", "Importa da altro file", nullptr, &TLog::ImportClick),
      QKeySequence(Qt::CTRL | Qt::Key_I));
  c.del = WithShortcut(
      Command(this, "DelBtn", "Elimina", "Cancella gli elementi selezionati", &TLog::DelBtnClick),
      QKeySequence::Delete);
  c.all =
      Command(this, "SelectAllBtn", "Seleziona tutti", "Seleziona tutti", &TLog::SelectAllBtnClick);
  c.filter = Command(this, "FilterBtn", "Filtro", "Filtro", &TLog::FilterBtnClick);
  c.chooseEditor = Command(this, "SelectEditorBtn", "Scelta editor", "Scelta editor",
                           &TLog::SelectEditorBtnClick);
  c.runEditor = Command(this, "StartBtn", "Lancia l'editor", "Lancia l'editor selezionato",
                        &TLog::StartBtnClick);
  return c;
}

void TLog::BuildMenus(const Commands& c) {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addActions({c.open, c.nw, c.saveAs});
  file->addSeparator();
  file->addActions({c.print, c.setup, c.csv, m_compareAction});
  file->addSeparator();
  file->addActions({c.font, c.colour});
  file->addSeparator();
  file->addAction(c.close);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Modifica"));
  edit->addActions({c.entry, m_edit});
  edit->addSeparator();
  edit->addActions({m_copy, m_paste, c.import});
  edit->addSeparator();
  edit->addActions({c.del, c.all, c.filter});
}

// "Grafico": two groups of radio items, the first item of each ticked, and "Grafico 3D"; then
// "Ritorna" on the menu bar, on only while the chart shows.
void TLog::BuildChartMenu() {
  QMenu* charts = menuBar()->addMenu(QStringLiteral("&Grafico"));
  const char* kinds[3] = {"Costo connessione", "Dati inviati/ricevuti", "Velocità di connessione"};
  const char* styles[3] = {"Grafico a punti e linee", "Grafico ad istogramma", "Grafico a punti"};
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
}

void TLog::BuildToolBar(const Commands& c) {
  QToolBar* bar = addToolBar(QStringLiteral("Strumenti"));
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->addActions({c.open, c.nw, c.saveAs, c.print, m_compareAction});
  bar->addSeparator();
  bar->addActions({c.del, c.all, c.filter});
  bar->addSeparator();
  bar->addActions({c.chooseEditor, c.runEditor});
  bar->addSeparator();
  ServCB = new ElidingComboBox(bar);
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

// The list's pop-up menu: the clipboard, "Elimina" and the visited servers of a call.
void TLog::ShowListMenu(const QPoint& at) {
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
}

void TLog::RefreshCommands() {
  if (ChartShowing()) return;
  const bool any = m_model->SelectedCount() > 0;
  m_compareAction->setEnabled(m_model->Count() > 0);
  m_copy->setEnabled(any);
  m_paste->setEnabled(m_model->PasteAvailable());
  m_edit->setEnabled(any);
}

void TLog::SetListCommandsEnabled(bool enabled) {
  for (QAction* a : m_listCommands) a->setEnabled(enabled);
  m_ritorna->setEnabled(!enabled);
  if (enabled) RefreshCommands();
}

}  // namespace orva
