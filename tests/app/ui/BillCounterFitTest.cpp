// The small bar's counter with the bill item and its month forecast: the whole text, the
// limit's mark included, is drawn inside the bar's fixed width, not cut off.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>

#include "app/ui/MainForm.h"

namespace orva {
namespace {

TEST(BillCounterFit, ForecastAndItsMarkFitTheSmallBar) {
  TMainForm form;
  CounterInput call;
  call.tariff.tickSeconds = 60;
  call.tariff.vatRate = 0.2;
  call.periodCost = 31623;
  call.periodForecast = PeriodForecastCost{52070, 0};
  form.CounterSource = [&call] { return call; };
  form.TrayAvailable = [] { return true; };
  form.FormCreate();
  WindowSettings settings;
  settings.periodLimit = PeriodLimit{60000, true};
  form.ApplySettings(settings);
  form.ShrinkBtnClick();
  form.show();
  QApplication::processEvents();
  form.SelectCounterItem(6);
  QApplication::processEvents();
  auto* l22 = form.findChild<QLabel*>(QStringLiteral("L22"));
  ASSERT_NE(l22, nullptr);
  const auto fits = [l22] {
    return QFontMetrics(l22->font()).horizontalAdvance(l22->text()) <= l22->contentsRect().width();
  };
  ASSERT_EQ(l22->text(), QStringLiteral("Boll: 37947.6 → 62484 !"));
  EXPECT_TRUE(fits()) << l22->font().pointSizeF() << " " << l22->contentsRect().width() << " "
                      << QFontMetrics(l22->font()).horizontalAdvance(l22->text());
  EXPECT_LT(l22->font().pointSizeF(), QApplication::font(l22).pointSizeF());

  // The next item, short again, gets the bar's font back.
  form.SelectCounterItem(7);
  QApplication::processEvents();
  EXPECT_EQ(l22->font().pointSizeF(), QApplication::font(l22).pointSizeF());
  EXPECT_TRUE(l22->font().bold());
}

}  // namespace
}  // namespace orva
