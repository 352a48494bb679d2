// The tariff editor window.
#include "tariff/ui/Settar.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/WindowPlaces.h"
#include "platform/qt/ClientPlace.h"

namespace orva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

QLineEdit* Edit(const QString& name, QWidget* parent, int maxLength = 0) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}

}  // namespace

TSetTar::TSetTar(Dialogs& dialogs, Settings& settings, std::string directory, WindowPlaces* places,
                 QWidget* parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_settings(settings),
      m_places(places),
      m_model(dialogs, std::move(directory), settings.currency) {
  setObjectName(QStringLiteral("SetTar"));
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("ToolBar"));
  auto add = [&](const char* name, const char* text, void (TSetTar::*slot)()) {
    QAction* a = bar->addAction(QString::fromUtf8(text));
    a->setObjectName(QString::fromUtf8(name));
    a->setToolTip(QString::fromUtf8(text));
    connect(a, &QAction::triggered, this, slot);
  };
  add("LoadBtn", "Apri", &TSetTar::LoadBtnClick);
  add("NewBtn", "Nuova", &TSetTar::NewBtnClick);
  add("SaveBtn", "Salva con nome", &TSetTar::SaveBtnClick);
  bar->addSeparator();
  add("AddBtn", "Aggiungi fascia", &TSetTar::AddBtnClick);
  add("DelBtn", "Cancella fascia", &TSetTar::DelBtnClick);
  add("ClearBtn", "Cancella tutto", &TSetTar::ClearBtnClick);
  bar->addSeparator();
  add("TestBtn", "Test fascia", &TSetTar::TestBtnClick);
  add("TestAllBtn", "Test completo", &TSetTar::TestAllBtnClick);

  m_pages = new QTabWidget(this);
  m_pages->setObjectName(QStringLiteral("PageControl1"));
  m_pages->addTab(BuildPage(kOrdinaryPage), QStringLiteral("Tariffa ordinaria"));
  m_pages->addTab(BuildPage(kDiscountedPage), QStringLiteral("Tariffa scontata"));
  auto* close = new QPushButton(QStringLiteral("OK"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(close);
  bottom->addStretch(1);  // the OK button stays centred
  auto* top = new QVBoxLayout(this);
  top->addWidget(bar);
  top->addWidget(m_pages, 1);
  top->addLayout(bottom);
  // Every tool stays in sight ("Test completo" is the last): the dialog is never narrower than
  // the whole tool strip.
  const QMargins m = top->contentsMargins();
  setMinimumWidth(bar->sizeHint().width() + m.left() + m.right());
  resize(std::max(720, minimumWidth()), 520);

  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
    if (m_showing) return;
    StoreGrids();
    m_model.ShowPage(page);
  });
  connect(IDEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
    m_model.SetAbbreviation(S(t));
    setWindowTitle(Q(m_model.Caption()));
  });
  connect(DESedit, &QLineEdit::textEdited, this,
          [this](const QString& t) { m_model.SetDescription(S(t)); });
  connect(IVAED, &QLineEdit::textEdited, this,
          [this](const QString& t) { m_model.SetVatText(S(t)); });
  connect(StCostED, &QLineEdit::textEdited, this,
          [this](const QString& t) { m_model.SetFixedChargeText(S(t)); });
  connect(StCostCB, &QComboBox::activated, this, [this](int i) { m_model.SetFixedChargeUnit(i); });
  connect(ScoCB, &QCheckBox::toggled, this, [this](bool on) {
    if (!m_showing) m_model.SetDiscountOn(on);
  });
  connect(DelayED, &QLineEdit::textEdited, this,
          [this](const QString& t) { m_model.SetDiscountThresholdText(S(t)); });
  connect(DelayCB, &QComboBox::activated, this, [this](int i) { m_model.SetDiscountUnit(i); });

  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  const auto g = m_places ? m_places->Place(kTariffEditorPlace, {0, y(), x(), width(), height()},
                                            screen.width(), screen.height(), true)
                          : std::nullopt;
  if (g) {
    // The client area's place, as stored at close.
    PlaceClientArea(*this, g->left, g->top, g->width > 0 ? g->width : width(),
                    g->height > 0 ? g->height : height());
  }
  ShowAll();
}

QWidget* TSetTar::BuildPage(int page) {
  auto* w = new QWidget(this);
  auto* l = new QVBoxLayout(w);
  PageWidgets& p = m_w[static_cast<std::size_t>(page)];
  const bool discounted = page == kDiscountedPage;
  if (!discounted) {
    IDEdit = Edit(QStringLiteral("IDEdit"), w, 5);
    DESedit = Edit(QStringLiteral("DESedit"), w, 64);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Abbreviazione"), IDEdit);
    form->addRow(QStringLiteral("Descrizione (max 64 car.)"), DESedit);
    l->addLayout(form);
  } else {
    ScoCB = new QCheckBox(QStringLiteral("Tariffa scontata attivata"), w);
    ScoCB->setObjectName(QStringLiteral("ScoCB"));
    DelayED = Edit(QStringLiteral("DelayED"), w);
    DelayED->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), DelayED));
    DelayCB = new QComboBox(w);
    DelayCB->setObjectName(QStringLiteral("DelayCB"));
    DelayCB->addItems({QStringLiteral("Scatti"), QStringLiteral("Secondi")});
    DelayCB->setAccessibleName(QStringLiteral("Attiva tariffa scontata dopo: unità"));
    auto* row = new QHBoxLayout;
    row->addWidget(ScoCB);
    row->addStretch(1);
    row->addWidget(new QLabel(QStringLiteral("Attiva tariffa scontata dopo"), w));
    row->addWidget(DelayED);
    row->addWidget(DelayCB);
    l->addLayout(row);
  }
  const QString suffix = discounted ? QStringLiteral("1") : QStringLiteral("0");
  p.dayClass = new QComboBox(w);
  p.dayClass->setObjectName(QStringLiteral("TarCB") + suffix);
  for (const char* name : SetTarModel::kDayClassNames) p.dayClass->addItem(QString::fromUtf8(name));
  p.start = Edit(discounted ? QStringLiteral("TimeEdit11") : QStringLiteral("TimeEdit1"), w);
  p.end = Edit(discounted ? QStringLiteral("TimeEdit22") : QStringLiteral("TimeEdit2"), w);
  p.seconds = Edit(discounted ? QStringLiteral("TimeEd0") : QStringLiteral("TimeEd"), w, 6);
  // Room for a euro price under a cent ("0.00052").
  p.cost = Edit(discounted ? QStringLiteral("ScattoED0") : QStringLiteral("ScattoED"), w, 8);
  for (QLineEdit* e : {p.start, p.end}) e->setInputMask(QStringLiteral("99.99"));
  auto* grid = new QGridLayout;
  grid->addWidget(p.dayClass, 0, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Inizio alle ore"), w), 1, 0);
  grid->addWidget(p.start, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Fine alle ore"), w), 1, 2);
  grid->addWidget(p.end, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Durata in sec."), w), 2, 0);
  grid->addWidget(p.seconds, 2, 1);
  p.costCaption = new QLabel(QStringLiteral("Costo scatto (senza IVA)"), w);
  p.costCaption->setBuddy(p.cost);
  grid->addWidget(p.costCaption, 2, 2);
  grid->addWidget(p.cost, 2, 3);
  if (!discounted) {
    IVAED = Edit(QStringLiteral("IVAED"), w, 7);
    StCostED = Edit(QStringLiteral("StCostED"), w, 10);
    StCostCB = new QComboBox(w);
    StCostCB->setObjectName(QStringLiteral("StCostCB"));
    StCostCB->addItems({QStringLiteral("Scatti"), QStringLiteral("Lire")});
    grid->addWidget(new QLabel(QStringLiteral("Aliquota IVA (in %)"), w), 3, 0);
    grid->addWidget(IVAED, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Addebito fisso alla risposta"), w), 3, 2);
    auto* fixed = new QHBoxLayout;
    fixed->addWidget(StCostED);
    fixed->addWidget(StCostCB);
    grid->addLayout(fixed, 3, 3);
  }
  l->addLayout(grid);
  p.grid = new QTableWidget(0, 4, w);
  p.grid->setObjectName(discounted ? QStringLiteral("ScoGrid") : QStringLiteral("TarGrid"));
  p.grid->setHorizontalHeaderLabels({QStringLiteral("Inizio"), QStringLiteral("Fine"),
                                     QStringLiteral("Durata"), QStringLiteral("Costo")});
  p.grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  p.grid->setSelectionMode(QAbstractItemView::SingleSelection);
  p.grid->horizontalHeader()->setStretchLastSection(true);
  l->addWidget(p.grid, 1);

  connect(p.dayClass, &QComboBox::activated, this, [this, page](int cls) {
    StoreGrids();
    m_model.SelectDayClass(page, cls);
    ShowAll();
  });
  connect(p.grid, &QTableWidget::currentCellChanged, this, [this, page](int row) {
    if (m_showing || row < 0) return;
    m_model.SelectRow(page, row + 1);
    ShowFields();
  });
  connect(p.grid, &QTableWidget::cellChanged, this, [this] {
    if (m_showing) return;
    StoreGrids();
    ShowFields();
  });
  auto edit = [this, page](QLineEdit* e, BandColumn column) {
    connect(e, &QLineEdit::textEdited, this, [this, page, column](const QString& t) {
      StoreGrids();
      m_model.EditCell(page, column, S(t));
      ShowGrid(page);
    });
  };
  edit(p.start, kStartColumn);
  edit(p.end, kEndColumn);
  edit(p.seconds, kSecondsColumn);
  edit(p.cost, kCostColumn);
  return w;
}

int TSetTar::Page() const {
  return m_pages->currentIndex();
}

void TSetTar::StoreGrids() {
  for (int page : {kOrdinaryPage, kDiscountedPage}) {
    QTableWidget* g = m_w[static_cast<std::size_t>(page)].grid;
    BandGrid grid;
    for (int r = 0; r < g->rowCount(); ++r) {
      auto cell = [&](int c) { return g->item(r, c) ? S(g->item(r, c)->text()) : std::string(); };
      grid.push_back({cell(0), cell(1), cell(2), cell(3)});
    }
    m_model.SetGrid(page, grid);
  }
}

void TSetTar::ShowGrid(int page) {
  const bool was = m_showing;
  m_showing = true;
  QTableWidget* g = m_w[static_cast<std::size_t>(page)].grid;
  const BandGrid& grid = m_model.Grid(page);
  g->setRowCount(static_cast<int>(grid.size()));
  for (int r = 0; r < static_cast<int>(grid.size()); ++r) {
    const BandRow& b = grid[static_cast<std::size_t>(r)];
    const std::string cells[4] = {b.start, b.end, b.seconds, b.cost};
    for (int c = 0; c < 4; ++c) g->setItem(r, c, new QTableWidgetItem(Q(cells[c])));
  }
  const int selected = m_model.SelectedRow(page) - 1;
  if (selected >= 0 && selected < g->rowCount()) g->setCurrentCell(selected, 0);
  m_showing = was;
}

void TSetTar::ShowFields() {
  const bool was = m_showing;
  m_showing = true;
  for (int page : {kOrdinaryPage, kDiscountedPage}) {
    const PageWidgets& p = m_w[static_cast<std::size_t>(page)];
    const BandRow& b = m_model.SelectedBand(page);
    p.start->setText(Q(b.start));
    p.end->setText(Q(b.end));
    p.seconds->setText(Q(b.seconds.empty() ? "0" : b.seconds));
    p.cost->setText(Q(b.cost.empty() ? "0" : b.cost));
    p.dayClass->setCurrentIndex(m_model.DayClassIndex(page));
  }
  m_showing = was;
}

void TSetTar::ShowAll() {
  m_showing = true;
  setWindowTitle(Q(m_model.Caption()));
  IDEdit->setText(Q(m_model.Abbreviation()));
  DESedit->setText(Q(m_model.Description()));
  IVAED->setText(Q(m_model.VatText()));
  StCostED->setText(Q(m_model.FixedChargeText()));
  // The prices are typed in the tariff's own currency: a loaded file keeps its own.
  const bool euro = m_model.PriceCurrency() == Currency::Euro;
  for (const PageWidgets& p : m_w)
    p.costCaption->setText(euro ? QStringLiteral("Costo scatto in euro (senza IVA)")
                                : QStringLiteral("Costo scatto in lire (senza IVA)"));
  StCostCB->setItemText(1, euro ? QStringLiteral("Euro") : QStringLiteral("Lire"));
  StCostCB->setCurrentIndex(m_model.FixedChargeUnit());
  ScoCB->setChecked(m_model.DiscountOn());
  DelayED->setText(Q(m_model.DiscountThresholdText()));
  DelayCB->setCurrentIndex(m_model.DiscountUnit());
  ShowGrid(kOrdinaryPage);
  ShowGrid(kDiscountedPage);
  ShowFields();
  m_pages->setCurrentIndex(m_model.ShownPage());
  m_showing = false;
  ApplyFocus();
}

void TSetTar::ApplyFocus() {
  const auto focus = m_model.TakeFocus();
  if (!focus) return;
  switch (focus->target) {
    case EditorFocus::Description:
      DESedit->setFocus();
      break;
    case EditorFocus::Vat:
      IVAED->setFocus();
      break;
    case EditorFocus::FixedCharge:
      StCostED->setFocus();
      break;
    case EditorFocus::Cell: {
      m_pages->setCurrentIndex(focus->page);
      QTableWidget* g = m_w[static_cast<std::size_t>(focus->page)].grid;
      g->setCurrentCell(focus->cell.row - 1, focus->cell.column);
      g->setFocus();
      break;
    }
  }
}

void TSetTar::LoadBtnClick() {
  StoreGrids();
  m_model.Load();
  ShowAll();
}

void TSetTar::NewBtnClick() {
  StoreGrids();
  m_model.New();
  ShowAll();
}

void TSetTar::SaveBtnClick() {
  StoreGrids();
  m_model.Save();
  ShowAll();
}

void TSetTar::AddBtnClick() {
  StoreGrids();
  m_model.AddBand(Page());
  ShowAll();
}

void TSetTar::DelBtnClick() {
  StoreGrids();
  m_model.DeleteBand(Page());
  ShowAll();
}

void TSetTar::ClearBtnClick() {
  StoreGrids();
  m_model.ClearPage(Page());
  ShowAll();
}

void TSetTar::TestBtnClick() {
  StoreGrids();
  m_model.TestBand(Page());
  ShowAll();
}

void TSetTar::TestAllBtnClick() {
  StoreGrids();
  m_model.TestAll();
  ShowAll();
}

void TSetTar::done(int result) {
  StoreGrids();
  // The close box, OK and Escape all end here: No to the question keeps the dialog open.
  if (!m_model.CanClose()) return;
  // A place not stored only means the window opens at its default place next time.
  if (m_places)
    static_cast<void>(m_places->Store(kTariffEditorPlace, {isMaximized() ? 2 : 0, geometry().y(),
                                                           geometry().x(), width(), height()}));
  QDialog::done(result);
}

}  // namespace orva
