// Forward and reverse lookups on QHostInfo. Completions run on the thread that owns the
// resolver (the user-interface thread), always after the call that started them returned;
// several lookups may run at once and each completion reaches its own callback.
#pragma once

#include <QObject>
#include <map>

#include "platform/Network.h"

namespace orva {

class QtResolver final : public Resolver {
 public:
  QtResolver();
  ~QtResolver() override;
  int LookupName(const std::string& name, Callback done) override;
  int LookupAddress(const std::string& address, Callback done) override;
  void Abort(int id) override;

 private:
  int Start(const std::string& what, bool reverse, Callback done);

  struct Pending {
    int qtId = -1;
    Callback done;
  };
  QObject m_context;
  std::map<int, Pending> m_pending;
  int m_next = 0;
};

}  // namespace orva
