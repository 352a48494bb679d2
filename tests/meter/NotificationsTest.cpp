// The meter's warnings and call summaries as desktop notifications: said there when the user
// wants it and the desktop shows them, as a box otherwise, and as a box after all when the
// service does not take the notice.
#include "MeterFixture.h"
#include "core/Notices.h"

namespace orva::test {
namespace {

// A notification service that is there or not, and takes or refuses what it is given.
struct FakeNotifier : Notifier {
  bool available = true;
  bool refuses = false;
  std::vector<Notice> shown;
  std::vector<std::function<void()>> refused;  // what the service's refusals will run
  bool Available() const override { return available; }
  void Notify(const Notice& notice, std::function<void()> undelivered) override {
    if (refuses) {
      refused.push_back(std::move(undelivered));
      return;
    }
    shown.push_back(notice);
  }
};

class MeterNotifications : public MeterTest {
 protected:
  void MakeWithNotifier() {
    logic = std::make_unique<MainLogic>([this] {
      MeterDeps d = Deps();
      d.notifier = &notifier;
      return d;
    }());
    logic->Startup();
    logic->FirstActivation();
  }
  int Boxes(const std::string& part) const {
    int n = 0;
    for (const auto& s : dialogs.shown) n += s.text.find(part) != std::string::npos;
    return n;
  }
  FakeNotifier notifier;
};

TEST_F(MeterNotifications, WarningsGoToTheDesktopWithoutABoxOrRaisingTheWindow) {
  settings.warnTimeOn = 1;
  settings.warnTimeMinutes = 1;
  settings.warnDayCostOn = 1;
  settings.warnDayCost = "200";
  settings.warnDayCostWithVat = 0;
  settings.soundFiles[kSoundWarning] = "/snd/avviso.wav";
  settings.soundEnabled[kSoundWarning] = true;
  existing.insert("/snd/avviso.wav");
  MakeWithNotifier();
  logic->Start1Click();
  // 10:01:00: the second tick makes 254 lire, past 200; a minute is past the time limit.
  AdvanceSeconds(61);
  ASSERT_EQ(notifier.shown.size(), 2u);
  EXPECT_EQ(notifier.shown[0], WarningNotice("Il tempo totale di connessione è superiore al "
                                             "limite impostato"));
  EXPECT_EQ(notifier.shown[1].summary, "ORVA AVVISO !");
  EXPECT_EQ(notifier.shown[1].body,
            "Il costo della connessione in corso è superiore alle 200 lire.");
  EXPECT_EQ(notifier.shown[1].urgency, Notice::Urgency::Critical);
  EXPECT_EQ(Boxes("ORVA AVVISO"), 0);
  EXPECT_EQ(view.bringUps, 0);
  // The warning sound plays either way.
  EXPECT_EQ(sound.played, (std::vector<std::string>{"/snd/avviso.wav", "/snd/avviso.wav"}));
  // Still once per tick interval.
  AdvanceSeconds(20);
  EXPECT_EQ(notifier.shown.size(), 2u);
}

TEST_F(MeterNotifications, TheBoxStaysWithoutAServiceWithTheOptionOffOrWhenRefused) {
  settings.warnTimeOn = 1;
  settings.warnTimeMinutes = 1;
  notifier.available = false;
  MakeWithNotifier();
  logic->Start1Click();
  AdvanceSeconds(61);
  EXPECT_TRUE(notifier.shown.empty());
  EXPECT_EQ(Boxes("ORVA AVVISO !\r\rIl tempo totale"), 1);
  EXPECT_EQ(view.bringUps, 1);

  // The service is there but the user wants boxes.
  notifier.available = true;
  settings.notifyWarnings = false;
  AdvanceSeconds(60);
  EXPECT_TRUE(notifier.shown.empty());
  EXPECT_EQ(Boxes("Il tempo totale"), 2);

  // The service refuses the notice (or vanishes before it answers): the box comes then.
  settings.notifyWarnings = true;
  notifier.refuses = true;
  AdvanceSeconds(60);
  EXPECT_EQ(Boxes("Il tempo totale"), 2);
  ASSERT_EQ(notifier.refused.size(), 1u);
  notifier.refused[0]();
  EXPECT_EQ(Boxes("Il tempo totale"), 3);
}

TEST_F(MeterNotifications, EndedCallIsSummedUpWhenAskedAndNeverAsABox) {
  MakeWithNotifier();
  logic->Start1Click();
  AdvanceSeconds(125);
  logic->Stop1Click();
  EXPECT_TRUE(notifier.shown.empty());  // off by default

  settings.notifyCallEnd = true;
  settings.decimals = 2;
  tariffs.value.tickCost = 63.5;
  logic->Start1Click();
  // The answer tick at 10:02:05, then 10:03:05 and 10:04:05: three of 63.5 lire.
  AdvanceSeconds(125);
  logic->Stop1Click();
  ASSERT_EQ(notifier.shown.size(), 1u);
  EXPECT_EQ(notifier.shown[0].summary, "Chiamata terminata: Sconosciuto: Avvio manuale");
  EXPECT_EQ(notifier.shown[0].body, "Durata 00.02.05\nScatti 3\nCosto L. 190.50 (senza IVA)");

  // No service: nothing else is shown for it.
  notifier.available = false;
  const auto boxes = dialogs.shown.size();
  logic->Start1Click();
  AdvanceSeconds(5);
  logic->Stop1Click();
  EXPECT_EQ(notifier.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown.size(), boxes);
}

}  // namespace
}  // namespace orva::test
