// The phone book window.
#include "phone/ui/vivavoce.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/HowUtils.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "platform/qt/ClientPlace.h"
#include "platform/qt/ElidingComboBox.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

QPushButton* MakeButton(const char* objectName, const char* text, const char* hint,
                        QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(text), parent);
  b->setObjectName(QString::fromUtf8(objectName));
  if (hint) b->setToolTip(QString::fromUtf8(hint));
  return b;
}

}  // namespace

TDialForm::TDialForm(std::vector<std::string> tariffDescriptions, DialFormSettings& settings,
                     Registry& registry, Dialogs& dialogs, DialFormHooks hooks, QWidget* parent)
    : QDialog(parent),
      m_tariffs(std::move(tariffDescriptions)),
      m_settings(settings),
      m_registry(registry),
      m_dialogs(dialogs),
      m_hooks(std::move(hooks)) {
  setObjectName(QStringLiteral("DialForm"));
  setWindowTitle(QStringLiteral("ORVA32 - Connessione telefonica"));

  ListView1 = new QTreeWidget(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setColumnCount(3);
  ListView1->setHeaderLabels(
      {QStringLiteral("Nominativo"), QStringLiteral("Numero"), QStringLiteral("Tariffa")});
  ListView1->setRootIsDecorated(false);
  ListView1->header()->setSectionsClickable(false);
  ListView1->setAllColumnsShowFocus(true);

  NameEdit = new QLineEdit(this);
  NameEdit->setObjectName(QStringLiteral("NameEdit"));
  NameEdit->setToolTip(QStringLiteral("Inserire qui nome e cognome dell'utente"));
  NumberEdit = new QLineEdit(this);
  NumberEdit->setObjectName(QStringLiteral("NumberEdit"));
  NumberEdit->setToolTip(QStringLiteral(
      "Inserire qui il numero telefonico (utilizzare i caratteri - per separare il prefisso "
      "dal munero)"));
  TariffeCB = new ElidingComboBox(this);
  TariffeCB->setObjectName(QStringLiteral("TariffeCB"));
  for (const auto& t : m_tariffs) TariffeCB->addItem(Q(t));
  TariffeCB->setCurrentIndex(-1);
  // A long tariff name must not widen the window: the list is as wide as the room it has, a
  // name longer than that ends in "…", and the open list shows the names whole.
  TariffeCB->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  TariffeCB->setMinimumContentsLength(12);
  TariffeCB->view()->setMinimumWidth(TariffeCB->view()->sizeHintForColumn(0) + 24);
  NumberEdit->setMinimumWidth(NumberEdit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
  NameLb = new QLabel(this);
  NameLb->setObjectName(QStringLiteral("NameLb"));

  UpDown1 = new QSpinBox(this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setRange(0, 3);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 3);
  ProgressBar1->setTextVisible(false);

  ComponiBtn =
      MakeButton("ComponiBtn", "Componi", "Compone il numero dell'utente selezionato", this);
  AggiungiBtn = MakeButton("AggiungiBtn", "Aggiungi", nullptr, this);
  ModificaBtn = MakeButton("ModificaBtn", "Modifica", nullptr, this);
  EliminaBtn = MakeButton("EliminaBtn", "Elimina", nullptr, this);
  auto* annulla = MakeButton("AnnullaBtn", "Annulla l'ultima operazione", nullptr, this);
  auto* ricerca = MakeButton("RicercaBtn", "Ricerca nominativo", nullptr, this);
  auto* apri = MakeButton("ApriBtn", "Apre un file rubrica", nullptr, this);
  auto* salva = MakeButton("SalvaBtn", "Salva con nome", nullptr, this);
  auto* nuovo = MakeButton("NuovoBtn", "Crea un nuovo file rubrica", nullptr, this);
  auto* setup = MakeButton("SetupBtn", "Impostazioni linea", nullptr, this);
  auto* esci =
      MakeButton("EsciBtn", "Esci", "Chiude la finestra e salva il file rubrica corrente", this);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("Rubrica :"), this), 0, 0);
  fields->addWidget(NameLb, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("Nominativo"), this), 1, 0);
  fields->addWidget(NameEdit, 1, 1);
  fields->addWidget(new QLabel(QStringLiteral("Numero"), this), 2, 0);
  fields->addWidget(NumberEdit, 2, 1);
  // The tariff has a row of its own: beside the number it had room for a few letters only.
  fields->addWidget(new QLabel(QStringLiteral("Tariffa"), this), 3, 0);
  fields->addWidget(TariffeCB, 3, 1);
  fields->setColumnStretch(1, 1);

  auto* volume = new QGroupBox(QStringLiteral("Volume"), this);
  auto* vl = new QHBoxLayout(volume);
  vl->addWidget(ProgressBar1, 1);
  vl->addWidget(UpDown1);
  vl->addWidget(setup);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b :
       {ComponiBtn, AggiungiBtn, ModificaBtn, EliminaBtn, annulla, ricerca, apri, salva, nuovo})
    buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(esci);

  auto* left = new QVBoxLayout;
  left->addWidget(ListView1, 1);
  left->addLayout(fields);
  left->addWidget(volume);
  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 1);
  top->addLayout(buttons);
  resize(620, 420);

  connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TDialForm::ListView1SelectItem);
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ComponiBtnClick(); });
  connect(NumberEdit, &QLineEdit::textChanged, this, [this] { RefreshButtons(); });
  connect(NameEdit, &QLineEdit::textChanged, this, [this] { RefreshButtons(); });
  connect(TariffeCB, &QComboBox::currentIndexChanged, this, [this] { RefreshButtons(); });
  connect(ComponiBtn, &QPushButton::clicked, this, &TDialForm::ComponiBtnClick);
  connect(AggiungiBtn, &QPushButton::clicked, this, &TDialForm::AggiungiBtnClick);
  connect(ModificaBtn, &QPushButton::clicked, this, &TDialForm::ModificaBtnClick);
  connect(EliminaBtn, &QPushButton::clicked, this, &TDialForm::EliminaBtnClick);
  connect(annulla, &QPushButton::clicked, this, &TDialForm::AnnullaBtnClick);
  connect(ricerca, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, QStringLiteral("Trova"), QStringLiteral("Nominativo:"),
                              QLineEdit::Normal, QString(), &ok);
    if (ok) RicercaBtnClick(text);
  });
  connect(apri, &QPushButton::clicked, this, &TDialForm::ApriBtnClick);
  connect(salva, &QPushButton::clicked, this, &TDialForm::SalvaBtnClick);
  connect(nuovo, &QPushButton::clicked, this, &TDialForm::NuovoBtnClick);
  connect(setup, &QPushButton::clicked, this, [this] {
    if (!m_hooks.configureLine || !m_hooks.configureLine())
      m_dialogs.Message("Nessun servizio di telefonia disponibile", MsgType::Information);
  });
  connect(UpDown1, &QSpinBox::valueChanged, this, &TDialForm::UpDown1Click);
  connect(esci, &QPushButton::clicked, this, &TDialForm::EsciBtnClick);

  // Opening: the place, the file, the first row, the speaker level in the modem string.
  if (m_settings.position != "Default") {
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    const FormGeometry g = ApplyFormPosition(m_settings.position, {0, y(), x(), width(), height()},
                                             screen.width(), screen.height(), true);
    // The client area's place, as stored: put back exactly under a window manager.
    PlaceClientArea(*this, g.left, g.top, g.width > 0 ? g.width : width(),
                    g.height > 0 ? g.height : height());
  }
  ComponiBtn->setEnabled(false);
  LoadCurrentFile();
  m_baseInit = m_registry.ReadString(kModemKey, "UserInit").value_or("");
  const int level = std::clamp(m_settings.speakerLevel, 0, 3);
  UpDown1->blockSignals(true);
  UpDown1->setValue(level);
  UpDown1->blockSignals(false);
  ProgressBar1->setValue(level);
  ApplySpeakerLevel(level);
  RefreshButtons();
}

TDialForm::~TDialForm() {
  if (!m_closed) {
    SaveCurrentFile();
    RestoreSpeaker();
  }
}

void TDialForm::ShowRows(std::optional<std::size_t> select) {
  ListView1->blockSignals(true);
  ListView1->clear();
  for (const auto& e : m_book.Rows())
    ListView1->addTopLevelItem(new QTreeWidgetItem({Q(e.name), Q(e.number), Q(e.tariff)}));
  ListView1->blockSignals(false);
  if (select && *select < m_book.Rows().size()) {
    ListView1->setCurrentItem(ListView1->topLevelItem(static_cast<int>(*select)));
    ListView1->setFocus();
  }
}

// The path exactly as the file system knows it: letter case tells files apart here, so a path
// shown in capitals would name a file that does not exist.
void TDialForm::ShowFileName() {
  NameLb->setText(Q(m_settings.phoneBookPath));
}

void TDialForm::LoadCurrentFile() {
  ShowFileName();
  if (Status st = m_book.Load(m_settings.phoneBookPath); !st)
    m_dialogs.Message(st.error, MsgType::Error);
  ShowRows(m_book.Rows().empty() ? std::nullopt : std::optional<std::size_t>(0));
}

void TDialForm::SaveCurrentFile() {
  if (Status st = m_book.Save(m_settings.phoneBookPath); !st)
    m_dialogs.Message(st.error, MsgType::Error);
}

void TDialForm::ClearFields() {
  NameEdit->clear();
  NumberEdit->clear();
  TariffeCB->setCurrentIndex(-1);
}

std::optional<int> TDialForm::SelectedTariff() const {
  const int i = TariffeCB->currentIndex();
  return i >= 0 ? std::optional<int>(i) : std::nullopt;
}

std::optional<std::size_t> TDialForm::SelectedRow() const {
  auto* item = ListView1->currentItem();
  if (!item || !item->isSelected()) return std::nullopt;
  return static_cast<std::size_t>(ListView1->indexOfTopLevelItem(item));
}

void TDialForm::RefreshButtons() {
  ComponiBtn->setEnabled(CanDial(S(NumberEdit->text())));
}

void TDialForm::ListView1SelectItem() {
  const auto row = SelectedRow();
  if (!row) return;
  const PhoneEntry& e = m_book.Rows()[*row];
  NameEdit->setText(Q(e.name));
  NumberEdit->setText(Q(e.number));
  TariffeCB->setCurrentIndex(TariffeCB->findText(Q(e.tariff), Qt::MatchExactly));
}

void TDialForm::ComponiBtnClick() {
  const std::string number = S(NumberEdit->text());
  if (!CanDial(number)) return;
  std::string error = "Nessun servizio di telefonia disponibile: impossibile comporre il numero";
  // Without a telephony service the request is refused and nothing else happens: no tariff
  // is handed over for a call that cannot be made.
  if (!m_hooks.dial) {
    m_dialogs.Message(error, MsgType::Warning);
    return;
  }
  const DialRequest request = MakeDialRequest(number, S(NameEdit->text()), SelectedTariff());
  if (request.tariffIndex && m_hooks.handOverTariff) m_hooks.handOverTariff(*request.tariffIndex);
  if (!m_hooks.dial(request, error)) m_dialogs.Message(error, MsgType::Warning);
}

void TDialForm::AggiungiBtnClick() {
  const std::string name = S(NameEdit->text()), number = S(NumberEdit->text());
  const auto tariff = SelectedTariff();
  if (!CanAdd(name, number, tariff.has_value())) return;
  m_book.Add({name, number, m_tariffs[static_cast<std::size_t>(*tariff)]});
  ShowRows(m_book.IndexOfName(name));
}

void TDialForm::ModificaBtnClick() {
  const std::string name = S(NameEdit->text()), number = S(NumberEdit->text());
  const auto tariff = SelectedTariff();
  const auto row = SelectedRow();
  if (!CanModify(name, number, tariff.has_value(), row.has_value())) return;
  m_book.Replace(*row, {name, number, m_tariffs[static_cast<std::size_t>(*tariff)]});
  ShowRows(m_book.IndexOfName(name));
}

void TDialForm::EliminaBtnClick() {
  const auto row = SelectedRow();
  if (!row) return;
  m_book.Delete(*row);
  ShowRows(std::nullopt);
}

void TDialForm::AnnullaBtnClick() {
  LoadCurrentFile();
}

void TDialForm::RicercaBtnClick(const QString& text) {
  const auto row = SelectedRow();
  const auto found = m_book.Find(S(text), row ? *row + 1 : 0);
  if (!found) {
    m_dialogs.Message("Testo non trovato", MsgType::Information);
    return;
  }
  ListView1->setCurrentItem(ListView1->topLevelItem(static_cast<int>(*found)));
  ListView1->setFocus();
}

void TDialForm::ApriBtnClick() {
  const auto chosen = m_dialogs.ChooseOpenFile("Apri file", DirectoryOf(m_settings.phoneBookPath),
                                               "files rubrica (*.tel *.TEL)");
  if (!chosen || !FileExists(*chosen)) return;
  m_settings.phoneBookPath = *chosen;
  LoadCurrentFile();
  ClearFields();
}

void TDialForm::SalvaBtnClick() {
  const auto chosen = m_dialogs.ChooseSaveFile("Salva file con nome", m_settings.phoneBookPath,
                                               "Files rubrica (*.tel *.TEL)");
  if (!chosen) return;
  m_settings.phoneBookPath = PhoneBookFileName(*chosen);
  ShowFileName();
  SaveCurrentFile();
}

void TDialForm::NuovoBtnClick() {
  const auto chosen = m_dialogs.ChooseSaveFile("Nuovo file", DirectoryOf(m_settings.phoneBookPath),
                                               "Files rubrica (*.tel *.TEL)");
  if (!chosen) return;
  SaveCurrentFile();
  m_settings.phoneBookPath = PhoneBookFileName(*chosen);
  LoadCurrentFile();  // creates the file empty when missing
  ClearFields();
}

void TDialForm::UpDown1Click(int level) {
  ProgressBar1->setValue(level);
  m_settings.speakerLevel = level;
  ApplySpeakerLevel(level);
}

// The modem's init string carries the speaker level. When it cannot be stored the modem keeps
// the level it had; the setting itself is kept with the others.
void TDialForm::ApplySpeakerLevel(int level) {
  static_cast<void>(
      m_registry.WriteString(kModemKey, "UserInit", SpeakerInitString(m_baseInit, level)));
}

void TDialForm::RestoreSpeaker() {
  static_cast<void>(m_registry.WriteString(kModemKey, "UserInit", m_baseInit));
}

void TDialForm::EsciBtnClick() {
  close();
}

void TDialForm::StorePlace() {
  m_settings.position = FormatFormPosition(
      {isMaximized() ? 2 : 0, geometry().y(), geometry().x(), width(), height()});
}

void TDialForm::closeEvent(QCloseEvent* event) {
  StorePlace();
  SaveCurrentFile();
  RestoreSpeaker();
  m_closed = true;
  event->accept();
}

}  // namespace orva
