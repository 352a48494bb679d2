// The options dialog's window.
#include "setup/ui/Setting.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/HowUtils.h"
#include "core/password.h"
#include "platform/Numbers.h"
#include "platform/SafeFile.h"
#include "platform/qt/ClientPlace.h"
#include "setup/SetupRules.h"
#include "setup/Shortcuts.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
QString U(const char* s) {
  return QString::fromUtf8(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(U(name));
  return w;
}

QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
  return Named(new QCheckBox(U(text), parent), name);
}

QLineEdit* Edit(const char* name, QWidget* parent, const char* pattern = nullptr) {
  auto* e = Named(new QLineEdit(parent), name);
  if (pattern) e->setValidator(new QRegularExpressionValidator(QRegularExpression(U(pattern)), e));
  return e;
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
  return Named(new QPushButton(U(text), parent), name);
}

QWidget* NewPage(QVBoxLayout*& layout) {
  auto* page = new QWidget;
  layout = new QVBoxLayout(page);
  return page;
}

QColor ToQColor(SettingsColour c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

SettingsColour FromQColor(const QColor& c) {
  return static_cast<SettingsColour>(c.red()) | static_cast<SettingsColour>(c.green()) << 8 |
         static_cast<SettingsColour>(c.blue()) << 16;
}

constexpr const char* kSoundGroups[kSoundEvents] = {"Alla connessione", "Alla sconnessione",
                                                    "Allo scatto", "Ad ogni messaggio di avviso",
                                                    "Nuova posta in casella"};
constexpr const char* kInterfaceTexts[7] = {
    "Apri finestra principale di ORVA al tentativo di connessione",
    "Riduci ad icona alla connessione",
    "Riduci ad icona alla sconnessione",
    "Nascondi ORVA alla sconnessione",
    "Icona lampeggiante durante le connessioni",
    "Finestra lampegg. negli ultimi",
    "Mostra finestra di presentazione all'avvio"};
constexpr const char* kPageCaptions[14] = {
    "Principale",     "Corrispondenze", "Accesso Remoto",   "Rete",        "Avvio applicazioni",
    "Applicazione 1", "Applicazione 2", "Applicazione 3",   "Interfaccia", "Messaggi di avviso",
    "Suoni",          "Sicurezza",      "Caselle di posta", "Colori"};

}  // namespace

int TSetupForm::HelpContext(int page) {
  static constexpr int kContexts[14] = {1450, 1460, 1470, 1475, 1480, 1480, 1480,
                                        1480, 1490, 1500, 1510, 1520, 1525, 9999};
  return page >= 0 && page < 14 ? kContexts[page] : 1450;
}

TSetupForm::TSetupForm(SetupContext context, QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context)) {
  setObjectName(QStringLiteral("SetupForm"));
  setWindowTitle(QStringLiteral("ORVA32 - Impostazioni"));
  Settings& s = m_ctx.settings;

  // The tables behind the pages: "lista.ser" and the mailboxes, created empty when missing.
  if (auto rows = ReadAssociationFile(s.associationPath, true))
    m_associations = AssociationTable(*rows);
  else
    m_ctx.dialogs.Message(rows.error, MsgType::Error);
  if (m_ctx.loadMailboxes) m_mailboxes = MailboxTable(m_ctx.loadMailboxes());

  m_tree = Named(new QTreeWidget(this), "TreeView1");
  m_tree->setHeaderLabel(QStringLiteral("Categorie :"));
  m_tree->setMinimumWidth(170);
  Notebook = Named(new QStackedWidget(this), "Notebook");
  QTreeWidgetItem* programs = nullptr;
  for (int i = 0; i < 14; ++i) {
    QTreeWidgetItem* item = nullptr;
    if (i >= 5 && i <= 7)
      item = new QTreeWidgetItem(programs, {U(kPageCaptions[i])});
    else
      item = new QTreeWidgetItem(m_tree, {U(kPageCaptions[i])});
    if (i == 4) programs = item;
    item->setData(0, Qt::UserRole, i);
    m_nodes.push_back(item);
  }
  m_tree->expandAll();

  Notebook->addWidget(BuildMainPage());
  Notebook->addWidget(BuildAssociationPage());
  Notebook->addWidget(BuildDialupPage());
  Notebook->addWidget(BuildNetworkPage());
  Notebook->addWidget(BuildProgramsPage());
  for (int n = 0; n < 3; ++n) Notebook->addWidget(BuildProgramPage(n));
  Notebook->addWidget(BuildInterfacePage());
  Notebook->addWidget(BuildWarningsPage());
  Notebook->addWidget(BuildSoundsPage());
  Notebook->addWidget(BuildSecurityPage());
  Notebook->addWidget(BuildMailPage());
  Notebook->addWidget(BuildColoursPage());

  auto* ok = Button("OKBtn", "OK", this);
  ok->setDefault(true);
  auto* cancel = Button("CancelBtn", "Annulla", this);
  auto* help = Button("HelpBtn", "Aiuto", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* body = new QHBoxLayout;
  body->addWidget(m_tree);
  body->addWidget(Notebook, 1);
  auto* top = new QVBoxLayout(this);
  top->addLayout(body, 1);
  top->addLayout(buttons);
  resize(640, 430);

  connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) Notebook->setCurrentIndex(item->data(0, Qt::UserRole).toInt());
  });
  connect(ok, &QPushButton::clicked, this, &TSetupForm::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    if (m_ctx.openHelp) m_ctx.openHelp(HelpContext(CurrentPage()));
  });

  // Position "Posizione setup".
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  const FormGeometry g = ApplyFormPosition(s.setupPosition, {0, y(), x(), width(), height()},
                                           screen.width(), screen.height(), false);
  // The client area's place is stored and restored: a window manager puts it back exactly,
  // where the frame's place would move a dialog by its title bar at every opening.
  if (s.setupPosition != "Default") PlaceClientArea(*this, g.left, g.top, width(), height());
  ShowPage(0);
  m_loading = false;
}

TSetupForm::~TSetupForm() = default;

void TSetupForm::ShowPage(int page) {
  if (page < 0 || page >= static_cast<int>(m_nodes.size())) return;
  m_tree->setCurrentItem(m_nodes[static_cast<std::size_t>(page)]);
  Notebook->setCurrentIndex(page);
}

int TSetupForm::CurrentPage() const {
  return Notebook->currentIndex();
}

QWidget* TSetupForm::BuildMainPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  AutoLoadCB = Check("AutoLoadCB", "Carica automaticamente ORVA32 all' avvio del desktop", page);
  DeskIconCB = Check("DeskIconCB", "Mostra icona di ORVA32 sulla scrivania", page);
  AutoLoadCB->setChecked(ShortcutExists(ShortcutPlace::Autostart));
  DeskIconCB->setChecked(ShortcutExists(ShortcutPlace::Desktop));
  HintsCB = Check("HintsCB", "Mostra messaggi di aiuto", page);
  HintsCB->setChecked(s.showHints != 0);
  TrackBar1 = Named(new QSlider(Qt::Horizontal, page), "TrackBar1");
  TrackBar1->setRange(100, 2500);
  TrackBar1->setValue(std::clamp(s.hintPause, 100, 2500));
  DecSE = Named(new QSpinBox(page), "DecSE");
  DecSE->setRange(0, 5);
  DecSE->setValue(std::clamp(s.decimals, 0, 5));
  TrackBar = Named(new QSlider(Qt::Horizontal, page), "TrackBar");
  TrackBar->setRange(100, 3000);
  TrackBar->setValue(std::clamp(s.timerClockMs, 100, 3000));
  m_trackLabel = new QLabel(Q(TimerLabel(TrackBar->value())), page);
  ReqCB = Check("ReqCB", "Chiedi sempre di specificare il servizio da associare", page);
  ReqCB->setChecked(s.askService);

  l->addWidget(AutoLoadCB);
  l->addWidget(DeskIconCB);
  l->addWidget(HintsCB);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Ritardo"), TrackBar1);
  form->addRow(QStringLiteral("Cifre decimali"), DecSE);
  auto* freq = new QHBoxLayout;
  freq->addWidget(TrackBar, 1);
  freq->addWidget(m_trackLabel);
  form->addRow(QStringLiteral("Frequenza di controllo"), freq);
  l->addLayout(form);
  l->addWidget(ReqCB);
  l->addStretch(1);

  connect(TrackBar, &QSlider::valueChanged, this,
          [this](int v) { m_trackLabel->setText(Q(TimerLabel(v))); });
  // The shortcuts take effect at once, and stay after "Annulla".
  auto shortcut = [this](ShortcutPlace place, bool on) {
    if (m_loading) return;
    const Status st = on ? CreateShortcut(place, m_ctx.programPath) : DeleteShortcut(place);
    if (!st) m_ctx.dialogs.Message(st.error, MsgType::Error);
  };
  connect(AutoLoadCB, &QCheckBox::toggled, this,
          [shortcut](bool on) { shortcut(ShortcutPlace::Autostart, on); });
  connect(DeskIconCB, &QCheckBox::toggled, this,
          [shortcut](bool on) { shortcut(ShortcutPlace::Desktop, on); });
  return page;
}

QWidget* TSetupForm::BuildAssociationPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  ListView1 = Named(new QTreeWidget(page), "ListView1");
  ListView1->setHeaderLabels(
      {QStringLiteral("Nome"), QStringLiteral("Tariffa"), QStringLiteral("Neg..")});
  ListView1->setRootIsDecorated(false);
  NameEdit = Edit("NameEdit", page);
  TariffeCB = Named(new QComboBox(page), "TariffeCB");
  for (const auto& t : m_ctx.tariffDescriptions) TariffeCB->addItem(Q(t));
  TariffeCB->setCurrentIndex(-1);
  Negotime1 = Edit("Negotime1", page, "[0-9.]*");
  Negotime1->setText(QStringLiteral("10000"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Nome"), NameEdit);
  form->addRow(QStringLiteral("Tariffa"), TariffeCB);
  form->addRow(QStringLiteral("Negoziazione (ms)"), Negotime1);
  auto* buttons = new QHBoxLayout;
  auto* ras = Button("RASBtn", "RAS", page);
  auto* add = Button("AddAscBtn", "Aggiungi", page);
  auto* del = Button("DelAscBtn", "Elimina", page);
  auto* mod = Button("ModAscBtn", "Modifica", page);
  for (auto* b : {ras, add, del, mod}) buttons->addWidget(b);
  l->addWidget(ListView1, 1);
  l->addLayout(form);
  l->addLayout(buttons);
  connect(ras, &QPushButton::clicked, this, &TSetupForm::RASBtnClick);
  connect(add, &QPushButton::clicked, this, &TSetupForm::AddAscBtnClick);
  connect(del, &QPushButton::clicked, this, &TSetupForm::DelAscBtnClick);
  connect(mod, &QPushButton::clicked, this, &TSetupForm::ModAscBtnClick);
  connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TSetupForm::ListView1Select);
  ShowAssociations();
  return page;
}

void TSetupForm::ShowAssociations() {
  ListView1->blockSignals(true);
  ListView1->clear();
  for (const auto& r : m_associations.Rows())
    ListView1->addTopLevelItem(new QTreeWidgetItem({Q(r.name), Q(r.tariff), Q(r.negotiation)}));
  if (const auto sel = m_associations.Selected())
    ListView1->setCurrentItem(ListView1->topLevelItem(static_cast<int>(*sel)));
  ListView1->blockSignals(false);
  if (m_associations.Selected()) ListView1Select();  // a selected row fills the fields
}

void TSetupForm::ListView1Select() {
  auto* item = ListView1->currentItem();
  if (!item) return;
  const auto row = static_cast<std::size_t>(ListView1->indexOfTopLevelItem(item));
  m_associations.Select(row);
  const AssociationRow& r = m_associations.Rows()[row];
  NameEdit->setText(Q(r.name));
  TariffeCB->setCurrentIndex(TariffeCB->findText(Q(r.tariff), Qt::MatchExactly));
  Negotime1->setText(Q(r.negotiation));
}

void TSetupForm::RASBtnClick() {
  m_associations.AddDialupEntries(m_ctx.dialupEntries);
  ShowAssociations();
}

void TSetupForm::AddAscBtnClick() {
  if (TariffeCB->currentIndex() < 0) return;
  if (m_associations.Add(S(NameEdit->text()), S(TariffeCB->currentText()), S(Negotime1->text())))
    ShowAssociations();
}

void TSetupForm::DelAscBtnClick() {
  if (m_associations.Delete()) ShowAssociations();
}

void TSetupForm::ModAscBtnClick() {
  if (TariffeCB->currentIndex() < 0) return;
  if (m_associations.Modify(S(NameEdit->text()), S(TariffeCB->currentText()), S(Negotime1->text())))
    ShowAssociations();
}

QWidget* TSetupForm::BuildDialupPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  lstEntries = Named(new QTreeWidget(page), "lstEntries");
  lstEntries->setHeaderLabel(QStringLiteral("Voci di accesso remoto"));
  lstEntries->setRootIsDecorated(false);
  for (const auto& e : m_ctx.dialupEntries)
    lstEntries->addTopLevelItem(new QTreeWidgetItem({Q(e)}));
  txtUserName = Edit("txtUserName", page);
  txtUserName->setReadOnly(true);
  txtPassword = Edit("txtPassword", page);
  txtPassword->setReadOnly(true);
  txtPassword->setEchoMode(QLineEdit::Password);
  auto* edit = Button("btnEditEntry", "Impostazioni", page);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Nome utente"), txtUserName);
  form->addRow(QStringLiteral("Password"), txtPassword);
  l->addWidget(lstEntries, 1);
  l->addLayout(form);
  l->addWidget(edit, 0, Qt::AlignRight);
  connect(lstEntries, &QTreeWidget::itemSelectionChanged, this, [this] {
    auto* item = lstEntries->currentItem();
    if (!item) return;
    txtUserName->setText(m_ctx.entryUser ? Q(m_ctx.entryUser(S(item->text(0)))) : QString());
  });
  connect(edit, &QPushButton::clicked, this, [this] {
    auto* item = lstEntries->currentItem();
    if (!item) return;
    if (!m_ctx.editEntry || !m_ctx.editEntry(S(item->text(0))))
      m_ctx.dialogs.Message("Impossibile accedere alle impostazioni di accesso remoto !",
                            MsgType::Error);
  });
  return page;
}

QWidget* TSetupForm::BuildNetworkPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  CheckTCPCB = Check("CheckTCPCB", "Attiva controllo traffico a livello TCP/UDP", page);
  ResolveIPCB = Check("ResolveIPCB", "Risolvi gli indirizzi IP dei server", page);
  HostsCB = Check("HostsCB", "Gestione automatica del file hosts", page);
  MemoIPCB = Check("MemoIPCB", "Memorizza elenco dei server visitati", page);
  NetTimeCB = Check("NetTimeCB", "Preleva data ed ora da un timeserver in rete", page);
  SetNetTimeCB =
      Check("SetNetTimeCB", "Regola l'orologio di sistema in base all'ora di rete", page);
  CheckTCPCB->setChecked(s.tcpMonitoring);
  ResolveIPCB->setChecked(s.resolveAddresses);
  HostsCB->setChecked(s.manageHosts);
  MemoIPCB->setChecked(s.recordIpList);
  NetTimeCB->setChecked(s.getNetworkTime);
  // The clock-setting option opens cleared and disabled every time.
  SetNetTimeCB->setChecked(false);
  SetNetTimeCB->setEnabled(false);
  auto* traffic = new QGroupBox(QStringLiteral("Traffico"), page);
  auto* tl = new QVBoxLayout(traffic);
  tl->addWidget(CheckTCPCB);
  for (auto* c : {ResolveIPCB, HostsCB, MemoIPCB}) {
    c->setContentsMargins(20, 0, 0, 0);
    tl->addWidget(c);
  }
  auto* time = new QGroupBox(QStringLiteral("Ora di rete"), page);
  auto* ml = new QVBoxLayout(time);
  ml->addWidget(NetTimeCB);
  ml->addWidget(SetNetTimeCB);
  l->addWidget(traffic);
  l->addWidget(time);
  l->addStretch(1);
  connect(CheckTCPCB, &QCheckBox::toggled, this, &TSetupForm::CheckTCPCBClick);
  connect(NetTimeCB, &QCheckBox::toggled, this, &TSetupForm::NetTimeCBClick);
  CheckTCPCBClick();
  return page;
}

void TSetupForm::CheckTCPCBClick() {
  for (auto* c : {ResolveIPCB, HostsCB, MemoIPCB}) c->setEnabled(CheckTCPCB->isChecked());
}

void TSetupForm::NetTimeCBClick() {
  if (!m_loading) SetNetTimeCB->setEnabled(NetTimeCB->isChecked());
}

QWidget* TSetupForm::BuildProgramsPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  l->addWidget(new QLabel(
      QStringLiteral("Programmi da avviare quando una connessione si stabilisce.\nScegliere "
                     "\"Applicazione 1\", \"Applicazione 2\" o \"Applicazione 3\"."),
      page));
  l->addStretch(1);
  return page;
}

QWidget* TSetupForm::BuildProgramPage(int n) {
  const LaunchedProgram& p = m_ctx.settings.launched[static_cast<std::size_t>(n)];
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  const std::string idx = std::to_string(n + 1);
  auto* edit = new QLineEdit(Q(p.program), page);
  edit->setObjectName(Q("Edit" + idx));
  auto* browse = new QPushButton(QStringLiteral("..."), page);
  browse->setObjectName(Q("BrowseBtn" + idx));
  auto* row = new QHBoxLayout;
  row->addWidget(edit, 1);
  row->addWidget(browse);
  auto* group = new QGroupBox(QStringLiteral("Avvia in una finestra"), page);
  group->setObjectName(Q("RG" + idx));
  auto* gl = new QVBoxLayout(group);
  const char* states[3] = {"Normale", "A tutto schermo", "Minimizzata"};
  for (int k = 0; k < 3; ++k) {
    auto* r = new QRadioButton(U(states[k]), group);
    r->setChecked(p.window == k);
    gl->addWidget(r);
    m_programWindows[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)] = r;
  }
  auto* providers = new QComboBox(page);
  providers->setObjectName(Q("ProviderCB" + idx));
  for (const auto& e : m_ctx.dialupEntries) providers->addItem(Q(e));
  providers->addItem(QStringLiteral("qualunque"));
  const int found = providers->findText(Q(p.provider), Qt::MatchExactly);
  providers->setCurrentIndex(found >= 0 ? found : providers->count() - 1);
  l->addWidget(new QLabel(QStringLiteral("Programma"), page));
  l->addLayout(row);
  l->addWidget(group);
  l->addWidget(new QLabel(QStringLiteral("Esegui se il provider è :"), page));
  l->addWidget(providers);
  l->addStretch(1);
  m_programEdits[static_cast<std::size_t>(n)] = edit;
  m_programProviders[static_cast<std::size_t>(n)] = providers;
  connect(browse, &QPushButton::clicked, this, [this, edit] {
    const auto chosen =
        m_ctx.dialogs.ChooseOpenFile("Programma", DirectoryOf(S(edit->text())), "Programmi (*)");
    if (chosen && FileExists(*chosen)) edit->setText(Q(*chosen));
  });
  return page;
}

QWidget* TSetupForm::BuildInterfacePage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  const int values[7] = {s.maximizeOnConnect, s.iconOnStart, s.iconOnStop,        s.hideOnStop,
                         s.flashIcon,         s.flashWindow, s.showSplash ? 1 : 0};
  for (int i = 0; i < 7; ++i) {
    auto* c = new QCheckBox(U(kInterfaceTexts[i]), page);
    c->setObjectName(Q("Op" + std::to_string(i + 1)));
    c->setChecked(values[i] != 0);
    m_interface[static_cast<std::size_t>(i)] = c;
    if (i == 5) {
      ED0 = Edit("ED0", page);
      ED0->setText(Q(std::to_string(s.flashAdvance)));
      ED0->setMaximumWidth(50);
      auto* row = new QHBoxLayout;
      row->addWidget(c);
      row->addWidget(ED0);
      row->addWidget(new QLabel(QStringLiteral("secondi dello scatto"), page));
      row->addStretch(1);
      l->addLayout(row);
    } else {
      l->addWidget(c);
    }
  }
  l->addStretch(1);
  connect(ED0, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        ED0,
        [this](std::optional<int> v) {
          if (v) m_ctx.settings.flashAdvance = *v;
        },
        false);
  });
  return page;
}

QWidget* TSetupForm::BuildWarningsPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  auto limit = [page](const char* name) {
    // Wide enough for the largest amounts (100000 and more) to be read whole.
    QLineEdit* e = Edit(name, page, "[0-9]*");
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    return e;
  };
  WTCh = Check("WTCh", "Dopo x minuti di collegamento consecutivi", page);
  WTEdit = limit("WTEdit");
  WCSCh = Check("WCSCh", "Costo della chiamata superiore a (Lire)", page);
  WCSEdit = limit("WCSEdit");
  IVASCB = Check("IVASCB", "con IVA", page);
  WCLCh = Check("WCLCh", "Costo del periodo di bolletta superiore a (Lire)", page);
  WCLEdit = limit("WCLEdit");
  IVALCB = Check("IVALCB", "con IVA", page);
  FreqEdit = Named(new QSpinBox(page), "FreqEdit");
  FreqEdit->setRange(1, 1000);
  WTCh->setChecked(s.warnTimeOn == 1);
  WTEdit->setText(Q(std::to_string(s.warnTimeMinutes)));
  WCSCh->setChecked(s.warnDayCostOn == 1);
  WCSEdit->setText(Q(s.warnDayCost));
  IVASCB->setChecked(s.warnDayCostWithVat == 1);
  WCLCh->setChecked(s.warnPeriodCostOn == 1);
  WCLEdit->setText(Q(s.warnPeriodCost));
  IVALCB->setChecked(s.warnPeriodCostWithVat == 1);
  FreqEdit->setValue(std::clamp(s.warnFrequency, 1, 1000));
  auto* grid = new QGridLayout;
  grid->addWidget(WTCh, 0, 0);
  grid->addWidget(WTEdit, 0, 1);
  grid->addWidget(WCSCh, 1, 0);
  grid->addWidget(WCSEdit, 1, 1);
  grid->addWidget(IVASCB, 1, 2);
  grid->addWidget(WCLCh, 2, 0);
  grid->addWidget(WCLEdit, 2, 1);
  grid->addWidget(IVALCB, 2, 2);
  auto* freq = new QHBoxLayout;
  freq->addWidget(new QLabel(QStringLiteral("Controlla ogni"), page));
  freq->addWidget(FreqEdit);
  freq->addWidget(new QLabel(QStringLiteral("secondi"), page));
  freq->addStretch(1);
  l->addLayout(grid);
  l->addLayout(freq);
  l->addStretch(1);
  // "con IVA" of the period limit takes effect at once.
  connect(IVALCB, &QCheckBox::toggled, this,
          [this](bool on) { m_ctx.settings.warnPeriodCostWithVat = on ? 1 : 0; });
  return page;
}

QWidget* TSetupForm::BuildSoundsPage() {
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  BeepCB = Check("BeepCB", "Attiva suoni", page);
  BeepCB->setChecked(m_ctx.settings.soundsOn != 0);
  l->addWidget(BeepCB);
  for (int i = 0; i < kSoundEvents; ++i) {
    auto* group = new QGroupBox(U(kSoundGroups[i]), page);
    auto* gl = new QHBoxLayout(group);
    auto* check = new QCheckBox(group);
    check->setObjectName(Q("SoundCB" + std::to_string(i + 1)));
    check->setChecked(m_ctx.settings.soundEnabled[static_cast<std::size_t>(i)]);
    auto* choose = new QPushButton(QStringLiteral("Scegli..."), group);
    choose->setObjectName(Q("SoundChooseBtn" + std::to_string(i + 1)));
    choose->setToolTip(QStringLiteral("Scelta file WAV"));
    auto* play = new QPushButton(QStringLiteral("Prova"), group);
    play->setObjectName(Q("SoundTestBtn" + std::to_string(i + 1)));
    play->setToolTip(QStringLiteral("Test del file selezionato"));
    gl->addWidget(check, 1);
    gl->addWidget(choose);
    gl->addWidget(play);
    l->addWidget(group);
    m_soundChecks[static_cast<std::size_t>(i)] = check;
    ShowSoundCaption(i);
    connect(choose, &QPushButton::clicked, this, [this, i] {
      auto& file = m_ctx.settings.soundFiles[static_cast<std::size_t>(i)];
      const auto chosen = m_ctx.dialogs.ChooseOpenFile(
          "Scelta file WAV", file == "None" ? m_ctx.dataDir : DirectoryOf(file),
          "Wav files (*.wav *.WAV)");
      if (!chosen || !FileExists(*chosen)) return;
      file = *chosen;  // at once: kept even after "Annulla"
      ShowSoundCaption(i);
    });
    connect(play, &QPushButton::clicked, this, [this, i] {
      const auto& file = m_ctx.settings.soundFiles[static_cast<std::size_t>(i)];
      if (FileExists(file)) m_ctx.sound.PlayWav(file);
    });
  }
  l->addStretch(1);
  return page;
}

void TSetupForm::ShowSoundCaption(int slot) {
  m_soundChecks[static_cast<std::size_t>(slot)]->setText(
      Q(SoundSlotCaption(m_ctx.settings.soundFiles[static_cast<std::size_t>(slot)])));
}

QWidget* TSetupForm::BuildSecurityPage() {
  const AccessSettings& a = m_ctx.settings.access;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  PswEd = Edit("PswEd", page);
  PswEd->setEchoMode(QLineEdit::Password);
  PswBtn = Button("PswBtn", "Password", page);
  DelPswBtn = Button("DelPswBtn", "Elimina", page);
  CB1 = Check("CB1", "Impedisci arresto contascatti", page);
  CB11 = Check("CB11", "Impedisci avvio contascatti", page);
  CB2 = Check("CB2", "Limita l'accesso alla sezione bolletta", page);
  CB3 = Check("CB3", "Sconnetti automaticamente dopo ", page);
  Ed3 = Edit("Ed3", page);
  CB4 = Check("CB4", "Sconnetti al limite del  ", page);
  Ed4 = Edit("Ed4", page);
  ED40 = Edit("ED40", page);
  CB5 = Check("CB5", "Impedisci chiusura del programma senza password", page);
  CB1->setChecked(a.preventStop == 1);
  CB11->setChecked(a.preventStart == 1);
  CB2->setChecked(a.limitBill == 1);
  CB3->setChecked(a.disconnectAfterMinutes == 1);
  Ed3->setText(Q(std::to_string(a.disconnectMinutes.value_or(30))));
  CB4->setChecked(a.disconnectAtTick == 1);
  Ed4->setText(Q(std::to_string(a.disconnectTick.value_or(5))));
  ED40->setText(Q(std::to_string(a.disconnectTickAdvance.value_or(10))));
  CB5->setChecked(a.preventClose == 1);
  for (auto* e : {Ed3, Ed4, ED40}) e->setMaximumWidth(50);

  auto* pw = new QHBoxLayout;
  pw->addWidget(new QLabel(QStringLiteral("Password :"), page));
  pw->addWidget(PswEd, 1);
  pw->addWidget(PswBtn);
  pw->addWidget(DelPswBtn);
  l->addLayout(pw);
  l->addWidget(CB1);
  l->addWidget(CB11);
  l->addWidget(CB2);
  auto* r3 = new QHBoxLayout;
  r3->addWidget(CB3);
  r3->addWidget(Ed3);
  r3->addWidget(new QLabel(QStringLiteral("minuti."), page));
  r3->addStretch(1);
  l->addLayout(r3);
  auto* r4 = new QHBoxLayout;
  r4->addWidget(CB4);
  r4->addWidget(Ed4);
  r4->addWidget(new QLabel(QStringLiteral("°scatto. Anticipa di"), page));
  r4->addWidget(ED40);
  r4->addWidget(new QLabel(QStringLiteral("s."), page));
  r4->addStretch(1);
  l->addLayout(r4);
  l->addWidget(CB5);
  l->addStretch(1);

  connect(PswEd, &QLineEdit::textChanged, this, &TSetupForm::PswEdChange);
  connect(PswBtn, &QPushButton::clicked, this, &TSetupForm::PswBtnClick);
  connect(DelPswBtn, &QPushButton::clicked, this, &TSetupForm::DelPswBtnClick);
  for (QCheckBox* c : {CB1, CB11, CB2, CB3, CB4, CB5})
    connect(c, &QCheckBox::toggled, this, [this] { StoreAccessAtOnce(); });
  connect(Ed3, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        Ed3, [this](std::optional<int> v) { m_ctx.settings.access.disconnectMinutes = v; }, true);
  });
  connect(Ed4, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        Ed4, [this](std::optional<int> v) { m_ctx.settings.access.disconnectTick = v; }, true);
  });
  connect(ED40, &QLineEdit::textEdited, this, [this] {
    ImmediateNumberChanged(
        ED40, [this](std::optional<int> v) { m_ctx.settings.access.disconnectTickAdvance = v; },
        true);
  });
  ApplySecurityState(SecurityOnOpen(a.HasPassword()));
  return page;
}

void TSetupForm::ApplySecurityState(const SecurityPageState& s) {
  m_security = s;
  PswEd->setEnabled(s.passwordField);
  PswBtn->setEnabled(s.passwordButton);
  DelPswBtn->setEnabled(s.deleteButton);
  for (QWidget* w : std::initializer_list<QWidget*>{CB1, CB11, CB2, CB3, Ed3, CB4, Ed4, ED40, CB5})
    w->setEnabled(s.options);
}

void TSetupForm::PswEdChange() {
  ApplySecurityState(SecurityOnTyped(m_security, S(PswEd->text()), m_ctx.settings.access.password));
}

void TSetupForm::PswBtnClick() {
  if (!SetPasswordFlow(m_ctx.settings.access, m_ctx.registry, m_ctx.dialogs)) return;
  PswEd->blockSignals(true);
  PswEd->setText(Q(m_ctx.settings.access.password));
  PswEd->blockSignals(false);
  ApplySecurityState(SecurityAfterNewPassword());
}

void TSetupForm::DelPswBtnClick() {
  if (Status st = RemovePassword(m_ctx.settings.access, m_ctx.registry); !st)
    m_ctx.dialogs.Message(st.error, MsgType::Error);
  PswEd->blockSignals(true);
  PswEd->clear();
  PswEd->blockSignals(false);
  ApplySecurityState(SecurityAfterDelete());
}

void TSetupForm::StoreAccessAtOnce() {
  if (m_loading) return;
  AccessSettings& a = m_ctx.settings.access;
  a.preventStop = CB1->isChecked() ? 1 : 0;
  a.preventStart = CB11->isChecked() ? 1 : 0;
  a.limitBill = CB2->isChecked() ? 1 : 0;
  a.disconnectAfterMinutes = CB3->isChecked() ? 1 : 0;
  a.disconnectAtTick = CB4->isChecked() ? 1 : 0;
  a.preventClose = CB5->isChecked() ? 1 : 0;
  if (Status st = SaveAccessSettings(a, m_ctx.registry); !st)
    m_ctx.dialogs.Message(st.error, MsgType::Error);
}

void TSetupForm::ImmediateNumberChanged(QLineEdit* edit,
                                        const std::function<void(std::optional<int>)>& set,
                                        bool emptyAllowed) {
  const std::string text = S(edit->text());
  if (text.empty() && emptyAllowed) {
    set(std::nullopt);
  } else if (const auto v = ImmediateNumber(text)) {
    set(v);
  } else {
    m_ctx.dialogs.Message(std::string(kNotANumberMessage), MsgType::Error);
    return;
  }
  if (edit == Ed3 || edit == Ed4 || edit == ED40) StoreAccessAtOnce();
}

QWidget* TSetupForm::BuildMailPage() {
  const Settings& s = m_ctx.settings;
  QVBoxLayout* l = nullptr;
  QWidget* page = NewPage(l);
  ListView2 = Named(new QTreeWidget(page), "ListView2");
  ListView2->setHeaderLabels(
      {QStringLiteral("Server"), QStringLiteral("Porta"), QStringLiteral("Utente")});
  ListView2->setRootIsDecorated(false);
  POP3HostED = Edit("POP3HostED", page);
  POP3PortED = Edit("POP3PortED", page, "[0-9]{0,5}");
  POP3UserED = Edit("POP3UserED", page);
  POP3PassED = Edit("POP3PassED", page);
  POP3PassED->setEchoMode(QLineEdit::Password);
  // The field takes no more than the mailbox file holds, and says so when a key or a paste
  // would go past it.
  POP3PassED->setMaxLength(kMailboxPasswordMax);
  POP3PassED->setToolTip(Q(std::string(kMailboxPasswordTooLong)));
  connect(POP3PassED, &QLineEdit::inputRejected, this, [this] {
    if (POP3PassED->text().size() < kMailboxPasswordMax) return;
    QToolTip::showText(POP3PassED->mapToGlobal(QPoint(0, POP3PassED->height())),
                       POP3PassED->toolTip(), POP3PassED);
    m_passwordCut = true;
  });
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Server"), POP3HostED);
  form->addRow(QStringLiteral("Porta"), POP3PortED);
  form->addRow(QStringLiteral("Utente"), POP3UserED);
  form->addRow(QStringLiteral("Password"), POP3PassED);
  auto* buttons = new QHBoxLayout;
  auto* nw = Button("NewMailBtn", "Nuovo", page);
  auto* add = Button("AddMailBtn", "Aggiungi", page);
  auto* del = Button("DelMailBtn", "Elimina", page);
  auto* mod = Button("ModMailBtn", "Modifica", page);
  for (auto* b : {nw, add, del, mod}) buttons->addWidget(b);
  CheckMailCB = Check("CheckMailCB", "Controlla la posta ogni", page);
  CheckMailCB->setChecked(s.mailCheckEnabled);
  RxSlider1 = Named(new QSlider(Qt::Horizontal, page), "RxSlider1");
  RxSlider1->setRange(1, 59);
  RxSlider1->setValue(std::clamp(s.mailCheckMinutes, 1, 59));
  m_mailLabel = new QLabel(Q(MailPeriodLabel(RxSlider1->value())), page);
  auto* cycle = new QHBoxLayout;
  cycle->addWidget(CheckMailCB);
  cycle->addWidget(RxSlider1, 1);
  cycle->addWidget(m_mailLabel);
  // Without it a mailbox that offers no TLS gets the password in clear.
  RequireTlsCB = Check("RequireTlsCB", "Richiedi connessione cifrata", page);
  RequireTlsCB->setChecked(s.mailRequireTls);
  l->addWidget(ListView2, 1);
  l->addLayout(form);
  l->addLayout(buttons);
  l->addWidget(RequireTlsCB);
  l->addLayout(cycle);
  connect(nw, &QPushButton::clicked, this, &TSetupForm::NewMailBtnClick);
  connect(add, &QPushButton::clicked, this, &TSetupForm::AddMailBtnClick);
  connect(del, &QPushButton::clicked, this, &TSetupForm::DelMailBtnClick);
  connect(mod, &QPushButton::clicked, this, &TSetupForm::ModMailBtnClick);
  connect(ListView2, &QTreeWidget::itemSelectionChanged, this, &TSetupForm::ListView2Select);
  connect(ListView2, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
    const int row = ListView2->indexOfTopLevelItem(item);
    if (row >= 0 && static_cast<std::size_t>(row) < m_mailboxes.Rows().size())
      m_mailboxes.MutableRows()[static_cast<std::size_t>(row)].enabled =
          item->checkState(0) == Qt::Checked;
  });
  connect(RxSlider1, &QSlider::valueChanged, this,
          [this](int v) { m_mailLabel->setText(Q(MailPeriodLabel(v))); });
  ShowMailboxes();
  return page;
}

void TSetupForm::ShowMailboxes() {
  ListView2->blockSignals(true);
  ListView2->clear();
  for (const auto& r : m_mailboxes.Rows()) {
    auto* item = new QTreeWidgetItem({Q(r.server), Q(std::to_string(r.port)), Q(r.user)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, r.enabled ? Qt::Checked : Qt::Unchecked);
    ListView2->addTopLevelItem(item);
  }
  if (const auto sel = m_mailboxes.Selected())
    ListView2->setCurrentItem(ListView2->topLevelItem(static_cast<int>(*sel)));
  ListView2->blockSignals(false);
  ShowSelectedMailbox();
}

// The fields show the selected row as the table holds it (a port left empty reads 110), or
// the empty fields of "Nuovo" when no row is selected.
void TSetupForm::ShowSelectedMailbox() {
  const auto sel = m_mailboxes.Selected();
  if (!sel) {
    for (auto* e : {POP3HostED, POP3UserED, POP3PassED}) e->clear();
    POP3PortED->setText(QStringLiteral("110"));
    return;
  }
  const MailboxRow& r = m_mailboxes.Rows()[*sel];
  POP3HostED->setText(Q(r.server));
  POP3PortED->setText(Q(std::to_string(r.port)));
  POP3UserED->setText(Q(r.user));
  POP3PassED->setText(Q(r.password));
}

void TSetupForm::ListView2Select() {
  auto* item = ListView2->currentItem();
  if (!item) return;
  m_mailboxes.Select(static_cast<std::size_t>(ListView2->indexOfTopLevelItem(item)));
  ShowSelectedMailbox();
}

void TSetupForm::NewMailBtnClick() {
  m_mailboxes.New();
  ListView2->clearSelection();
  ShowSelectedMailbox();
}

void TSetupForm::AddMailBtnClick() {
  if (m_mailboxes.Add(S(POP3HostED->text()), ParseInteger(S(POP3PortED->text())).value_or(110),
                      S(POP3UserED->text()), S(POP3PassED->text())))
    ShowMailboxes();
}

void TSetupForm::DelMailBtnClick() {
  if (m_mailboxes.Delete()) ShowMailboxes();
}

void TSetupForm::ModMailBtnClick() {
  if (m_mailboxes.Modify(S(POP3HostED->text()), ParseInteger(S(POP3PortED->text())).value_or(110),
                         S(POP3UserED->text()), S(POP3PassED->text())))
    ShowMailboxes();
}

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

void TSetupForm::CopyToSettings() {
  Settings& s = m_ctx.settings;
  s.showHints = HintsCB->isChecked() ? 1 : 0;
  s.hintPause = TrackBar1->value();
  s.decimals = DecSE->value();
  s.timerClockMs = TrackBar->value();
  s.askService = ReqCB->isChecked();
  const NetworkPageValues net = StoredNetworkValues(
      {CheckTCPCB->isChecked(), ResolveIPCB->isChecked(), HostsCB->isChecked(),
       MemoIPCB->isChecked(), NetTimeCB->isChecked(), SetNetTimeCB->isChecked()});
  s.tcpMonitoring = net.tcpMonitoring;
  s.resolveAddresses = net.resolveAddresses;
  s.manageHosts = net.hostsManagement;
  s.recordIpList = net.recordIpList;
  s.getNetworkTime = net.networkTime;
  s.setNetworkTime = net.setNetworkTime;
  for (std::size_t n = 0; n < 3; ++n) {
    LaunchedProgram& p = s.launched[n];
    p.program = S(m_programEdits[n]->text());
    for (int k = 0; k < 3; ++k)
      if (m_programWindows[n][static_cast<std::size_t>(k)]->isChecked()) p.window = k;
    p.provider = S(m_programProviders[n]->currentText());
  }
  int* interfaceValues[6] = {&s.maximizeOnConnect, &s.iconOnStart, &s.iconOnStop,
                             &s.hideOnStop,        &s.flashIcon,   &s.flashWindow};
  for (std::size_t i = 0; i < 6; ++i) *interfaceValues[i] = m_interface[i]->isChecked() ? 1 : 0;
  s.showSplash = m_interface[6]->isChecked();
  s.warnTimeOn = WTCh->isChecked() ? 1 : 0;
  s.warnTimeMinutes = NumberOrKeep(S(WTEdit->text()), s.warnTimeMinutes);
  s.warnDayCostOn = WCSCh->isChecked() ? 1 : 0;
  if (ParseInteger(S(WCSEdit->text()))) s.warnDayCost = S(WCSEdit->text());
  s.warnDayCostWithVat = IVASCB->isChecked() ? 1 : 0;
  s.warnPeriodCostOn = WCLCh->isChecked() ? 1 : 0;
  if (ParseInteger(S(WCLEdit->text()))) s.warnPeriodCost = S(WCLEdit->text());
  s.warnPeriodCostWithVat = IVALCB->isChecked() ? 1 : 0;
  s.warnFrequency = FreqEdit->value();
  s.soundsOn = BeepCB->isChecked() ? 1 : 0;
  for (std::size_t i = 0; i < kSoundEvents; ++i) s.soundEnabled[i] = m_soundChecks[i]->isChecked();
  s.mailCheckEnabled = CheckMailCB->isChecked();
  s.mailRequireTls = RequireTlsCB->isChecked();
  s.mailCheckMinutes = RxSlider1->value();
  s.textColour = m_textColour;
  s.backgroundColour = m_backgroundColour;
  s.labelColour = m_labelColour;
}

void TSetupForm::OKBtnClick() {
  CopyToSettings();
  accept();
}

void TSetupForm::done(int result) {
  // Whatever the result: the tables are written and the position stored.
  if (Status st = WriteAssociationFile(m_ctx.settings.associationPath, m_associations.Rows()); !st)
    m_ctx.dialogs.Message(st.error, MsgType::Error);
  if (m_mailboxes.ShouldWrite() && m_ctx.saveMailboxes) {
    if (Status st = m_ctx.saveMailboxes(m_mailboxes.Rows()); !st)
      m_ctx.dialogs.Message(st.error, MsgType::Error);
  }
  m_ctx.settings.setupPosition = FormatFormPosition(
      {isMaximized() ? 2 : 0, geometry().y(), geometry().x(), width(), height()});
  QDialog::done(result);
}

}  // namespace orva
