// pkexec orva32-hosts-helper apply, waited for with the event loop running.
#include "net/ui/HostsAuthority.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#ifndef ORVA_HOSTS_HELPER_PATH
#define ORVA_HOSTS_HELPER_PATH "/usr/libexec/orva32/orva32-hosts-helper"
#endif

namespace orva {

std::string PkexecHostsAuthority::HelperPath() {
  // Installed beside the program under the same prefix (a package installs under its own),
  // then where this build would install it, then beside the program in the build tree. pkexec
  // compares the path with its policy, so it is given without "..".
  const QString dir = QCoreApplication::applicationDirPath();
  for (const QString& path :
       {dir + QStringLiteral("/../libexec/orva32/orva32-hosts-helper"),
        QStringLiteral(ORVA_HOSTS_HELPER_PATH), dir + QStringLiteral("/orva32-hosts-helper")}) {
    const QFileInfo info(path);
    if (info.isExecutable()) return info.canonicalFilePath().toStdString();
  }
  return (dir + QStringLiteral("/orva32-hosts-helper")).toStdString();
}

bool PkexecHostsAuthority::CanWrite(const std::string& path) const {
  return HostsAuthority::CanWrite(path) ||
         !QFileInfo(QString::fromStdString(HelperPath())).isExecutable();
}

Status PkexecHostsAuthority::RunHelper(const std::string& input) {
  QProcess process;
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) loop.quit();
  });
  // The user has time to answer the authorisation box, not for ever.
  QTimer::singleShot(10 * 60 * 1000, &loop, &QEventLoop::quit);
  process.start(QStringLiteral("pkexec"),
                {QString::fromStdString(HelperPath()), QStringLiteral("apply")});
  if (!process.waitForStarted(5000))
    return Status::Fail("pkexec: " + process.errorString().toStdString());
  process.write(input.data(), static_cast<qint64>(input.size()));
  process.closeWriteChannel();
  if (process.state() != QProcess::NotRunning) loop.exec();
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished(2000);
    return Status::Fail("pkexec: nessuna risposta alla richiesta di autorizzazione");
  }
  if (process.exitStatus() != QProcess::NormalExit)
    return Status::Fail("orva32-hosts-helper: terminato");
  const int code = process.exitCode();
  if (code == 0) return Status::Ok();
  // pkexec's own codes: the authorisation was refused or dismissed.
  if (code == 126 || code == 127)
    return Status::Fail("Autorizzazione negata: file hosts invariato");
  const QString err = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
  return Status::Fail(err.isEmpty() ? "orva32-hosts-helper: errore " + std::to_string(code)
                                    : err.toStdString());
}

}  // namespace orva
