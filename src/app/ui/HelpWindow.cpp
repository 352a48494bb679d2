// The help window.
#include "app/ui/HelpWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "setup/Help.h"

namespace orva {

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("ORVA32 - Guida"));
  setAttribute(Qt::WA_DeleteOnClose);
  m_browser = new QTextBrowser(this);
  m_browser->setObjectName(QStringLiteral("HelpText"));
  m_browser->setAccessibleName(QStringLiteral("Guida"));
  m_browser->setOpenExternalLinks(true);
  auto* close = new QPushButton(QStringLiteral("&Chiudi"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_browser, 1);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(640, 520);
}

void THelpWindow::Open(const QString& path, int context) {
  if (path.isEmpty() || !QFileInfo(path).isReadable()) {
    m_browser->setPlainText(
        QStringLiteral("La guida non è stata trovata: il file help/orva32.html manca "
                       "nell'installazione del programma."));
    return;
  }
  m_browser->setSource(QUrl::fromLocalFile(path));
  m_browser->scrollToAnchor(QStringLiteral("ctx%1").arg(context));
}

THelpWindow* THelpWindow::Show(int context) {
  static QPointer<THelpWindow> window;
  QWidget* owner = QApplication::activeModalWidget();
  if (window && window->parentWidget() != owner) window->close();
  if (!window) window = new THelpWindow(owner);
  window->Open(QString::fromStdString(HelpFilePath()), context);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace orva
