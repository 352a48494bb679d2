// Accessible names from what a sighted user reads beside each control.
#include "app/ui/AccessibleNames.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace orva {
namespace {

TEST(AccessibleNames, HintsLabelsAndRowsNameTheControls) {
  QWidget w;
  auto* column = new QVBoxLayout(&w);
  auto* glyph = new QToolButton(&w);  // a picture only: its hint names it
  glyph->setToolTip(QStringLiteral("Avvio manuale"));
  column->addWidget(glyph);
  auto* form = new QFormLayout;
  auto* delay = new QSlider(Qt::Horizontal, &w);
  form->addRow(QStringLiteral("Ritardo"), delay);
  column->addLayout(form);
  auto* grid = new QGridLayout;
  auto* start = new QLineEdit(&w);
  grid->addWidget(new QLabel(QStringLiteral("Inizio alle ore :"), &w), 0, 0);
  grid->addWidget(start, 0, 1);
  // A field opening a row of its own takes the label before the row.
  auto* row = new QHBoxLayout;
  auto* amount = new QLineEdit(&w);
  auto* unit = new QComboBox(&w);
  row->addWidget(amount);
  row->addWidget(unit);
  grid->addWidget(new QLabel(QStringLiteral("Addebito fisso"), &w), 1, 0);
  grid->addLayout(row, 1, 1);
  column->addLayout(grid);
  auto* lonely = new QLineEdit(&w);
  column->addWidget(lonely);

  EXPECT_GE(UnnamedControls(&w).size(), 5);
  NameControls(&w);
  EXPECT_EQ(glyph->accessibleName(), QStringLiteral("Avvio manuale"));
  EXPECT_EQ(delay->accessibleName(), QStringLiteral("Ritardo"));
  EXPECT_EQ(start->accessibleName(), QStringLiteral("Inizio alle ore"));
  EXPECT_EQ(amount->accessibleName(), QStringLiteral("Addebito fisso"));
  // Nothing a sighted user reads names these: they are reported.
  EXPECT_EQ(UnnamedControls(&w).size(), 2);
}

}  // namespace
}  // namespace orva
