// The dial-up service followed on the bus: NetworkManager while it runs, else pppd.
#include "platform/qt/FollowingDialup.h"

namespace orva {

FollowingDialup::FollowingDialup(const QDBusConnection& bus, std::unique_ptr<Dialup> ppp,
                                 int graceMs, QObject* parent)
    : QObject(parent),
      m_nm(std::make_unique<NmDialup>(bus)),
      m_ppp(ppp ? std::move(ppp) : std::make_unique<PppDialup>()),
      m_graceMs(graceMs),
      m_graceEnds(QDeadlineTimer(0)) {
  m_graceTimer.setSingleShot(true);
  connect(&m_graceTimer, &QTimer::timeout, this, [this] { Followed(); });
  m_nm->onPresenceChanged = [this] {
    if (!m_nm->OnBus()) {
      m_graceEnds = QDeadlineTimer(m_graceMs);
      m_graceTimer.start(m_graceMs + 1);
    }
    Followed();
  };
  m_nm->onEntriesChanged = [this] {
    if (UsingNetworkManager() && onEntriesChanged) onEntriesChanged();
  };
  m_nm->onError = [this](const std::string& text) {
    if (onError) onError(text);
  };
  m_lastUsedNm = UsingNetworkManager();
}

FollowingDialup::~FollowingDialup() {
  m_nm->onPresenceChanged = nullptr;
  m_nm->onEntriesChanged = nullptr;
  m_nm->onError = nullptr;
}

bool FollowingDialup::UsingNetworkManager() const {
  return m_nm->OnBus() || !m_graceEnds.hasExpired();
}

void FollowingDialup::Followed() {
  const bool nm = UsingNetworkManager();
  if (nm == m_lastUsedNm) return;
  m_lastUsedNm = nm;
  if (onEntriesChanged) onEntriesChanged();
}

}  // namespace orva
