// Accessible names from hints and labels.
#include "app/ui/AccessibleNames.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>
#include <functional>

namespace orva {
namespace {

QString Clean(QString text) {
  text.remove(QLatin1Char('&'));
  text = text.trimmed();
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text.trimmed();
}

// The text of a widget that reads as a label: a label, or the caption of a check box or
// radio button that the field belongs to ("Finestra lampegg. negli ultimi" [10]).
QString LabelText(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) return Clean(l->text());
  if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) return Clean(b->text());
  return {};
}

// An item view without a label is named by its column titles.
QString HeaderName(QWidget* w) {
  auto* view = qobject_cast<QAbstractItemView*>(w);
  if (!view || !view->model()) return {};
  QStringList titles;
  for (int c = 0; c < view->model()->columnCount() && c < 6; ++c) {
    const QString t = Clean(view->model()->headerData(c, Qt::Horizontal).toString());
    if (!t.isEmpty() && t != QString::number(c + 1)) titles << t;
  }
  return titles.isEmpty() ? QString()
                          : QStringLiteral("Elenco: ") + titles.join(QStringLiteral(", "));
}

// The label before an item of a layout: the form's label, the cell to its left in a grid, or
// the widget before it in a row or column.
QString LabelBefore(QLayout* l, int at) {
  QLayoutItem* target = l->itemAt(at);
  if (auto* form = qobject_cast<QFormLayout*>(l)) {
    QWidget* label = target->widget() ? form->labelForField(target->widget())
                                      : form->labelForField(target->layout());
    return label ? LabelText(label) : QString();
  }
  if (auto* grid = qobject_cast<QGridLayout*>(l)) {
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
    for (int c = column - 1; c >= 0; --c) {
      QLayoutItem* item = grid->itemAtPosition(row, c);
      if (item && item->widget()) return LabelText(item->widget());
    }
    return {};
  }
  for (int k = at - 1; k >= 0; --k) {
    QLayoutItem* item = l->itemAt(k);
    if (item->widget()) return LabelText(item->widget());
    if (item->layout()) return {};
  }
  return {};
}

// The layout holding item (a widget or a layout) directly, searched from root.
QLayout* Holder(QLayout* root, const std::function<bool(QLayoutItem*)>& isTarget, int& at) {
  for (int k = 0; k < root->count(); ++k) {
    QLayoutItem* item = root->itemAt(k);
    if (isTarget(item)) {
      at = k;
      return root;
    }
    if (QLayout* inner = item->layout())
      if (QLayout* found = Holder(inner, isTarget, at)) return found;
  }
  return nullptr;
}

// The label a sighted user reads beside the widget: its buddy, or the label before it in its
// layout; a field that opens a row of its own takes the label before that row.
QString LabelBeside(QWidget* w) {
  QWidget* parent = w->parentWidget();
  if (!parent) return {};
  for (QLabel* l : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
    if (l->buddy() == w && !l->text().isEmpty()) return Clean(l->text());
  QLayout* root = parent->layout();
  if (!root) return {};
  int at = -1;
  QLayout* holder = Holder(
      root, [w](QLayoutItem* item) { return item->widget() == w; }, at);
  while (holder) {
    if (const QString t = LabelBefore(holder, at); !t.isEmpty()) return t;
    bool first = true;
    for (int k = 0; k < at; ++k)
      if (holder->itemAt(k)->widget()) first = false;
    if (!first || holder == root) break;
    QLayout* inner = holder;
    holder = Holder(
        root, [inner](QLayoutItem* item) { return item->layout() == inner; }, at);
  }
  // A control alone in a titled box takes the box's title.
  if (auto* box = qobject_cast<QGroupBox*>(parent)) return Clean(box->title());
  return {};
}

void NameIfUnnamed(QWidget* w, const QString& name) {
  if (w && w->accessibleName().isEmpty()) w->setAccessibleName(name);
}

// A scroll bar is named after what it scrolls, when that has a name.
void NameScrollBar(QScrollBar* bar) {
  const bool vertical = bar->orientation() == Qt::Vertical;
  QString name = vertical ? QStringLiteral("Scorrimento verticale")
                          : QStringLiteral("Scorrimento orizzontale");
  QWidget* owner = bar->parentWidget() ? bar->parentWidget()->parentWidget() : nullptr;
  if (owner && !owner->accessibleName().isEmpty())
    name = owner->accessibleName() + QStringLiteral(" - ") + name.toLower();
  NameIfUnnamed(bar, name);
}

// The parts Qt builds inside its own widgets are reached by a screen reader too: the scroll
// bars, a tool bar's button for the commands that do not fit, a calendar's day table and
// its navigation.
void NameInnerParts(QWidget* root) {
  for (QScrollBar* bar : root->findChildren<QScrollBar*>()) NameScrollBar(bar);
  for (QWidget* more : root->findChildren<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
    NameIfUnnamed(more, QStringLiteral("Altri comandi"));
  for (QCalendarWidget* calendar : root->findChildren<QCalendarWidget*>()) {
    NameIfUnnamed(calendar, QStringLiteral("Calendario"));
    const auto part = [calendar](const char* name) {
      return calendar->findChild<QWidget*>(QString::fromLatin1(name));
    };
    NameIfUnnamed(part("qt_calendar_calendarview"), calendar->accessibleName());
    NameIfUnnamed(part("qt_calendar_prevmonth"), QStringLiteral("Mese precedente"));
    NameIfUnnamed(part("qt_calendar_nextmonth"), QStringLiteral("Mese successivo"));
    NameIfUnnamed(part("qt_calendar_monthbutton"), QStringLiteral("Mese"));
    NameIfUnnamed(part("qt_calendar_yearbutton"), QStringLiteral("Anno"));
    NameIfUnnamed(part("qt_calendar_yearedit"), QStringLiteral("Anno"));
  }
}

}  // namespace

bool IsInteractive(const QWidget* w) {
  // Buttons without keyboard focus (tool buttons) are still reached by accessibility tools.
  if (w->focusPolicy() == Qt::NoFocus && !qobject_cast<const QAbstractButton*>(w)) return false;
  // The inner parts of composite widgets (a combo box's list, a table's corner, a spin box's
  // field) are named through their owner.
  if (w->objectName().startsWith(QLatin1String("qt_"))) return false;
  if (qobject_cast<const QTabBar*>(w)) return false;
  if (qstrcmp(w->metaObject()->className(), "QTableCornerButton") == 0) return false;
  for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
    if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractItemView*>(p) ||
        qobject_cast<const QAbstractSpinBox*>(p))
      return false;
  if (w->isWindow() || (qstrncmp(w->metaObject()->className(), "QComboBox", 9) == 0 &&
                        !qobject_cast<const QComboBox*>(w)))
    return false;
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

QString AccessibleNameOf(QWidget* w) {
  if (!w->accessibleName().isEmpty()) return w->accessibleName();
  if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w))
    return a->text(QAccessible::Name).trimmed();
  return {};
}

void NameControls(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (!IsInteractive(w) || !w->accessibleName().isEmpty()) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !Clean(b->text()).isEmpty()) continue;
    QString name = Clean(w->toolTip());
    if (name.isEmpty()) name = LabelBeside(w);
    if (name.isEmpty()) name = HeaderName(w);
    if (!name.isEmpty()) w->setAccessibleName(name);
  }
  // After the controls: a scroll bar takes the name of what it scrolls.
  NameInnerParts(root);
}

QStringList UnnamedControls(QWidget* root) {
  QStringList out;
  for (QWidget* w : root->findChildren<QWidget*>())
    if (IsInteractive(w) && AccessibleNameOf(w).isEmpty())
      out << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                        : w->objectName());
  return out;
}

TAccessibleNames::TAccessibleNames(QObject* parent) : QObject(parent) {
  if (qApp) qApp->installEventFilter(this);
}

TAccessibleNames::~TAccessibleNames() {
  if (qApp) qApp->removeEventFilter(this);
}

bool TAccessibleNames::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    if (w->isWindow()) NameControls(w);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace orva
