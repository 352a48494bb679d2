// A combo box whose closed face shows the chosen item whole when it fits and, where the room
// truly runs out, cut short with "…" (the style alone would clip it mid-word); its open list
// is always wide enough for every item whole.
#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace orva {

class ElidingComboBox : public QComboBox {
 public:
  using QComboBox::QComboBox;

  // The width the face has for the item's text: the edit field less the style's margins and
  // the icon.
  int TextRoom() const {
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    int room = field.width() - 2;
    if (!opt.currentIcon.isNull()) room -= opt.iconSize.width() + 4;
    return std::max(0, room);
  }

  // The text the face shows for the current item.
  QString ShownText() const {
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, TextRoom());
  }

  void showPopup() override {
    QAbstractItemView* list = view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                          list->verticalScrollBar()->sizeHint().width());
    QComboBox::showPopup();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    if (currentIndex() < 0 && !placeholderText().isEmpty()) {
      opt.palette.setBrush(QPalette::ButtonText, opt.palette.placeholderText());
      opt.currentText = placeholderText();
    } else if (!isEditable()) {
      opt.currentText = ShownText();
    }
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
  }
};

}  // namespace orva
