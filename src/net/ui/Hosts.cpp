// The hosts dialog: two owner-drawn lists over HostsModel.
#include "net/ui/Hosts.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/HowUtils.h"
#include "net/ui/HostsAuthority.h"
#include "net/ui/SmallMsg.h"
#include "platform/SafeFile.h"
#include "platform/qt/ClientPlace.h"

namespace orva {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

constexpr int kRowHeight = 18;
constexpr int kAddressRole = Qt::UserRole;
constexpr int kTimeRole = Qt::UserRole + 1;

const char* const kHeaders[2] = {"Lista server/IP ultima connessione",
                                 "Lista server/IP in uso al sistema"};

// Draws an entry: the host name on the left, its address on the right, a light grey line
// under the row.
class HostsRowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem o(option);
    initStyleOption(&o, index);
    const QWidget* w = o.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    o.text.clear();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &o, p, w);
    p->save();
    const bool selected = o.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        o.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QColor text =
        o.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QFontMetrics fm(o.font);
    const QString address = index.data(kAddressRole).toString();
    const int addressWidth = fm.horizontalAdvance(QStringLiteral("000.000.000.000")) + 8;
    const QRect r = o.rect.adjusted(4, 0, -4, -1);
    const bool roomForAddress = r.width() > addressWidth * 2;
    QRect nameRect = r;
    if (roomForAddress) nameRect.setRight(r.right() - addressWidth);
    p->setPen(text);
    p->drawText(
        nameRect, Qt::AlignLeft | Qt::AlignVCenter,
        fm.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, nameRect.width()));
    if (roomForAddress) {
      p->setPen(selected ? text : QColor(0x60, 0x60, 0x60));
      p->drawText(QRect(r.right() - addressWidth, r.top(), addressWidth, r.height()),
                  Qt::AlignRight | Qt::AlignVCenter, address);
    }
    p->setPen(QColor(0xD3, 0xD3, 0xD3));
    p->drawLine(o.rect.bottomLeft(), o.rect.bottomRight());
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight};
  }
};

QLabel* Panel(QWidget* parent, const QString& name) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  l->setMinimumHeight(20);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

// The rows of one list as the view sees them.
class HostsListModel final : public QAbstractListModel {
 public:
  HostsListModel(const HostsModel& model, int side, QObject* parent)
      : QAbstractListModel(parent), m_model(model), m_side(side) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_model.List(m_side).size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const auto& list = m_model.List(m_side);
    if (!index.isValid() || index.row() >= static_cast<int>(list.size())) return {};
    const TIpaddr& e = list[static_cast<std::size_t>(index.row())];
    switch (role) {
      case Qt::DisplayRole:
        return Q(e.hostName);
      case kAddressRole:
        return Q(e.address);
      case kTimeRole:
        return Q(e.timeText);
      case Qt::ToolTipRole:
        return Q(e.hostName + "\n" + e.address + "\n" + e.timeText);
      default:
        return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (section == 0 && o == Qt::Horizontal && role == Qt::DisplayRole)
      return QString::fromUtf8(kHeaders[m_side]);
    return {};
  }
  void Reset() {
    beginResetModel();
    endResetModel();
  }

 private:
  const HostsModel& m_model;
  int m_side;
};

THostsDlg::THostsDlg(HostsPaths paths, Dialogs& dialogs, std::string& position, QWidget* parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_position(position),
      m_systemPath(paths.system),
      m_progress(std::make_unique<TSmallMsg>(dialogs, this)),
      m_authority(std::make_unique<PkexecHostsAuthority>()),
      m_model(std::move(paths), dialogs, m_progress.get(), m_authority.get()) {
  setObjectName(QStringLiteral("HostsDlg"));
  setWindowTitle(QStringLiteral("Gestione indirizzi dei server"));
  setSizeGripEnabled(true);

  auto* lists = new QHBoxLayout;
  lists->addWidget(BuildSide(0), 1);
  auto* middle = new QVBoxLayout;
  middle->addStretch();
  auto* copySelected = Button(this, QStringLiteral("Button1"), QStringLiteral(">"));
  copySelected->setToolTip(
      QStringLiteral("Copia gli elementi selezionati nella lista a sinistra \nnella lista di "
                     "sistema\nSe un elemento esiste già verrà aggiornato"));
  auto* copyAll = Button(this, QStringLiteral("Button2"), QStringLiteral(">>>"));
  copyAll->setToolTip(
      QStringLiteral("Copia tutti gli elementi selezionati nella lista a sinistra \nnella lista "
                     "di sistema\nSe un elemento esiste già verrà aggiornato"));
  for (QPushButton* b : {copySelected, copyAll}) {
    b->setFixedWidth(44);
    middle->addWidget(b);
  }
  middle->addStretch();
  lists->addLayout(middle);
  lists->addWidget(BuildSide(1), 1);

  auto* close = Button(this, QStringLiteral("CloseBtn"), QStringLiteral("Chiudi"));
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addLayout(bottom);

  connect(copySelected, &QPushButton::clicked, this, &THostsDlg::Button1Click);
  connect(copyAll, &QPushButton::clicked, this, &THostsDlg::Button2Click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  resize(760, 460);
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
  const FormGeometry g = ApplyFormPosition(m_position, {0, y(), x(), width(), height()},
                                           screen.width(), screen.height(), true);
  if (m_position != "Default") {
    // The client area's place, as stored at close: put back exactly under a window manager.
    PlaceClientArea(*this, g.left, g.top, std::max(g.width, 500), std::max(g.height, 300));
    if (g.state == 2) setWindowState(Qt::WindowMaximized);
  }
}

THostsDlg::~THostsDlg() {
  // The lists' views read the dialog's model: they go while it is still there.
  for (Side& side : m_sides) {
    delete side.list;
    side.list = nullptr;
    side.rows = nullptr;
  }
}

QWidget* THostsDlg::BuildSide(int side) {
  auto* box = new QWidget(this);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  Side& s = m_sides[static_cast<std::size_t>(side)];
  s.list = new QTreeView(box);
  s.list->setObjectName(side == 0 ? QStringLiteral("LB00") : QStringLiteral("LB11"));
  s.list->setRootIsDecorated(false);
  s.list->setUniformRowHeights(true);
  s.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  s.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  s.list->setItemDelegate(new HostsRowDelegate(s.list));
  s.rows = new HostsListModel(m_model, side, s.list);
  s.list->setModel(s.rows);
  QHeaderView* header = s.list->header();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(0, Qt::AscendingOrder);
  header->setStretchLastSection(true);
  v->addWidget(s.list, 1);

  auto* panels = new QHBoxLayout;
  const QString n = QString::number(side);
  s.address = Panel(box, QStringLiteral("AddrPanel") + n);
  s.time = Panel(box, QStringLiteral("TimePanel") + n);
  s.count = Panel(box, QStringLiteral("CountPanel") + n);
  s.address->setToolTip(QStringLiteral("Indirizzo IP"));
  s.time->setToolTip(QStringLiteral("Data/Ora di accesso"));
  panels->addWidget(s.address, 3);
  panels->addWidget(s.time, 4);
  panels->addWidget(s.count, 2);
  v->addLayout(panels);

  auto* buttons = new QGridLayout;
  QPushButton *load, *save, *dele, *all;
  if (side == 0) {
    load = Button(box, QStringLiteral("Load0Btn"), QStringLiteral("Carica lista "));
    save = Button(box, QStringLiteral("Save0Btn"), QStringLiteral("Salva lista"));
    dele = Button(box, QStringLiteral("TransparentButton3"),
                  QStringLiteral("Cancella elementi selezionati"));
    all = Button(box, QStringLiteral("Sel0Btn"), QStringLiteral("Seleziona tutti"));
    connect(load, &QPushButton::clicked, this, &THostsDlg::Load0BtnClick);
    connect(save, &QPushButton::clicked, this, &THostsDlg::Save0BtnClick);
    connect(dele, &QPushButton::clicked, this, &THostsDlg::TransparentButton3Click);
    connect(all, &QPushButton::clicked, this, &THostsDlg::Sel0BtnClick);
  } else {
    load = Button(box, QStringLiteral("Load1Btn"),
                  QStringLiteral("Carica lista di sistema degli indirizzi"));
    save = Button(box, QStringLiteral("Save1Btn"), QStringLiteral("Salva file Hosts."));
    dele = Button(box, QStringLiteral("Dele1Btn"), QStringLiteral("Cancella elementi"));
    all = Button(box, QStringLiteral("Sel1Btn"), QStringLiteral("Seleziona tutti"));
    connect(load, &QPushButton::clicked, this, &THostsDlg::Load1BtnClick);
    connect(save, &QPushButton::clicked, this, &THostsDlg::Save1BtnClick);
    connect(dele, &QPushButton::clicked, this, &THostsDlg::Dele1BtnClick);
    connect(all, &QPushButton::clicked, this, &THostsDlg::Sel1BtnClick);
  }
  buttons->addWidget(load, 0, 0);
  buttons->addWidget(save, 0, 1);
  buttons->addWidget(dele, 1, 0);
  buttons->addWidget(all, 1, 1);
  v->addLayout(buttons);

  // The Delete key of a list does what its delete button does.
  auto* del = new QAction(s.list);
  del->setShortcut(QKeySequence::Delete);
  del->setShortcutContext(Qt::WidgetShortcut);
  s.list->addAction(del);
  connect(del, &QAction::triggered, this, [this, side] { DeleteRows(side); });

  connect(header, &QHeaderView::sectionClicked, this, [this, side] { HeaderClick(side); });
  connect(s.list->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this, side] { ShowCurrent(side); });
  return box;
}

void THostsDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_activated) FormActivate();
}

void THostsDlg::FormActivate() {
  if (m_activated || m_busy) return;
  m_activated = true;
  m_busy = true;
  m_model.Activate();
  m_busy = false;
  ShowList(0);
  ShowList(1);
}

void THostsDlg::ShowList(int side) {
  Side& s = m_sides[static_cast<std::size_t>(side)];
  s.rows->Reset();
  s.list->header()->setSortIndicator(
      0, m_model.Ascending(side) ? Qt::AscendingOrder : Qt::DescendingOrder);
  s.count->setText(Q(m_model.CountText(side)));
  ShowCurrent(side);
}

void THostsDlg::ShowCurrent(int side) {
  Side& s = m_sides[static_cast<std::size_t>(side)];
  const QModelIndex current = s.list->currentIndex();
  s.address->setText(current.isValid() ? current.data(kAddressRole).toString() : QString());
  s.time->setText(current.isValid() ? current.data(kTimeRole).toString() : QString());
}

std::vector<int> THostsDlg::SelectedRows(int side) const {
  std::vector<int> rows;
  const auto& s = m_sides[static_cast<std::size_t>(side)];
  for (const QModelIndex& i : s.list->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void THostsDlg::HeaderClick(int side) {
  if (m_busy) return;
  m_model.HeaderClick(side);
  ShowList(side);
}

void THostsDlg::Report(const Status& status) {
  if (!status) m_dialogs.Message(status.error, MsgType::Error);
}

void THostsDlg::Load0BtnClick() {
  if (m_busy) return;
  const auto path = m_dialogs.ChooseOpenFile(
      "Carica lista", m_model.Paths().staging,
      "*.mqm (*.mqm *.MQM);;tutti i files (*.*) (*);;files di testo (*.txt) (*.txt *.TXT)");
  if (!path) return;
  m_busy = true;
  m_model.LoadList(0, *path);
  m_busy = false;
  ShowList(0);
}

void THostsDlg::Save0BtnClick() {
  if (m_busy) return;
  const auto path = m_dialogs.ChooseSaveFile("Salva lista", m_model.Paths().staging, "(*.mqm)");
  if (!path) return;
  Report(m_model.SaveLeft(*path));
}

void THostsDlg::DeleteRows(int side) {
  if (m_busy) return;
  const std::vector<int> rows = SelectedRows(side);
  if (rows.empty()) return;
  m_busy = true;
  const int deleted = m_model.DeleteSelected(side, rows);
  m_busy = false;
  if (deleted == 0) return;
  Side& s = m_sides[static_cast<std::size_t>(side)];
  s.list->clearSelection();
  ShowList(side);
  if (side == 0) Report(m_model.StagingWriteStatus());
}

void THostsDlg::TransparentButton3Click() {
  DeleteRows(0);
}

void THostsDlg::Dele1BtnClick() {
  DeleteRows(1);
}

void THostsDlg::Sel0BtnClick() {
  m_sides[0].list->selectAll();
  m_sides[0].list->setFocus();
}

void THostsDlg::Sel1BtnClick() {
  m_sides[1].list->selectAll();
  m_sides[1].list->setFocus();
}

void THostsDlg::Load1BtnClick() {
  if (m_busy) return;
  const auto path =
      m_dialogs.ChooseOpenFile("Carica lista di sistema degli indirizzi", m_systemPath,
                               "hosts (hosts hosts.*);;tutti i files (*)");
  if (!path) return;
  m_busy = true;
  m_model.LoadList(1, *path);
  m_busy = false;
  ShowList(1);
}

void THostsDlg::Save1BtnClick() {
  if (m_busy) return;
  m_busy = true;
  const Status s = m_model.SaveSystem();
  m_busy = false;
  ShowList(1);
  Report(s);
}

void THostsDlg::Button1Click() {
  if (m_busy) return;
  const std::vector<int> rows = SelectedRows(0);
  if (rows.empty()) return;
  m_busy = true;
  m_model.CopySelected(rows);
  m_busy = false;
  ShowList(1);
}

void THostsDlg::Button2Click() {
  if (m_busy) return;
  m_busy = true;
  m_model.CopyAll();
  m_busy = false;
  ShowList(1);
}

void THostsDlg::done(int result) {
  if (m_busy || !m_model.CanClose()) return;
  const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  m_position = FormatFormPosition({state, geometry().y(), geometry().x(), width(), height()});
  QDialog::done(result);
}

}  // namespace orva
