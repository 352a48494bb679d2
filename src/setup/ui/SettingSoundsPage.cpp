// The options dialog's "Suoni" page: the sound switch and, for each event, whether it sounds,
// its WAV file and a test of it.
#include "setup/ui/Setting.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

#include "platform/SafeFile.h"
#include "setup/SetupRules.h"
#include "setup/ui/SettingWidgets.h"

namespace orva {

using namespace setting_ui;

namespace {

constexpr const char* kSoundGroups[kSoundEvents] = {"Alla connessione", "Alla sconnessione",
                                                    "Allo scatto", "Ad ogni messaggio di avviso",
                                                    "Nuova posta in casella"};

}  // namespace

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

void TSetupForm::StoreSoundsPage() {
  Settings& s = m_ctx.settings;
  s.soundsOn = BeepCB->isChecked() ? 1 : 0;
  for (std::size_t i = 0; i < kSoundEvents; ++i) s.soundEnabled[i] = m_soundChecks[i]->isChecked();
}

}  // namespace orva
