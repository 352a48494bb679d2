// The options dialog's "Avvio applicazioni" pages: the three programs started when a
// connection is made, each with its window state and the provider it waits for.
#include "setup/ui/Setting.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/SafeFile.h"
#include "platform/qt/ElidingComboBox.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

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
  auto* providers = new ElidingComboBox(page);
  providers->setObjectName(Q("ProviderCB" + idx));
  for (const auto& e : m_ctx.dialupEntries) providers->addItem(Q(e));
  providers->addItem(QStringLiteral("qualunque"));
  // A long entry name ends in "…" rather than widening the dialog.
  providers->setMinimumWidth(providers->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 12);
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

void TSetupForm::StoreProgramPages() {
  for (std::size_t n = 0; n < 3; ++n) {
    LaunchedProgram& p = m_ctx.settings.launched[n];
    p.program = S(m_programEdits[n]->text());
    for (int k = 0; k < 3; ++k)
      if (m_programWindows[n][static_cast<std::size_t>(k)]->isChecked()) p.window = k;
    p.provider = S(m_programProviders[n]->currentText());
  }
}

}  // namespace orva
