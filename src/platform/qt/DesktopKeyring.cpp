#include "platform/qt/DesktopKeyring.h"

#include <qt6keychain/keychain.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTimer>

namespace orva {
namespace {

// The names a keyring answers under on the session bus.
constexpr const char* kKeyringNames[] = {"org.freedesktop.secrets", "org.kde.kwalletd6",
                                         "org.kde.kwalletd5"};

struct Outcome {
  bool answered = false;
  QKeychain::Error error = QKeychain::OtherError;
  QString errorText;
  QString text;  // a read's secret
};

// Starts the job and waits for its answer; the job deletes itself once it finishes, also when
// the wait gave up first.
Outcome RunJob(QKeychain::Job* job, int timeoutMs) {
  Outcome outcome;
  QEventLoop loop;
  QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
    outcome.answered = true;
    outcome.error = done->error();
    outcome.errorText = done->errorString();
    if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
      outcome.text = read->textData();
    loop.quit();
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  job->start();
  if (!outcome.answered) loop.exec();
  return outcome;
}

std::string Why(const Outcome& o) {
  if (!o.answered) return "il portachiavi del desktop non ha risposto";
  return "portachiavi del desktop: " + o.errorText.toStdString();
}

}  // namespace

DesktopKeyring::DesktopKeyring(QString service) : m_service(std::move(service)) {}

bool DesktopKeyring::Available() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  for (const char* name : kKeyringNames)
    if (bus.interface()->isServiceRegistered(QString::fromLatin1(name))) return true;
  return false;
}

Result<std::optional<std::string>> DesktopKeyring::Read(const std::string& key) {
  auto* job = new QKeychain::ReadPasswordJob(m_service);
  job->setKey(QString::fromStdString(key));
  const Outcome o = RunJob(job, timeoutMs);
  if (o.answered && o.error == QKeychain::NoError)
    return Result<std::optional<std::string>>::Ok(o.text.toStdString());
  if (o.answered && o.error == QKeychain::EntryNotFound)
    return Result<std::optional<std::string>>::Ok(std::nullopt);
  return Result<std::optional<std::string>>::Fail(Why(o));
}

Status DesktopKeyring::Write(const std::string& key, const std::string& secret) {
  auto* job = new QKeychain::WritePasswordJob(m_service);
  job->setKey(QString::fromStdString(key));
  job->setTextData(QString::fromStdString(secret));
  const Outcome o = RunJob(job, timeoutMs);
  if (o.answered && o.error == QKeychain::NoError) return Status::Ok();
  return Status::Fail(Why(o));
}

Status DesktopKeyring::Remove(const std::string& key) {
  auto* job = new QKeychain::DeletePasswordJob(m_service);
  job->setKey(QString::fromStdString(key));
  const Outcome o = RunJob(job, timeoutMs);
  if (o.answered && (o.error == QKeychain::NoError || o.error == QKeychain::EntryNotFound))
    return Status::Ok();
  return Status::Fail(Why(o));
}

}  // namespace orva
