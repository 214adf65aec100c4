#include "net/ftp_client.h"

#include <chrono>

#include "net/anti_freeze.h"
#include "net/net_messages.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"

namespace lark {

using namespace net_messages;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kLineBreak = "An FTP command argument contains a line break.";
constexpr const char* kNoDataConnection = "The FTP server did not open the data connection in time.";

void RefuseLineBreaks(const std::string& argument) {
  if (argument.find_first_of("\r\n") != std::string::npos) throw ENetFTPLineBreak(kLineBreak);
}

std::string LastLine(const TStringList& reply) { return reply.Empty() ? std::string() : reply.At(reply.Count() - 1); }

}  // namespace

// Publishes the data channel to Abort for exactly as long as it lives.
class TNetFTP::ChannelScope {
 public:
  ChannelScope(TNetFTP& ftp, TNetTCPConnection& channel) : ftp_(ftp) { ftp_.SetDataChannel(&channel); }
  ~ChannelScope() { ftp_.SetDataChannel(nullptr); }
  ChannelScope(const ChannelScope&) = delete;
  ChannelScope& operator=(const ChannelScope&) = delete;

 private:
  TNetFTP& ftp_;
};

TNetPassiveAddress ParsePassiveReply(const std::string& reply) {
  std::string line = Trim(reply);
  std::string fields;
  size_t open = line.find('(');
  size_t close = line.find(')');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    fields = line.substr(open + 1, close - open - 1);
  } else {
    size_t blank = line.rfind(' ');
    fields = blank == std::string::npos ? line : line.substr(blank + 1);
  }
  int numbers[6];
  size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    size_t comma = fields.find(',', start);
    std::string field = Trim(fields.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (!TryStrToInt(field, numbers[i]) || numbers[i] < 0 || numbers[i] > 255) {
      throw ENetProtocolReplyError(227, line);
    }
    start = comma == std::string::npos ? fields.size() : comma + 1;
  }
  TNetPassiveAddress address;
  address.host = std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." + std::to_string(numbers[2]) +
                 "." + std::to_string(numbers[3]);
  address.port = numbers[4] * 256 + numbers[5];
  return address;
}

std::string PortArgument(const std::string& ip, int port) {
  std::string text = ip;
  for (char& c : text) {
    if (c == '.') c = ',';
  }
  return text + "," + std::to_string(port / 256) + "," + std::to_string(port % 256);
}

// ------------------------------------------------------------ TNetSimpleServer

TNetSimpleServer::~TNetSimpleServer() { CloseListener(); }

void TNetSimpleServer::Abort() { abort_ = true; }

void TNetSimpleServer::CloseListener() {
  if (listener_) listener_->CloseSocket();
  listener_.reset();
  listening_ = false;
}

void TNetSimpleServer::Bind() {
  listener_ = std::make_unique<TNetSocketHandle>();
  listener_->Allocate();
  listener_->IP = BoundIP;
  listener_->Port = BoundPort;
  listener_->Bind();
  GSocketStack->SocketName(listener_->Handle(), listener_->IP, listener_->Port);
  BoundPort = listener_->Port;
}

void TNetSimpleServer::BeginListen() {
  ResetConnection();
  abort_ = false;
  listening_ = false;
  if (!listener_) Bind();
  listener_->Listen(1);
  listening_ = true;
}

bool TNetSimpleServer::Listen() {
  if (!listening_) BeginListen();
  const auto deadline = Clock::now() + std::chrono::milliseconds(AcceptTimeout);
  while (!abort_) {
    if (AcceptTimeout != kNoTimeLimit && Clock::now() >= deadline) return false;
    // Short waits on the listening socket: each gives the anti-freeze its
    // turn and lets an Abort act, and none spins.
    if (!listener_->Readable(kWaitSliceMs)) continue;
    socket_.Accept(listener_->Handle());
    if (AllowedPeerIP.empty() || socket_.PeerIP == AllowedPeerIP) {
      CloseListener();
      return true;
    }
    socket_.CloseSocket();  // someone else: the data must come from the server
  }
  return false;
}

// ----------------------------------------------------------------------- TNetFTP

TNetFTP::TNetFTP() { Port = 21; }

void TNetFTP::Connect(bool login) {
  TNetBusyGuard busy;
  RefuseLineBreaks(User);
  RefuseLineBreaks(Password);
  TNetTCPClient::Connect();
  owed_ = Owed::Nothing;
  try {
    GetResponse({220});
    if (!login) return;
    if (SendCmd("user " + User, {230, 331}) == 331) SendCmd("pass " + Password, 230);
    SendTransferType();
    // Servers that do not say what they are still serve files.
    int code = SendCmd("syst", -1);
    const std::string reply = LastLine(LastCmdResult());
    systemDesc_ = code / 100 == 2 ? reply.substr(std::min<size_t>(3, reply.size())) : std::string(RSFTPUnknownHost);
  } catch (...) {
    Disconnect();
    throw;
  }
}

void TNetFTP::SendTransferType() {
  SendCmd(std::string("type ") + (transferType_ == TNetFTPTransferType::ftBinary ? "I" : "A"), 200);
}

void TNetFTP::SetTransferType(TNetFTPTransferType value) {
  if (value == transferType_ || transferring_) return;
  transferType_ = value;
  SettleOwedReplies();
  if (Connected()) SendTransferType();
}

void TNetFTP::ChangeDir(const std::string& directory) {
  TNetBusyGuard busy;
  RefuseLineBreaks(directory);
  SettleOwedReplies();
  SendCmd("CWD " + directory, 250);
}

std::int64_t TNetFTP::Size(const std::string& fileName) {
  TNetBusyGuard busy;
  RefuseLineBreaks(fileName);
  SettleOwedReplies();
  if (SendCmd("SIZE " + fileName, -1) != 213) return -1;
  std::string text = Trim(LastLine(LastCmdResult()));
  size_t blank = text.find(' ');
  std::int64_t size = -1;
  if (blank == std::string::npos || !TryStrToInt64(Trim(text.substr(blank + 1)), size) || size < 0) return -1;
  return size;
}

void TNetFTP::Get(const std::string& fileName, TStream& stream) {
  TNetBusyGuard busy;
  RefuseLineBreaks(fileName);
  DataTransfer("retr " + fileName, stream);
}

void TNetFTP::Abort() {
  aborted_ = true;
  // Only the data connection is touched here, from whatever thread: the
  // control connection belongs to the running Get, which sends ABOR.
  std::lock_guard lock(channelMutex_);
  if (dataChannel_ == nullptr) return;
  if (auto* listener = dynamic_cast<TNetSimpleServer*>(dataChannel_)) listener->Abort();
  dataChannel_->Disconnect();
}

void TNetFTP::SetDataChannel(TNetTCPConnection* channel) {
  std::lock_guard lock(channelMutex_);
  dataChannel_ = channel;
}

void TNetFTP::ConfigureChannel(TNetTCPConnection& channel) const {
  // The application follows the transfer on the FTP component's own events;
  // the data moves in blocks of the size set on the FTP component.
  channel.OnWork = OnWork;
  channel.OnWorkBegin = OnWorkBegin;
  channel.OnWorkEnd = OnWorkEnd;
  channel.ReadTimeout = ReadTimeout;
  channel.SetRecvBufferSize(RecvBufferSize());
}

void TNetFTP::DataTransfer(const std::string& command, TStream& stream) {
  SettleOwedReplies();
  aborted_ = false;
  transferring_ = true;
  try {
    if (Passive) {
      PassiveTransfer(command, stream);
    } else {
      ActiveTransfer(command, stream);
    }
    if (!aborted_) FinishTransfer();
  } catch (...) {
    transferring_ = false;
    if (!aborted_) throw;
  }
  transferring_ = false;
  if (aborted_) {
    FinishAbort();
    throw ENetFTPTransferAborted(RSTransferAborted);
  }
}

void TNetFTP::AwaitReply() {
  auto lastByte = Clock::now();
  while (InputBuffer().View().find('\n') == std::string_view::npos) {
    if (aborted_) throw ENetFTPTransferAborted(RSTransferAborted);
    if (ReceiveFromSocket(true, kWaitSliceMs, nullptr, true) > 0) {
      lastByte = Clock::now();
    } else if (ReadTimeout != kNoTimeLimit && Clock::now() - lastByte > std::chrono::milliseconds(ReadTimeout)) {
      throw ENetReadTimeout(RSReadTimeout);
    }
  }
}

int TNetFTP::TransferReply(const std::vector<int>& allowed) {
  AwaitReply();
  const int code = GetResponse();
  // A final reply (not 1xx), welcome or not, settles what the command owed.
  if (owed_ == Owed::OneReply || code / 100 != 1) owed_ = Owed::Nothing;
  CheckResponse(code, allowed);
  return code;
}

void TNetFTP::SendTransferCommand(const std::string& command, Owed owed) {
  if (aborted_) throw ENetFTPTransferAborted(RSTransferAborted);
  WriteLn(command);
  owed_ = owed;
}

void TNetFTP::PassiveTransfer(const std::string& command, TStream& stream) {
  SendTransferCommand("PASV", Owed::OneReply);
  TransferReply({227});
  const int port = ParsePassiveReply(LastLine(LastCmdResult())).port;
  SendTransferCommand(command, Owed::Transfer);
  TNetTCPClient data;
  data.SocksInfo.Assign(SocksInfo);
  ConfigureChannel(data);
  // The data comes from the server we talk to, whatever address the reply
  // names: a reply naming another host must not send us there.
  data.Host = SocksInfo.Version == TSocksVersion::svNoSocks ? socket_.PeerIP : Host;
  data.Port = port;
  data.ConnectTimeout = ConnectTimeout;
  ChannelScope published(*this, data);
  if (aborted_) return;  // an Abort before the channel was published
  data.Connect();
  TransferReply({125, 150});
  data.ReadStream(stream, -1, true);
}

void TNetFTP::ActiveTransfer(const std::string& command, TStream& stream) {
  TNetSimpleServer data;
  ConfigureChannel(data);
  data.BoundIP = socket_.IP;
  data.AllowedPeerIP = socket_.PeerIP;
  data.AcceptTimeout = ConnectTimeout;
  data.BeginListen();
  ChannelScope published(*this, data);
  SendTransferCommand("PORT " + PortArgument(data.BoundIP, data.BoundPort), Owed::OneReply);
  TransferReply({200});
  SendTransferCommand(command, Owed::Transfer);
  TransferReply({125, 150});
  if (!data.Listen()) {
    if (aborted_) return;
    throw ENetConnectTimeout(kNoDataConnection);
  }
  data.ReadStream(stream, -1, true);
}

void TNetFTP::FinishTransfer() {
  TransferReply({225, 226, 250, 426, 451, 550, 552});
  if (ResultNumber() / 100 == 2) return;
  throw ENetProtocolReplyError(ResultNumber(), LastLine(LastCmdResult()));
}

void TNetFTP::FinishAbort() {
  if (!Connected()) {
    owed_ = Owed::Nothing;
    return;
  }
  try {
    if (owed_ == Owed::Transfer) {
      WriteLn("ABOR");
      owed_ = Owed::AbortReplies;
    }
    (void)ReadOwedReplies(kAbortGraceMs);
  } catch (const ENetException&) {
    // The session broke while it wound down; the abort is still what happened.
    owed_ = Owed::Nothing;
    DisconnectSocket();
  }
}

bool TNetFTP::ReadOwedReplies(int waitMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  while (owed_ != Owed::Nothing) {
    while (InputBuffer().View().find('\n') == std::string_view::npos) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      ReceiveFromSocket(true, static_cast<int>(std::min<long long>(left, kWaitSliceMs)), nullptr, true);
    }
    int code = GetResponse();
    // The transfer's own reply (426, 451, even 226) may come first; the
    // answer to ABOR is the 225 or 226 after it.
    if (owed_ != Owed::AbortReplies || code == 225 || code == 226) owed_ = Owed::Nothing;
  }
  return true;
}

void TNetFTP::SettleOwedReplies() {
  if (owed_ == Owed::Nothing || !Connected()) {
    owed_ = Owed::Nothing;
    return;
  }
  if (!ReadOwedReplies(AbortReplyTimeout)) {
    // A server that never answers cannot be told which reply is which.
    owed_ = Owed::Nothing;
    DisconnectSocket();
    throw ENetReadTimeout(RSReadTimeout);
  }
  // A second 226 (a transfer that had ended before its ABOR) arrives now;
  // what waits unasked for belongs to the past.
  PollForPeerClose(false);
  while (Connected() && InputBuffer().View().find('\n') != std::string_view::npos) (void)ReadLn();
}

}  // namespace lark
