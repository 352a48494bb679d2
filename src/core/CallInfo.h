// The record of the current call shared by the watcher and the meter, and the call kinds.
#pragma once

#include <string>

namespace orva {

enum CallKind : int {
  kKindUnknown = 0,  // "Sconosciuto": manual start
  kKindGeneric = 1,
  kKindModem = 2,  // dial-up
  kKindFaxG3 = 3,
  kKindFaxG4 = 4,
  kKindVoice = 5
};

// "Sconosciuto", "Generico", "Modem", "FAX G3", "FAX G4", "A voce"; empty outside 0..5.
const char* CallKindName(int kind);

inline constexpr const char* kStatusDisconnected = "Sconnesso";
inline constexpr const char* kStatusConnected = "Connesso";
inline constexpr const char* kStatusManual = "Avvio manuale";

struct CallInfo {
  std::string status = kStatusDisconnected;
  std::string entryName;    // entry or service name
  std::string remoteParty;  // the other party's number
  std::string speed;
  std::string hostName;
  std::string ipAddress;
  int kind = kKindUnknown;
  std::string bytesSent = "0";
  std::string bytesReceived = "0";

  void Reset() { *this = CallInfo(); }
};

}  // namespace orva
