// What a closed combo box shows a person of each of its items, for window tests: the items
// whose text does not fit its face, and those it cuts without an ellipsis.
#pragma once

#include <QComboBox>
#include <QStringList>

#include "platform/qt/ElidingComboBox.h"

namespace orva::test {

struct ComboFaces {
  QStringList cut;       // shown short (with "…")
  QStringList unmarked;  // shown short without "…": cut mid-word
};

inline ComboFaces FacesOf(QComboBox& combo) {
  ComboFaces faces;
  auto* eliding = dynamic_cast<ElidingComboBox*>(&combo);
  const int keep = combo.currentIndex();
  for (int i = 0; i < combo.count(); ++i) {
    combo.setCurrentIndex(i);
    const QString text = combo.itemText(i);
    const int room = eliding ? eliding->TextRoom() : combo.width();
    if (combo.fontMetrics().horizontalAdvance(text) <= room) continue;
    faces.cut << text;
    // A plain combo box clips what does not fit at its edge.
    const QString shown = eliding ? eliding->ShownText() : text;
    if (!shown.endsWith(QChar(0x2026)) || combo.fontMetrics().horizontalAdvance(shown) > room)
      faces.unmarked << text;
  }
  combo.setCurrentIndex(keep);
  return faces;
}

}  // namespace orva::test
