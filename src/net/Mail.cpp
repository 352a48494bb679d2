// The mail check cycle.
#include "net/Mail.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/HowUtils.h"
#include "core/Notices.h"
#include "net/MailPasswords.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"
#include "platform/Trim.h"

namespace orva {

namespace {

bool StartsNoCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) != prefix[i]) return false;
  return true;
}

// Header texts come as the server sends them: 8-bit bytes are taken as Windows-1252.
std::string Text(std::string_view bytes, std::size_t maxChars) {
  return Utf8Left(Cp1252ToUtf8(bytes), maxChars);
}

// "7/12/1999" -> "07/12/99": a one-digit day gets its zero and a four-digit year loses its
// century, so every date reads dd/mm/yy. Anything else is left as it came.
std::string ShortMailDate(std::string date) {
  const auto first = date.find('/');
  const auto second = first == std::string::npos ? first : date.find('/', first + 1);
  if (second == std::string::npos) return date;
  const auto digits = [](std::string_view t) {
    return !t.empty() &&
           std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  std::string day = date.substr(0, first);
  std::string year = date.substr(second + 1);
  const std::string month = date.substr(first + 1, second - first - 1);
  if (!digits(day) || !digits(month) || !digits(year)) return date;
  if (day.size() == 1) day.insert(0, "0");
  if (year.size() == 4) year.erase(0, 2);
  return day + "/" + month + "/" + year;
}

// "Tue, 07 Dec 1999 10:11:12 +0100" -> date "07/12/99", time "10:11". Whatever cannot be read
// leaves the fields as far as they came.
void ParseDate(std::string_view value, TPOP3Msg& msg) {
  std::string s(TrimBlanks(value.substr(0, 30)));
  // The weekday and its comma; a date without a weekday keeps its day.
  const auto comma = s.find(',');
  if (comma != std::string::npos && comma < 4)
    s = std::string(TrimBlanks(std::string_view(s).substr(comma + 1)));
  for (int n = 0; n < 2; ++n) {
    const auto space = s.find(' ');
    if (space == std::string::npos) return;
    s[space] = '/';
  }
  const auto space = s.find(' ');
  if (space == std::string::npos) return;
  std::string date = s.substr(0, space);
  msg.time = Utf8Left(s.substr(space + 1, 5), 12);
  msg.date = Text(ShortMailDate(NumericMailDate(date)), 24);
}

}  // namespace

void MessageHeaderReader::Add(std::string_view line) {
  ++m_lines;
  // The headers end at the first blank line; what follows is the body, whatever it says.
  if (m_inBody) return;
  if (line.empty()) {
    m_inBody = true;
    return;
  }
  if (StartsNoCase(line, "from:"))
    m_msg.sender = Text(TrimBlanks(line.substr(5)), 128);
  else if (StartsNoCase(line, "subject:"))
    m_msg.subject = Text(TrimBlanks(line.substr(8)), 128);
  else if (StartsNoCase(line, "date:"))
    ParseDate(line.substr(5), m_msg);
}

TPOP3Msg ParseMessageHeaders(const std::vector<std::string>& lines) {
  MessageHeaderReader reader;
  for (const auto& line : lines) reader.Add(line);
  return reader.Message();
}

long long ListLineBytes(std::string_view listLine) {
  const auto space = listLine.find(' ');
  if (space == std::string_view::npos) return -1;
  const auto bytes = ParseInteger64(listLine.substr(space + 1));
  return bytes && *bytes >= 0 ? *bytes : -1;
}

std::string ListLineSizeText(std::string_view listLine) {
  const long long bytes = ListLineBytes(listLine);
  if (bytes < 0) return "";
  return Utf8Left(FormatFixed(static_cast<double>(bytes) / 1024.0, 2), 12);
}

TMailCheck::TMailCheck(TCustomPop3Cli& client, MailView& view, const Clock& clock,
                       TimerFactory& timers)
    : m_client(client),
      m_view(view),
      m_clock(clock),
      m_nextTimer(timers.CreateTimer()),
      m_deadlineTimer(timers.CreateTimer()) {
  m_client.OnRequestDone = [this](TPop3Request r, int e) { Pop3ClientRequestDone(r, e); };
  m_client.OnMessageBegin = [this] { Pop3ClientMessageBegin(); };
  m_client.OnMessageLine = [this] { Pop3ClientMessageLine(); };
  m_client.OnMessageEnd = [this] { Pop3ClientMessageEnd(); };
  m_client.OnListBegin = [this] { Pop3ClientListBegin(); };
  m_client.OnListLine = [this] { Pop3ClientListLine(); };
  m_client.OnListEnd = [this] { Pop3ClientListEnd(); };
  m_client.SetReadTimer(timers.CreateTimer());
  // The next mailbox starts from the event loop, once the last one's handlers are done. The
  // cycle goes on while the mail window is open (it shows a copy); a call that ended stops it.
  m_nextTimer->SetInterval(1);
  m_nextTimer->OnTimer = [this] {
    m_nextTimer->SetEnabled(false);
    if (!m_busy) return;
    if (!m_allowed) return EndCycle(m_index);
    StartMailbox();
  };
  m_deadlineTimer->OnTimer = [this] { MailboxDeadlinePassed(); };
}

TMailCheck::~TMailCheck() {
  m_client.OnRequestDone = nullptr;
  m_client.OnMessageBegin = m_client.OnMessageLine = m_client.OnMessageEnd = nullptr;
  m_client.OnListBegin = m_client.OnListLine = m_client.OnListEnd = nullptr;
}

Status TMailCheck::LoadMailboxes(const std::string& path, SecretStore* secrets) {
  auto records = ReadPop3List(path);
  if (!records) return Status::Fail(records.error);
  (void)FillPasswords(*records, secrets);
  SetMailboxes(MailboxesFrom(*records));
  return Status::Ok();
}

void TMailCheck::SetMailboxes(std::vector<TPOP3Object> boxes) {
  if (m_busy) {
    m_pendingBoxes = std::move(boxes);
    return;
  }
  for (auto& b : boxes) {
    for (const auto& old : m_boxes) {
      if (old.server != b.server || old.port != b.port || old.user != b.user) continue;
      b.previousCount = old.previousCount;
      b.newMail = old.newMail;
      b.lastEmpty = old.lastEmpty;
      b.lastError = old.lastError;
      b.serverCount = old.serverCount;
      b.messages = old.messages;
      break;
    }
  }
  m_boxes = std::move(boxes);
  m_index = m_boxes.empty() ? -1 : 0;
}

TPOP3Object* TMailCheck::Current() {
  if (m_index < 0 || m_index >= static_cast<int>(m_boxes.size())) return nullptr;
  return &m_boxes[static_cast<std::size_t>(m_index)];
}

void TMailCheck::CallStarted() {
  m_allowed = true;
  CheckMail(true);
}

void TMailCheck::CallEnded() {
  m_allowed = false;
}

void TMailCheck::MeteringTick(bool callHasLocalAddress) {
  if (!MailCheckEnabled || m_busy || !callHasLocalAddress) return;
  // Counted from the end of the last cycle, on the steady clock.
  if (m_cycleEnded && (m_clock.TickCount() - m_lastCycleEndTick) / 60000 <
                          static_cast<std::uint64_t>(std::max(0, CheckEveryMinutes)))
    return;
  CheckMail(false);
}

void TMailCheck::CheckMail(bool forced) {
  if (!forced && !MailCheckEnabled) return;
  if (!m_allowed || m_busy || m_dialogOpen || m_boxes.empty()) return;
  // The client still busy with a session of its own: no second one over it.
  if (m_client.Busy() || m_client.Connected()) return;
  m_busy = true;
  StartMailbox();
}

void TMailCheck::StartMailbox() {
  TPOP3Object* box = Current();
  if (!box) {
    m_index = 0;
    box = Current();
  }
  box->messages.clear();
  box->lastError.clear();
  m_failed = false;
  m_view.SetMailIcon(true, true);
  m_view.SetMailIconHint("Controllo posta su " + box->Address());
  ArmMailboxDeadline();
  RunPop3Step(TPop3Request::pop3Connect);
}

int TMailCheck::ReadTimeoutMs() const {
  return std::clamp(ReadTimeoutSeconds, 1, 3600) * 1000;
}

void TMailCheck::ArmMailboxDeadline() {
  m_deadlineMs = MailboxDeadlineMs > 0 ? MailboxDeadlineMs
                                       : std::max(kDefaultMailboxDeadlineMs, 2 * ReadTimeoutMs());
  m_deadlineTick = m_clock.TickCount() + static_cast<std::uint64_t>(m_deadlineMs);
  m_deadlineTimer->SetEnabled(false);
  m_deadlineTimer->SetInterval(static_cast<int>(m_deadlineMs));
  m_deadlineTimer->SetEnabled(true);
}

void TMailCheck::ExtendMailboxDeadline(int headersToRead) {
  if (headersToRead <= 0 || MailboxDeadlineMsPerMessage <= 0 || !m_deadlineTimer->Enabled()) return;
  const std::int64_t extra = std::int64_t{headersToRead} * MailboxDeadlineMsPerMessage;
  m_deadlineMs += extra;
  m_deadlineTick += static_cast<std::uint64_t>(extra);
  const std::uint64_t now = m_clock.TickCount();
  const std::uint64_t left = m_deadlineTick > now ? m_deadlineTick - now : 1;
  m_deadlineTimer->SetEnabled(false);
  m_deadlineTimer->SetInterval(
      static_cast<int>(std::min<std::uint64_t>(left, std::numeric_limits<int>::max())));
  m_deadlineTimer->SetEnabled(true);
}

void TMailCheck::MailboxDeadlinePassed() {
  m_deadlineTimer->SetEnabled(false);
  if (!m_busy) return;
  m_failed = true;
  if (TPOP3Object* box = Current(); box && box->lastError.empty()) {
    const std::string seconds = m_deadlineMs % 1000 == 0
                                    ? std::to_string(m_deadlineMs / 1000)
                                    : FormatFixed(static_cast<double>(m_deadlineMs) / 1000.0, 1);
    box->lastError = "Tempo scaduto per la casella: controllo non finito in " + seconds + " s";
  }
  // Abort closes the connection whatever request is running. Its end is this mailbox's, not
  // the user's interruption of the cycle: the walk goes on with the next mailbox.
  m_deadlinePassing = true;
  m_client.Abort();
  m_deadlinePassing = false;
  MailboxDone();
}

const char* TMailCheck::StepName(TPop3Request step) {
  switch (step) {
    case TPop3Request::pop3Connect:
      return "Connect";
    case TPop3Request::pop3User:
      return "User";
    case TPop3Request::pop3Pass:
      return "Pass";
    case TPop3Request::pop3RPop:
      return "RPop";
    case TPop3Request::pop3APop:
      return "APop";
    case TPop3Request::pop3Stat:
      return "Stat";
    case TPop3Request::pop3List:
      return "List";
    case TPop3Request::pop3Uidl:
      return "Uidl";
    case TPop3Request::pop3Retr:
      return "Retr";
    case TPop3Request::pop3Top:
      return "Top";
    case TPop3Request::pop3Dele:
      return "Dele";
    case TPop3Request::pop3Noop:
      return "Noop";
    case TPop3Request::pop3RSet:
      return "RSet";
    case TPop3Request::pop3Last:
      return "Last";
    case TPop3Request::pop3Quit:
      return "Quit";
    case TPop3Request::pop3Abort:
      return "Abort";
  }
  return "";
}

void TMailCheck::RunPop3Step(TPop3Request step) {
  if (const TPOP3Object* box = Current()) {
    m_client.Host = box->server;
    m_client.Port = box->port;
    m_client.UserName = box->user;
    m_client.PassWord = box->password;
  }
  m_client.MsgNum = m_msgNumber;
  m_client.RequireTls = RequireEncryption;
  m_client.ReadTimeoutMs = ReadTimeoutMs();
  m_client.MaxReplyBytes = kMaxCheckReplyBytes;
  const std::string name = StepName(step);
  const unsigned serial = ++m_stepSerial;
  m_view.SetPop3Label(name + " started");
  try {
    switch (step) {
      case TPop3Request::pop3Connect:
        m_client.Connect();
        break;
      case TPop3Request::pop3User:
        m_client.User();
        break;
      case TPop3Request::pop3Pass:
        m_client.Pass();
        break;
      case TPop3Request::pop3RPop:
        m_client.RPop();
        break;
      case TPop3Request::pop3APop:
        m_client.APop();
        break;
      case TPop3Request::pop3Stat:
        m_client.Stat();
        break;
      case TPop3Request::pop3List:
        m_client.List();
        break;
      case TPop3Request::pop3Uidl:
        m_client.Uidl();
        break;
      case TPop3Request::pop3Retr:
        m_client.Retr();
        break;
      case TPop3Request::pop3Top:
        m_client.Top();
        break;
      case TPop3Request::pop3Dele:
        m_client.Dele();
        break;
      case TPop3Request::pop3Noop:
        m_client.Noop();
        break;
      case TPop3Request::pop3RSet:
        m_client.RSet();
        break;
      case TPop3Request::pop3Last:
        m_client.Last();
        break;
      case TPop3Request::pop3Quit:
        m_client.Quit();
        break;
      case TPop3Request::pop3Abort:
        m_client.Abort();
        break;
    }
  } catch (const Pop3Exception& e) {
    m_view.SetPop3Label(name + " failed (" + e.what() + ")");
    if (TPOP3Object* box = Current(); box && m_busy && box->lastError.empty())
      box->lastError = e.what();
    // A step that cannot even start ends this mailbox's check, so the cycle goes on instead of
    // staying busy for ever.
    if (m_busy && step != TPop3Request::pop3Abort) {
      m_failed = true;
      MailboxDone();
    }
    return;
  }
  // A request refused at once has already run its successors.
  if (serial == m_stepSerial) m_view.SetPop3Label(name + " ok");
}

void TMailCheck::Abort1Click() {
  RunPop3Step(TPop3Request::pop3Abort);
}

void TMailCheck::SetMailDialogOpen(bool open) {
  // Closing the window stops nothing: a running check goes on to its end.
  m_dialogOpen = open;
}

void TMailCheck::Pop3ClientRequestDone(TPop3Request request, int error) {
  if (!m_busy || m_deadlinePassing) return;
  if (request == TPop3Request::pop3Abort) {
    // The user interrupted the check: no further mailbox, no notice.
    m_nextTimer->SetEnabled(false);
    m_deadlineTimer->SetEnabled(false);
    m_failed = true;
    if (TPOP3Object* box = Current()) box->lastError = m_client.ErrorMessage();
    m_busy = false;
    m_index = 0;
    // An interrupted cycle is an ended one for the periodic check.
    m_lastCycleEnd = m_clock.Now();
    m_lastCycleEndTick = m_clock.TickCount();
    m_cycleEnded = true;
    bool any = false;
    for (const auto& b : m_boxes) any = any || !b.messages.empty();
    m_view.SetMailIcon(any, false);
    if (m_pendingBoxes) {
      SetMailboxes(std::move(*m_pendingBoxes));
      m_pendingBoxes.reset();
    }
    return;
  }
  if (request == TPop3Request::pop3Quit) {
    // What the session read holds also when QUIT went unanswered; the failure is shown.
    if (TPOP3Object* box = Current(); box && error != 0 && box->lastError.empty())
      box->lastError = m_client.ErrorMessage();
    return MailboxDone();
  }
  if (error != 0) {
    m_failed = true;
    if (TPOP3Object* box = Current(); box && box->lastError.empty())
      box->lastError = m_client.ErrorMessage();
    // Without a connection there is nothing to quit.
    if (!m_client.Connected()) return MailboxDone();
    return RunPop3Step(TPop3Request::pop3Quit);
  }
  NextStep(request);
}

void TMailCheck::NextStep(TPop3Request done) {
  switch (done) {
    case TPop3Request::pop3Connect:
      return RunPop3Step(TPop3Request::pop3User);
    case TPop3Request::pop3User:
      return RunPop3Step(TPop3Request::pop3Pass);
    case TPop3Request::pop3Pass:
      m_msgNumber = 0;
      return RunPop3Step(TPop3Request::pop3Stat);
    case TPop3Request::pop3Stat:
      m_msgNumber = 0;
      if (TPOP3Object* box = Current()) box->serverCount = m_client.MsgCount();
      // A mailbox larger than the bound shows its newest messages.
      m_listOffset = std::max(0, m_client.MsgCount() - kMaxHeadersPerCheck);
      ExtendMailboxDeadline(std::min(m_client.MsgCount(), kMaxHeadersPerCheck));
      return RunPop3Step(TPop3Request::pop3List);
    case TPop3Request::pop3List:
      m_msgNumber = m_listOffset;
      [[fallthrough]];
    case TPop3Request::pop3Top:
      m_client.MsgLines = 1;
      if (m_client.MsgCount() > 0 && m_msgNumber < m_client.MsgCount()) {
        ++m_msgNumber;
        return RunPop3Step(TPop3Request::pop3Top);
      }
      return RunPop3Step(TPop3Request::pop3Quit);
    default:
      return RunPop3Step(TPop3Request::pop3Quit);
  }
}

void TMailCheck::MailboxDone() {
  m_deadlineTimer->SetEnabled(false);
  m_view.SetMailIcon(false, false);
  m_view.SetMailIconHint("");
  if (TPOP3Object* box = Current()) {
    int count = static_cast<int>(box->messages.size());
    if (m_failed) {
      // A check that did not get through says nothing about new mail, and the count to
      // compare with next time stays the last one read.
      box->newMail = false;
    } else {
      if (box->messages.empty()) box->lastEmpty = m_clock.Now();
      count = std::max(count, box->serverCount);
      box->newMail = box->previousCount < count;
      box->previousCount = count;
    }
  }
  if (m_index + 1 < static_cast<int>(m_boxes.size())) {
    ++m_index;
    m_nextTimer->SetEnabled(true);
    return;
  }
  EndCycle();
}

void TMailCheck::EndCycle(int firstUnchecked) {
  // Mailboxes the cycle did not reach (the call ended) say so.
  for (int i = std::max(0, firstUnchecked);
       firstUnchecked >= 0 && i < static_cast<int>(m_boxes.size()); ++i)
    m_boxes[static_cast<std::size_t>(i)].lastError = "not checked: the call ended";
  m_nextTimer->SetEnabled(false);
  m_deadlineTimer->SetEnabled(false);
  m_index = 0;
  const TDateTime now = m_clock.Now();
  m_lastCycleEnd = now;
  m_lastCycleEndTick = m_clock.TickCount();
  m_cycleEnded = true;
  const std::string time = FormatDateTime("hh:mm:ss", now);
  m_hint.clear();
  std::string failures;
  bool any = false, newMail = false;
  for (const auto& b : m_boxes) {
    newMail = newMail || b.newMail;
    if (!b.lastError.empty()) {
      any = true;
      failures += (failures.empty() ? "" : "; ") + b.Address() + " (" + b.lastError + ")";
      m_hint += " " + b.Address() + " (errore: " + b.lastError + ")    ";
      continue;
    }
    if (b.messages.empty()) continue;
    any = true;
    m_hint += " " + b.Address() + " (" +
              std::to_string(std::max<std::size_t>(
                  b.messages.size(), static_cast<std::size_t>(std::max(0, b.serverCount)))) +
              ")    ";
  }
  // "Checked" only when every mailbox was; otherwise which failed and why.
  m_view.SetPop3Label(failures.empty()
                          ? "Posta controllata alle ore " + time
                          : "Controllo posta non riuscito alle ore " + time + ": " + failures);
  m_busy = false;
  m_view.SetMailIconHint(m_hint);
  m_view.SetMailIcon(any, false);
  m_view.RefreshDisplay();
  if (m_pendingBoxes) {
    SetMailboxes(std::move(*m_pendingBoxes));
    m_pendingBoxes.reset();
  }
  if (newMail) {
    m_view.PlayNewMailSound();
    AnnounceNewMail();
  }
}

void TMailCheck::Pop3ClientMessageBegin() {
  m_header.Clear();
}

void TMailCheck::Pop3ClientMessageLine() {
  m_header.Add(m_client.LastResponse());
}

void TMailCheck::Pop3ClientMessageEnd() {
  TPOP3Object* box = Current();
  if (!box || m_header.Empty()) return;
  TPOP3Msg msg = m_header.Message();
  const std::size_t position = box->messages.size();
  if (position < m_listLines.size()) {
    msg.size = ListLineSizeText(m_listLines[position]);
    msg.bytes = ListLineBytes(m_listLines[position]);
  }
  box->messages.push_back(std::move(msg));
  m_header.Clear();
}

// The mailboxes with new mail, each with its count, as a notification; the box when the
// notification cannot be had.
void TMailCheck::AnnounceNewMail() {
  std::vector<std::pair<std::string, long long>> boxes;
  for (const auto& b : m_boxes)
    if (b.newMail)
      boxes.emplace_back(b.Address(), std::max<long long>(static_cast<long long>(b.messages.size()),
                                                          b.serverCount));
  MailView* view = &m_view;
  NotifyOrBox(NotifyNewMail, notifier, NewMailNotice(boxes), [view] { view->ShowNewMailBox(); });
}

void TMailCheck::Pop3ClientListBegin() {
  m_listLines.assign(static_cast<std::size_t>(
                         std::clamp(m_client.MsgCount() - m_listOffset, 0, kMaxHeadersPerCheck)),
                     std::string());
}

void TMailCheck::Pop3ClientListLine() {
  // Only the lines of the messages whose headers are read are kept, each in its message's
  // place ("n size"), whatever the server lists besides.
  const std::string& line = m_client.LastResponse();
  const auto number = ParseInteger64(std::string_view(line).substr(0, line.find(' ')));
  if (!number || *number <= m_listOffset) return;
  const auto place = static_cast<std::size_t>(*number - m_listOffset - 1);
  if (place < m_listLines.size()) m_listLines[place] = line;
}

}  // namespace orva
