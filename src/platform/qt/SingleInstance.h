// One running copy per user: a lock file and a local socket in the user's runtime folder.
// The copy that holds the lock listens; a second copy, or `orva32cli send`, connects and
// sends one line (see core/AppMessages.h) and reads the answer lines.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orva {

class SingleInstance final : public QObject {
 public:
  // name: the unique string ("orva32"); folder: where the lock and the socket live (empty:
  // the runtime folder, else the temporary folder).
  explicit SingleInstance(QString name = QStringLiteral("orva32"), QString folder = {});
  ~SingleInstance() override;

  // True when this copy is the only one: it holds the lock and listens.
  bool Acquire();
  // Each request line; returns the answer lines.
  std::function<std::vector<std::string>(const std::string& line)> OnRequest;

  QString SocketPath() const;
  // Sends one line to the running copy and collects its answer lines; false when none runs.
  static bool Send(const QString& socketPath, const std::string& line,
                   std::vector<std::string>& answers, int timeoutMs = 3000);
  static QString DefaultFolder();

 private:
  void OnConnection();
  QString m_name, m_folder;
  std::unique_ptr<QLockFile> m_lock;
  QLocalServer m_server;
};

}  // namespace orva
