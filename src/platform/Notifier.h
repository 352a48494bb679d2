// Desktop notifications: a short notice the desktop shows in a corner and keeps in its list,
// instead of a box that stops the user. The Linux desktop's notification service stands behind
// it; tests give doubles.
#pragma once

#include <functional>
#include <string>

namespace orva {

struct Notice {
  enum class Urgency { Low, Normal, Critical };
  std::string summary;  // one line
  std::string body;     // plain text, lines joined by "\n"
  Urgency urgency = Urgency::Normal;
  bool operator==(const Notice&) const = default;
};

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Whether a notification service is there now (running, or started on demand).
  virtual bool Available() const = 0;
  // Shows the notice. `undelivered` (may be empty) runs later, on the same thread, when the
  // service refused it or did not answer, so the caller can still say it another way.
  virtual void Notify(const Notice& notice, std::function<void()> undelivered) = 0;
};

}  // namespace orva
