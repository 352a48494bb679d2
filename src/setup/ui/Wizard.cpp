// The setup wizard's window: its pages, buttons and steps. The welcome dial and the provider
// rows are in WizardParts.cpp.
#include "setup/ui/Wizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "setup/ui/WizardParts.h"

namespace orva {

namespace {

constexpr int kTariffListMaxWidth = 420;

QRadioButton* Radio(const char* name, const char* text, QWidget* parent) {
  auto* r = new QRadioButton(QString::fromUtf8(text), parent);
  r->setObjectName(QString::fromUtf8(name));
  return r;
}

QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
  auto* c = new QCheckBox(QString::fromUtf8(text), parent);
  c->setObjectName(QString::fromUtf8(name));
  return c;
}

QWidget* Page(const char* caption, QWidget* parent, QVBoxLayout*& layout) {
  auto* page = new QWidget(parent);
  layout = new QVBoxLayout(page);
  auto* title = new QLabel(QString::fromUtf8(caption), page);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.4);
  title->setFont(f);
  layout->addWidget(title);
  return page;
}

}  // namespace

TWizardDlg::TWizardDlg(std::unique_ptr<WizardModel> model, bool presetShortcuts, QWidget* parent)
    : QDialog(parent), m_model(std::move(model)) {
  setObjectName(QStringLiteral("WizardDlg"));
  setWindowTitle(QStringLiteral("ORVA32 Wizard"));
  if (presetShortcuts) m_model->desktopShortcut = m_model->autostartShortcut = true;

  m_pages = new QStackedWidget(this);
  m_pages->setObjectName(QStringLiteral("Notebook"));

  BuildWelcomePage();
  BuildGeneralPage();
  BuildTariffPage();
  BuildNetworkPages();
  BuildButtons();
  ShowModelValues();
  ConnectWidgets();
  ShowStep();
}

void TWizardDlg::BuildWelcomePage() {
  QVBoxLayout* l = nullptr;
  QWidget* welcome = Page("Benvenuto", m_pages, l);
  m_animation = new WelcomeAnimation(welcome);
  m_wait = new QLabel(QStringLiteral("un attimo prego..."), welcome);
  m_wait->setObjectName(QStringLiteral("WaitLb"));
  m_wait->setVisible(false);
  l->addWidget(m_animation, 1, Qt::AlignCenter);
  l->addWidget(m_wait, 0, Qt::AlignCenter);
  m_pages->addWidget(welcome);
}

void TWizardDlg::BuildGeneralPage() {
  QVBoxLayout* l = nullptr;
  QWidget* general = Page("Generale", m_pages, l);
  auto* desktop = new QGroupBox(QStringLiteral("Creo icona di ORVA32 sulla scrivania ?"), general);
  auto* dl = new QHBoxLayout(desktop);
  m_desktopYes = Radio("DeskYesRB", "Sì", desktop);
  m_desktopNo = Radio("DeskNoRB", "No", desktop);
  dl->addWidget(m_desktopYes);
  dl->addWidget(m_desktopNo);
  auto* autostart =
      new QGroupBox(QStringLiteral("Avvio ORVA32 ad ogni avvio del desktop ?"), general);
  auto* al = new QHBoxLayout(autostart);
  m_autostartYes = Radio("AutoYesRB", "Sì", autostart);
  m_autostartNo = Radio("AutoNoRB", "No", autostart);
  al->addWidget(m_autostartYes);
  al->addWidget(m_autostartNo);
  l->addWidget(desktop);
  l->addWidget(autostart);
  l->addStretch(1);
  m_pages->addWidget(general);
}

// Each provider of the list beside the tariff chosen for it.
void TWizardDlg::BuildTariffPage() {
  QVBoxLayout* l = nullptr;
  QWidget* tariffs = Page("Tariffe", m_pages, l);
  l->addWidget(new QLabel(
      QStringLiteral("Associare una tariffa telefonica ad ogni provider configurato in accesso "
                     "remoto"),
      tariffs));
  auto* lists = new QHBoxLayout;
  auto* providersBox = new QVBoxLayout;
  providersBox->addWidget(new QLabel(QStringLiteral("Providers"), tariffs));
  LB00 = new QListWidget(tariffs);
  LB00->setObjectName(QStringLiteral("LB00"));
  LB00->setItemDelegate(new ProviderDelegate(*m_model, LB00));
  providersBox->addWidget(LB00);
  auto* tariffBox = new QVBoxLayout;
  tariffBox->addWidget(new QLabel(QStringLiteral("Tariffe"), tariffs));
  LB01 = new QListWidget(tariffs);
  LB01->setObjectName(QStringLiteral("LB01"));
  tariffBox->addWidget(LB01);
  lists->addLayout(providersBox);
  lists->addLayout(tariffBox);
  l->addLayout(lists, 1);
  m_pages->addWidget(tariffs);
}

// "Rete" and "Time".
void TWizardDlg::BuildNetworkPages() {
  QVBoxLayout* l = nullptr;
  QWidget* net = Page("Rete", m_pages, l);
  CheckTCPCB = Check("CheckTCPCB", "Attiva controllo traffico a livello TCP/UDP", net);
  ResolveIPCB = Check("ResolveIPCB", "Risolvi gli indirizzi IP dei server", net);
  HostsCB = Check("HostsCB", "Gestione automatica del file hosts", net);
  MemoIPCB = Check("MemoIPCB", "Memorizza elenco dei server visitati", net);
  l->addWidget(CheckTCPCB);
  for (QCheckBox* c : {ResolveIPCB, HostsCB, MemoIPCB}) {
    c->setContentsMargins(20, 0, 0, 0);
    l->addWidget(c);
  }
  l->addStretch(1);
  m_pages->addWidget(net);

  QWidget* time = Page("Time", m_pages, l);
  NetTimeCB = Check("NetTimeCB", "Preleva data ed ora da un timeserver in rete", time);
  l->addWidget(NetTimeCB);
  l->addStretch(1);
  m_pages->addWidget(time);
}

void TWizardDlg::BuildButtons() {
  B0 = new QPushButton(QStringLiteral("Indietro"), this);
  B0->setObjectName(QStringLiteral("B0"));
  B1 = new QPushButton(QStringLiteral("Avanti"), this);
  B1->setObjectName(QStringLiteral("B1"));
  B1->setDefault(true);
  B2 = new QPushButton(QStringLiteral("Annulla"), this);
  B2->setObjectName(QStringLiteral("B2"));
  // Only "Avanti" answers Enter: a focused "Annulla" or "Indietro" would otherwise become the
  // default button, and one Return on the first step would lose the whole set-up.
  B0->setAutoDefault(false);
  B2->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(B0);
  buttons->addWidget(B1);
  buttons->addWidget(B2);
  auto* top = new QVBoxLayout(this);
  top->addWidget(m_pages, 1);
  top->addLayout(buttons);
  resize(520, 360);
}

void TWizardDlg::ShowModelValues() {
  (m_model->desktopShortcut ? m_desktopYes : m_desktopNo)->setChecked(true);
  (m_model->autostartShortcut ? m_autostartYes : m_autostartNo)->setChecked(true);
  for (const auto& p : m_model->Providers()) LB00->addItem(QString::fromStdString(p.name));
  for (const auto& t : m_model->TariffList()) LB01->addItem(QString::fromStdString(t));
  // Wide enough for every tariff whole (a list view cuts a longer one at its edge, without an
  // ellipsis); a name longer than any screen would hold scrolls instead.
  LB01->setMinimumWidth(
      std::min(kTariffListMaxWidth, LB01->sizeHintForColumn(0) + 2 * LB01->frameWidth() +
                                        LB01->verticalScrollBar()->sizeHint().width()));
  CheckTCPCB->setChecked(m_model->network.tcpMonitoring);
  ResolveIPCB->setChecked(m_model->network.resolveAddresses);
  HostsCB->setChecked(m_model->network.hostsManagement);
  MemoIPCB->setChecked(m_model->network.recordIpList);
  NetTimeCB->setChecked(m_model->network.networkTime);
}

void TWizardDlg::ConnectWidgets() {
  connect(B0, &QPushButton::clicked, this, &TWizardDlg::B0Click);
  connect(B1, &QPushButton::clicked, this, &TWizardDlg::B1Click);
  connect(B2, &QPushButton::clicked, this, &TWizardDlg::B2Click);
  connect(LB00, &QListWidget::currentRowChanged, this, &TWizardDlg::LB00Click);
  // A tariff is chosen by mouse or keyboard alike: clicking it, moving to it with the arrow
  // keys, Space or Enter on it. Focus alone never chooses: tabbing into the list makes its
  // first row current without selecting it, and that is no choice of the user's.
  connect(LB01, &QListWidget::itemClicked, this, &TWizardDlg::LB01Click);
  connect(LB01, &QListWidget::itemSelectionChanged, this, [this] {
    if (!LB01->selectedItems().isEmpty()) LB01Click();
  });
  connect(LB01, &QListWidget::itemActivated, this, &TWizardDlg::LB01Click);
  connect(CheckTCPCB, &QCheckBox::toggled, this, [this] {
    CopyFromWidgets();
    ShowStep();
  });
  m_animation->onStopped = [this] {
    m_wait->setVisible(true);
    QTimer::singleShot(1500, this, [this] { FinishWelcome(); });
  };
}

TWizardDlg::~TWizardDlg() = default;

void TWizardDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_started) {
    m_started = true;
    m_animation->Start();
  }
}

void TWizardDlg::FinishWelcome() {
  if (m_model->CurrentStep() != WizardModel::Welcome) return;
  m_animation->Stop();
  B0->setVisible(true);
  B1->setVisible(true);
  B2->setVisible(true);
  m_model->WelcomeDone();
  ShowStep();
  B1->setFocus();
}

void TWizardDlg::CopyFromWidgets() {
  m_model->desktopShortcut = m_desktopYes->isChecked();
  m_model->autostartShortcut = m_autostartYes->isChecked();
  m_model->network.tcpMonitoring = CheckTCPCB->isChecked();
  m_model->network.resolveAddresses = ResolveIPCB->isChecked();
  m_model->network.hostsManagement = HostsCB->isChecked();
  m_model->network.recordIpList = MemoIPCB->isChecked();
  m_model->network.networkTime = NetTimeCB->isChecked();
}

void TWizardDlg::ShowStep() {
  const bool entering = m_pages->currentIndex() != m_model->CurrentStep();
  m_pages->setCurrentIndex(m_model->CurrentStep());
  if (entering && m_model->CurrentStep() == WizardModel::Tariffs && LB00->count() > 0) {
    // The keyboard starts on the first provider, so the arrows and Enter work at once.
    if (LB00->currentRow() < 0) LB00->setCurrentRow(0);
    LB00->setFocus();
  }
  B1->setText(QString::fromStdString(m_model->NextCaption()));
  B1->setEnabled(m_model->NextEnabled());
  B0->setEnabled(m_model->BackEnabled());
  for (QCheckBox* c : {ResolveIPCB, HostsCB, MemoIPCB}) c->setEnabled(m_model->SubOptionsEnabled());
  LB00->viewport()->update();
}

void TWizardDlg::B0Click() {
  m_model->Back();
  ShowStep();
}

void TWizardDlg::B1Click() {
  CopyFromWidgets();
  if (m_model->Next()) {
    accept();
    return;
  }
  ShowStep();
}

void TWizardDlg::B2Click() {
  reject();
}

void TWizardDlg::LB00Click() {
  const int row = LB00->currentRow();
  if (row < 0) return;
  const auto tariff = m_model->SelectProvider(static_cast<std::size_t>(row));
  const int tariffRow = tariff.has_value() ? static_cast<int>(tariff.value()) : -1;
  LB01->blockSignals(true);
  if (tariffRow < 0) LB01->clearSelection();
  LB01->setCurrentRow(tariffRow);
  LB01->blockSignals(false);
}

void TWizardDlg::LB01Click() {
  const int row = LB01->currentRow();
  if (row < 0) return;
  m_model->SelectTariff(static_cast<std::size_t>(row));
  ShowStep();
}

}  // namespace orva
