// The program's help in a window of its own: the page shipped with the program, opened at the
// section of the window that asked. No browser is needed to read it.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace orva {

class THelpWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // Shows the help at the section of `context` in one window, made again when it belongs to
  // another dialog: a help window opened from a modal dialog is that dialog's, so the dialog
  // does not block it.
  static THelpWindow* Show(int context);

  // Loads the page at `path` and goes to the section of `context`; a missing page is said in
  // the window.
  void Open(const QString& path, int context);
  QTextBrowser* Browser() const { return m_browser; }

 private:
  QTextBrowser* m_browser;
};

}  // namespace orva
