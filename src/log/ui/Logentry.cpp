// The manual entry window.
#include "log/ui/Logentry.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "bill/ui/DateForm.h"
#include "core/HowUtils.h"
#include "core/WindowPlaces.h"
#include "platform/qt/ClientPlace.h"
#include "platform/qt/ElidingComboBox.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QLabel* Panel(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromUtf8(name));
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setMinimumWidth(90);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return l;
}

QLineEdit* Edit(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromUtf8(name));
  e->setMaximumWidth(90);
  return e;
}

}  // namespace

TLogEntryDlg::TLogEntryDlg(const TariffCatalogue& catalogue,
                           const std::vector<std::string>& services, TConnObj record, bool isNew,
                           TDateTime today, int decimals, Dialogs& dialogs, QWidget* parent,
                           Currency currency)
    : QDialog(parent),
      m_model(catalogue, std::move(record), isNew, today, decimals, currency),
      m_dialogs(dialogs) {
  setObjectName(QStringLiteral("LogEntryDlg"));
  setWindowTitle(Q(m_model.Caption()));
  BuildWidgets(catalogue, services);
  LayOut();
  ShowRecord();
  ConnectWidgets();
  ShowState();
}

void TLogEntryDlg::BuildWidgets(const TariffCatalogue& catalogue,
                                const std::vector<std::string>& services) {
  STED = Edit("STED", this);
  ST = Edit("ST", this);
  ET = Edit("ET", this);
  ENED = Edit("ENED", this);
  TariffeCB = new ElidingComboBox(this);
  TariffeCB->setObjectName(QStringLiteral("TariffeCB"));
  for (const auto& d : catalogue.descriptions) TariffeCB->addItem(Q(d));
  ServCB = new QComboBox(this);
  ServCB->setObjectName(QStringLiteral("ServCB"));
  ServCB->setEditable(true);
  for (const auto& s : services) ServCB->addItem(Q(s));
  DurataPn = Panel("DurataPn", this);
  CostoPn = Panel("CostoPn", this);
  ScattiPn = Panel("ScattiPn", this);
  CalcolaBtn = new QPushButton(QStringLiteral("Calcola"), this);
  CalcolaBtn->setObjectName(QStringLiteral("CalcolaBtn"));
  OKBtn = new QPushButton(Q(m_model.OkCaption()), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  CancelBtn = new QPushButton(QStringLiteral("Annulla"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  STEDBtn = new QPushButton(QStringLiteral("..."), this);
  STEDBtn->setObjectName(QStringLiteral("STEDBtn"));
  ENEDBtn = new QPushButton(QStringLiteral("..."), this);
  ENEDBtn->setObjectName(QStringLiteral("ENEDBtn"));
  for (QPushButton* b : {STEDBtn, ENEDBtn}) {
    b->setToolTip(QStringLiteral("Seleziona la data"));
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
  }
}

void TLogEntryDlg::LayOut() {
  auto* header = new QLabel(QStringLiteral("Impostazione parametri connessione"), this);
  QFont bold = header->font();
  bold.setBold(true);
  header->setFont(bold);
  auto* grid = new QGridLayout;
  int row = 0;
  // A date's calendar button stands right after its edit.
  auto add = [&](const char* caption, QWidget* w, QWidget* extra = nullptr) {
    grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
    if (extra) {
      auto* pair = new QHBoxLayout;
      pair->addWidget(w);
      pair->addWidget(extra);
      pair->addStretch(1);
      grid->addLayout(pair, row, 1);
    } else {
      grid->addWidget(w, row, 1);
    }
    ++row;
  };
  add("Data inizio connessione", STED, STEDBtn);
  add("Ora inizio connessione", ST);
  add("Ora termine connessione", ET);
  add("Data termine connessione", ENED, ENEDBtn);
  add("Tariffa", TariffeCB);
  add("Servizio", ServCB);
  auto* results = new QHBoxLayout;
  for (auto [caption, panel] : {std::pair{"Durata", DurataPn}, std::pair{"Costo", CostoPn},
                                std::pair{"Scatti", ScattiPn}}) {
    auto* box = new QVBoxLayout;
    box->addWidget(new QLabel(QString::fromUtf8(caption), this));
    box->addWidget(panel);
    results->addLayout(box);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CalcolaBtn);
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* top = new QVBoxLayout(this);
  top->addWidget(header);
  top->addLayout(grid);
  top->addLayout(results);
  top->addLayout(buttons);
}

void TLogEntryDlg::ShowRecord() {
  STED->setText(Q(m_model.StartDateText()));
  ENED->setText(Q(m_model.EndDateText()));
  ST->setText(Q(m_model.StartTimeText()));
  ET->setText(Q(m_model.EndTimeText()));
  TariffeCB->setCurrentIndex(m_model.TariffIndex());
  // A service that is not in the list still shows in the box: OK writes the box's text back,
  // and must not blank the service of a call it did not change.
  ServCB->setCurrentIndex(ServCB->findText(Q(m_model.Service()), Qt::MatchExactly));
  if (ServCB->currentIndex() < 0) ServCB->setEditText(Q(m_model.Service()));
}

void TLogEntryDlg::ConnectWidgets() {
  connect(STED, &QLineEdit::editingFinished, this,
          [this] { LeaveEdit(STED, &LogEntryModel::SetStartDate, &LogEntryModel::StartDateText); });
  connect(ENED, &QLineEdit::editingFinished, this,
          [this] { LeaveEdit(ENED, &LogEntryModel::SetEndDate, &LogEntryModel::EndDateText); });
  connect(ST, &QLineEdit::editingFinished, this,
          [this] { LeaveEdit(ST, &LogEntryModel::SetStartTime, &LogEntryModel::StartTimeText); });
  connect(ET, &QLineEdit::editingFinished, this,
          [this] { LeaveEdit(ET, &LogEntryModel::SetEndTime, &LogEntryModel::EndTimeText); });
  connect(TariffeCB, &QComboBox::currentIndexChanged, this, [this](int i) {
    m_model.SetTariff(i);
    ShowState();
  });
  auto pick = [this](QLineEdit* edit, bool (LogEntryModel::*set)(std::string_view),
                     std::string (LogEntryModel::*shown)() const) {
    const auto current = StrToDate(edit->text().toStdString());
    const auto d = PickDate(this, QStringLiteral("Seleziona la data"),
                            DecodeDate(current.value_or(DatePart(FromTimeT(std::time(nullptr))))));
    if (!d) return;
    edit->setText(Q(DateToStr(EncodeDate(d->year, d->month, d->day))));
    LeaveEdit(edit, set, shown);
  };
  connect(STEDBtn, &QPushButton::clicked, this, [this, pick] {
    pick(STED, &LogEntryModel::SetStartDate, &LogEntryModel::StartDateText);
  });
  connect(ENEDBtn, &QPushButton::clicked, this,
          [this, pick] { pick(ENED, &LogEntryModel::SetEndDate, &LogEntryModel::EndDateText); });
  connect(CalcolaBtn, &QPushButton::clicked, this, &TLogEntryDlg::CalcolaBtnClick);
  connect(OKBtn, &QPushButton::clicked, this, &TLogEntryDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TLogEntryDlg::LeaveEdit(QLineEdit* edit, bool (LogEntryModel::*set)(std::string_view),
                             std::string (LogEntryModel::*shown)() const) {
  if (!(m_model.*set)(edit->text().toStdString())) {
    m_dialogs.Beep();
    edit->selectAll();
    edit->setFocus();
    return false;
  }
  edit->setText(Q((m_model.*shown)()));
  ShowState();
  return true;
}

void TLogEntryDlg::ShowState() {
  OKBtn->setEnabled(m_model.OkEnabled());
  CalcolaBtn->setEnabled(m_model.CalcolaEnabled());
  DurataPn->setText(Q(m_model.Duration()));
  CostoPn->setText(Q(m_model.ShownCost()));
  ScattiPn->setText(Q(m_model.Ticks()));
}

bool TLogEntryDlg::TakeEdits() {
  // The edits may still hold text not yet taken (focus still in them). An edit whose text
  // is no date or time stops here: the results would be those of a value no longer shown.
  return LeaveEdit(STED, &LogEntryModel::SetStartDate, &LogEntryModel::StartDateText) &&
         LeaveEdit(ENED, &LogEntryModel::SetEndDate, &LogEntryModel::EndDateText) &&
         LeaveEdit(ST, &LogEntryModel::SetStartTime, &LogEntryModel::StartTimeText) &&
         LeaveEdit(ET, &LogEntryModel::SetEndTime, &LogEntryModel::EndTimeText);
}

void TLogEntryDlg::CalcolaBtnClick() {
  if (!TakeEdits()) return;
  m_model.Calcola(m_dialogs);
  ShowState();
}

void TLogEntryDlg::OKBtnClick() {
  // A time changed since "Calcola" and not yet taken would leave the record with results of
  // other times: taking it disables OK until "Calcola" is pressed again.
  if (!TakeEdits() || !m_model.OkEnabled()) return;
  m_model.SetService(ServCB->currentText().toStdString());
  accept();
}

bool EditLogRecord(QWidget* parent, const TariffCatalogue& catalogue,
                   const std::vector<std::string>& services, TConnObj& record, bool isNew,
                   TDateTime today, int decimals, Dialogs& dialogs, WindowPlaces* places,
                   Currency currency) {
  TLogEntryDlg dlg(catalogue, services, record, isNew, today, decimals, dialogs, parent, currency);
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  const auto g =
      places ? places->Place(kLogEntryPlace, {0, dlg.y(), dlg.x(), dlg.width(), dlg.height()},
                             screen.width(), screen.height(), false)
             : std::nullopt;
  // The client area's place, as stored below: put back exactly under a window manager.
  if (g) PlaceClientArea(dlg, g->left, g->top, dlg.width(), dlg.height());
  const int result = dlg.exec();
  // A place not stored only means the window opens at its default place next time.
  if (places)
    static_cast<void>(places->Store(
        kLogEntryPlace, {0, dlg.geometry().y(), dlg.geometry().x(), dlg.width(), dlg.height()}));
  if (result != QDialog::Accepted) return false;
  record = dlg.Model().Result();  // the service is cut to its 64 characters by the record
  return true;
}

}  // namespace orva
