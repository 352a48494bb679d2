// The main window's mail check: the walk through the mailboxes of POP3.LST, the POP3 steps
// of each (Connect, User, Pass, Stat, List, Top for every message, Quit), the headers kept,
// and what the notification icon, its hint, the label POP3L, the sound and the box do. The
// window implements MailView; everything else is here and runs without a display.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/MailBoxes.h"
#include "net/Pop3Prot.h"
#include "platform/Clock.h"
#include "platform/Notifier.h"
#include "platform/SecretStore.h"

namespace orva {

// What the mail check asks of the main window.
class MailView {
 public:
  virtual ~MailView() = default;
  virtual void SetPop3Label(const std::string& text) = 0;  // POP3L
  // RxTrayIcon2: shown or hidden, animated or still, and its hint.
  virtual void SetMailIcon(bool visible, bool animated) = 0;
  virtual void SetMailIconHint(const std::string& hint) = 0;
  virtual void RefreshDisplay() = 0;    // the main display's counters
  virtual void PlayNewMailSound() = 0;  // the new-mail event sound
  // The box "C'è posta per te !" (caption "ORVA32"), shown modally, or brought to the front
  // when it is open already.
  virtual void ShowNewMailBox() = 0;
};

// The header fields of one message's TOP lines ("From:", "Subject:", "Date:").
TPOP3Msg ParseMessageHeaders(const std::vector<std::string>& lines);

// The same rule a line at a time, as the lines of a reply arrive: nothing of a line is kept
// but the fields it sets, so a reply of millions of lines costs no more than one.
class MessageHeaderReader {
 public:
  void Add(std::string_view line);
  // Whether any line came since the start.
  bool Empty() const { return m_lines == 0; }
  const TPOP3Msg& Message() const { return m_msg; }
  void Clear() { *this = MessageHeaderReader(); }

 private:
  TPOP3Msg m_msg;
  std::size_t m_lines = 0;
  bool m_inBody = false;
};
// The size text of a LIST line "n bytes": kilobytes with two decimals; empty when unreadable.
std::string ListLineSizeText(std::string_view listLine);
// The byte count of a LIST line; -1 when unreadable.
long long ListLineBytes(std::string_view listLine);

class TMailCheck {
 public:
  static constexpr const char* kNewMailText = "C'è posta per te !";
  // The headers read per mailbox and check: the newest ones of a larger mailbox.
  static constexpr int kMaxHeadersPerCheck = 1000;
  // The bound of one reply during a check (a LIST of a mailbox of about a million messages).
  static constexpr std::size_t kMaxCheckReplyBytes = 16u << 20;

  TMailCheck(TCustomPop3Cli& client, MailView& view, const Clock& clock, TimerFactory& timers);
  ~TMailCheck();

  // At start-up and after the options: the enabled mailboxes of POP3.LST (a missing file:
  // none). A file that cannot be read keeps the mailboxes there are. While a check runs the
  // new list waits for the end of its cycle. A mailbox that stays keeps its last count.
  // Empty passwords are taken from the keyring (`secrets`), when one runs.
  Status LoadMailboxes(const std::string& path, SecretStore* secrets = nullptr);
  void SetMailboxes(std::vector<TPOP3Object> boxes);
  const std::vector<TPOP3Object>& Mailboxes() const { return m_boxes; }
  int CurrentIndex() const { return m_index; }

  // Settings of section "POP3".
  int CheckEveryMinutes = 15;     // "Check mail every"
  bool MailCheckEnabled = false;  // "Mail check enabled"
  bool RequireEncryption = true;  // "Richiedi connessione cifrata"
  int ReadTimeoutSeconds = 60;    // "Timeout lettura"
  // New mail as a desktop notification ("Nuova posta" of section "Notifiche") when a
  // notification service runs; else, or without a notifier, the box.
  bool NotifyNewMail = true;
  Notifier* notifier = nullptr;

  // However steadily its server keeps talking, the check of one mailbox (Connect to the end of
  // Quit) ends after this long, so a server that drips its replies a byte at a time cannot hold
  // the cycle for ever. 0: two minutes, or two read time-outs when that is longer.
  int MailboxDeadlineMs = 0;
  // Added for each header to read once STAT has said how many, so a large mailbox on a slow
  // line still gets through.
  int MailboxDeadlineMsPerMessage = 2000;
  static constexpr int kDefaultMailboxDeadlineMs = 120000;

  // A call started: checks are allowed and one starts at once. A call ended: none starts.
  void CallStarted();
  void CallEnded();
  // The metering timer's sample: the periodic check.
  void MeteringTick(bool callHasLocalAddress);

  void CheckMail(bool forced);
  void Check1Click() { CheckMail(true); }                          // "Controlla ora"
  void EnCheck11Click() { MailCheckEnabled = !MailCheckEnabled; }  // "Attiva controllo ciclico"
  void Abort1Click();                                              // "Interrompi controllo"
  // TMailDlg opened or closed; while it is open no check starts, and closing it clears busy.
  void SetMailDialogOpen(bool open);
  bool MailDialogOpen() const { return m_dialogOpen; }

  bool Busy() const { return m_busy; }
  bool ChecksAllowed() const { return m_allowed; }
  TDateTime LastCycleEnd() const { return m_lastCycleEnd; }
  // The icon's hint after the last cycle.
  const std::string& Hint() const { return m_hint; }

  // Starts one client request for the current mailbox, with its progress in POP3L.
  void RunPop3Step(TPop3Request step);
  static const char* StepName(TPop3Request step);

  // The client's events.
  void Pop3ClientRequestDone(TPop3Request request, int error);
  void Pop3ClientMessageBegin();
  void Pop3ClientMessageLine();
  void Pop3ClientMessageEnd();
  void Pop3ClientListBegin();
  void Pop3ClientListLine();
  void Pop3ClientListEnd() {}

 private:
  void NextStep(TPop3Request done);
  void StartMailbox();
  void MailboxDone();
  // From firstUnchecked on (when not negative) the mailboxes were not reached.
  void EndCycle(int firstUnchecked = -1);
  void AnnounceNewMail();
  void ArmMailboxDeadline();
  void ExtendMailboxDeadline(int headersToRead);
  void MailboxDeadlinePassed();
  TPOP3Object* Current();
  int ReadTimeoutMs() const;

  TCustomPop3Cli& m_client;
  MailView& m_view;
  const Clock& m_clock;
  std::unique_ptr<Timer> m_nextTimer;
  std::unique_ptr<Timer> m_deadlineTimer;
  std::vector<TPOP3Object> m_boxes;
  int m_index = -1;
  int m_msgNumber = 0;
  MessageHeaderReader m_header;
  // The LIST lines of the messages whose headers are read, by message number.
  std::vector<std::string> m_listLines;
  int m_listOffset = 0;  // messages before the first one read
  std::optional<std::vector<TPOP3Object>> m_pendingBoxes;
  std::uint64_t m_lastCycleEndTick = 0;
  bool m_cycleEnded = false;  // a cycle has ended (m_lastCycleEndTick holds)
  bool m_busy = false;
  bool m_allowed = false;
  bool m_dialogOpen = false;
  bool m_failed = false;  // a step of the current mailbox failed
  unsigned m_stepSerial = 0;
  std::uint64_t m_deadlineTick = 0;  // when the current mailbox's check must have ended
  std::int64_t m_deadlineMs = 0;     // the time it was given
  bool m_deadlinePassing = false;    // the deadline is closing the connection
  TDateTime m_lastCycleEnd = 0;
  std::string m_hint;
};

}  // namespace orva
