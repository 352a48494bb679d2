// The options dialog's shell: the category tree, the stack of pages, OK / Annulla / Aiuto, the
// dialog's place and what is written when it closes. Each page lives in its Setting*Page.cpp.
#include "setup/ui/Setting.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/HowUtils.h"
#include "platform/qt/ClientPlace.h"
#include "setup/SetupRules.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

namespace {

constexpr int kPageCount = 14;
constexpr const char* kPageCaptions[kPageCount] = {
    "Principale",     "Corrispondenze", "Accesso Remoto",   "Rete",        "Avvio applicazioni",
    "Applicazione 1", "Applicazione 2", "Applicazione 3",   "Interfaccia", "Messaggi di avviso",
    "Suoni",          "Sicurezza",      "Caselle di posta", "Colori"};

}  // namespace

int TSetupForm::HelpContext(int page) {
  static constexpr int kContexts[kPageCount] = {1450, 1460, 1470, 1475, 1480, 1480, 1480,
                                                1480, 1490, 1500, 1510, 1520, 1525, 9999};
  return page >= 0 && page < kPageCount ? kContexts[page] : 1450;
}

TSetupForm::TSetupForm(SetupContext context, QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context)) {
  setObjectName(QStringLiteral("SetupForm"));
  setWindowTitle(QStringLiteral("ORVA32 - Impostazioni"));
  LoadTables();
  BuildTree();
  BuildPages();
  BuildButtons();
  RestorePlace();
  ShowPage(0);
  m_loading = false;
}

TSetupForm::~TSetupForm() = default;

// The tables behind the pages: "lista.ser" and the mailboxes, created empty when missing.
void TSetupForm::LoadTables() {
  if (auto rows = ReadAssociationFile(m_ctx.settings.associationPath, true))
    m_associations = AssociationTable(*rows);
  else
    m_ctx.dialogs.Message(rows.error, MsgType::Error);
  if (m_ctx.loadMailboxes) m_mailboxes = MailboxTable(m_ctx.loadMailboxes());
}

// The categories: the three "Applicazione" pages hang under "Avvio applicazioni".
void TSetupForm::BuildTree() {
  m_tree = Named(new QTreeWidget(this), "TreeView1");
  m_tree->setHeaderLabel(QStringLiteral("Categorie :"));
  m_tree->setMinimumWidth(170);
  Notebook = Named(new QStackedWidget(this), "Notebook");
  QTreeWidgetItem* programs = nullptr;
  for (int i = 0; i < kPageCount; ++i) {
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
}

void TSetupForm::BuildPages() {
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
}

// OK, Annulla and Aiuto under the tree and the pages.
void TSetupForm::BuildButtons() {
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
}

// Position "Posizione setup".
void TSetupForm::RestorePlace() {
  const Settings& s = m_ctx.settings;
  const QRect screen = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, 1024, 768);
  const FormGeometry g = ApplyFormPosition(s.setupPosition, {0, y(), x(), width(), height()},
                                           screen.width(), screen.height(), false);
  // The client area's place is stored and restored: a window manager puts it back exactly,
  // where the frame's place would move a dialog by its title bar at every opening.
  if (s.setupPosition != "Default") PlaceClientArea(*this, g.left, g.top, width(), height());
}

void TSetupForm::ShowPage(int page) {
  if (page < 0 || page >= static_cast<int>(m_nodes.size())) return;
  m_tree->setCurrentItem(m_nodes[static_cast<std::size_t>(page)]);
  Notebook->setCurrentIndex(page);
}

int TSetupForm::CurrentPage() const {
  return Notebook->currentIndex();
}

// A number field that takes effect as it is typed (the flashing advance, the access limits).
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

// "OK": every page's values go into the settings. What the pages store at once (shortcuts,
// sounds, access values, the period limit's VAT) is already there.
void TSetupForm::OKBtnClick() {
  StoreMainPage();
  StoreNetworkPage();
  StoreProgramPages();
  StoreInterfacePage();
  StoreWarningsPage();
  StoreSoundsPage();
  StoreMailPage();
  StoreColoursPage();
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
