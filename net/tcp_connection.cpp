#include "net/tcp_connection.h"

#include <algorithm>
#include <limits>

#include "net/connection_intercept.h"
#include "net/net_exception.h"
#include "net/net_messages.h"
#include "platform/core/file_stream.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"

namespace lark {

using namespace net_messages;

namespace {

[[noreturn]] void RaiseClosedGracefully() { throw ENetConnClosedGracefully(RSConnectionClosedGracefully); }

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::min<std::int64_t>(value, std::numeric_limits<int>::max()));
}

}  // namespace

TNetTCPConnection::TNetTCPConnection() : recvBuffer_(32768) {}

TNetTCPConnection::~TNetTCPConnection() {
  // Freeing a connected client closes its socket without firing events at a
  // half-destroyed object.
  OnStatus = nullptr;
  OnDisconnected = nullptr;
  socket_.CloseSocket();
}

void TNetTCPConnection::DoOnDisconnected() {
  if (OnDisconnected) OnDisconnected(this);
}

void TNetTCPConnection::ResetConnection() {
  socket_.Reset(true);
  inputBuffer_.Clear();
  closedGracefully_ = false;
  if (!callRunning_) disconnectRequested_ = false;
  ownerThread_ = std::this_thread::get_id();
}

std::string TNetTCPConnection::ReadUntilClose() {
  std::string result;
  TWorkScope work(*this, TWorkMode::wmRead, 0);
  while (Connected()) result += ReadAvailable();
  result += ReadAvailable();
  return result;
}

void TNetTCPConnection::CheckConnectionClosed(bool raiseIfDisconnected, bool ignoreBuffer) {
  if (!closedGracefully_ && socket_.HandleAllocated() && !socket_.Interrupted()) return;
  if (socket_.HandleAllocated()) DisconnectSocket();
  if (raiseIfDisconnected && (inputBuffer_.Empty() || ignoreBuffer)) RaiseClosedGracefully();
}

void TNetTCPConnection::PollForPeerClose(bool raiseIfDisconnected) {
  // A look without waiting: a close the peer already sent is noticed, and a
  // kept-alive answer costs no extra millisecond.
  ReceiveFromSocket(raiseIfDisconnected, 0, nullptr, true);
}

void TNetTCPConnection::CheckResponse(int code, const std::vector<int>& allowed) {
  if (!allowed.empty() && std::find(allowed.begin(), allowed.end(), code) == allowed.end()) RaiseReplyError();
}

bool TNetTCPConnection::Connected() {
  CheckConnectionClosed(false, false);
  return socket_.HandleAllocated();
}

void TNetTCPConnection::Disconnect() {
  disconnectRequested_ = true;
  if (std::this_thread::get_id() != ownerThread_.load()) {
    socket_.Interrupt();
    return;
  }
  DisconnectSocket();
}

void TNetTCPConnection::DisconnectSocket() {
  if (socket_.HandleAllocated()) {
    std::string peer = socket_.PeerIP;
    DoStatus(TNetStatus::hsDisconnecting, peer);
    socket_.CloseSocket(false);
    closedGracefully_ = true;
    DoStatus(TNetStatus::hsDisconnected, peer);
    DoOnDisconnected();
  }
  if (interceptEnabled_ && intercept_ != nullptr) intercept_->Disconnect();
}

std::string TNetTCPConnection::TakeFromInputBuffer(std::int64_t n) {
  if (n > inputBuffer_.Size()) throw ENetNotEnoughDataInBuffer(RSNotEnoughDataInBuffer);
  std::string result(inputBuffer_.View().substr(0, static_cast<size_t>(n)));
  DropFromInputBuffer(n);
  return result;
}

void TNetTCPConnection::DropFromInputBuffer(std::int64_t n) {
  inputBuffer_.Remove(n);
  DoWork(TWorkMode::wmRead, n);
}

int TNetTCPConnection::GetResponse(const std::vector<int>& allowed) {
  lastCmdResult_.Clear();
  ReadReplyLines(ReadLnSkipEmpty());
  const std::string& last = lastCmdResult_.At(lastCmdResult_.Count() - 1);
  if (SameText(last.substr(0, 3), "+OK")) {
    resultNumber_ = 1;
  } else if (SameText(last.substr(0, 4), "-ERR")) {
    resultNumber_ = 0;
  } else {
    resultNumber_ = static_cast<std::int16_t>(StrToIntDef(last.substr(0, 3), 0));
  }
  CheckResponse(resultNumber_, allowed);
  return resultNumber_;
}

void TNetTCPConnection::ReadReplyLines(const std::string& first) {
  lastCmdResult_.Add(first);
  if (first.size() < 4 || first[3] != '-') return;
  // A multi-line reply ends only at its opening code followed by a blank (or
  // the code alone); other lines, short ones included, belong to it.
  const std::string code = first.substr(0, 3);
  for (;;) {
    if (lastCmdResult_.Count() >= kMaxReplyLines) throw ENetLimitExceeded(RSReplyTooLong);
    std::string line = ReadLn();
    lastCmdResult_.Add(line);
    if (SameText(line, code) || (line.size() >= 4 && SameText(line.substr(0, 4), code + " "))) return;
  }
}

void TNetTCPConnection::RaiseReplyError() {
  std::string last = lastCmdResult_.Empty() ? std::string() : lastCmdResult_.At(lastCmdResult_.Count() - 1);
  throw ENetProtocolReplyError(resultNumber_, last);
}

int TNetTCPConnection::RawReceive(char* buffer, int length, int timeoutMs) {
  if (interceptEnabled_ && intercept_ != nullptr && intercept_->ReceiveHandled()) {
    intercept_->ReceiveTimeout = timeoutMs;
    return intercept_->Receive(buffer, length);
  }
  return socket_.Recv(buffer, length);
}

int TNetTCPConnection::RawSend(const char* buffer, int length) {
  // A peer that stops reading fails the write after ReadTimeout without
  // progress; meanwhile the wait runs in slices like a read's.
  if (interceptEnabled_ && intercept_ != nullptr && intercept_->SendHandled()) {
    intercept_->SendTimeout = ReadTimeout;
    return intercept_->Send(buffer, length);
  }
  int sent = socket_.SendSome(buffer, length, ReadTimeout);
  CallNetWaitHook(false);
  return sent;
}

int TNetTCPConnection::ReceiveFromSocket(bool raiseIfDisconnected, int timeoutMs, char* buffer,
                                         bool useInputBuffer, int length) {
  CheckConnectionClosed(raiseIfDisconnected, false);
  if (!Connected()) return 0;
  if (buffer == nullptr) buffer = recvBuffer_.data();
  bool idleDeadline = timeoutMs == kNoTimeLimit;
  const int waitMs = idleDeadline ? IdleWaitMs() : timeoutMs;
  // Bytes an intercept holds already would never wake a wait on the socket.
  bool held = interceptEnabled_ && intercept_ != nullptr && intercept_->HasPendingData();
  if (!held && !socket_.Readable(waitMs)) {
    if (idleDeadline && waitMs != kNoTimeLimit) throw ENetReadTimeout(RSReadTimeout);
    return 0;
  }
  int capacity = static_cast<int>(recvBuffer_.size());
  int count = RawReceive(buffer, length > 0 ? std::min(length, capacity) : capacity, waitMs);
  if (count < 0 && GSocketStack->LastError() == winsock::WSAEWOULDBLOCK) {
    // The intercept waited for the rest of a record in vain: a time-out, not a close.
    if (idleDeadline && waitMs != kNoTimeLimit) throw ENetReadTimeout(RSReadTimeout);
    return 0;
  }
  closedGracefully_ = count == 0;
  if (count < 0) {
    int error = GSocketStack->LastError();
    if (error != winsock::WSAESHUTDOWN && socket_.HandleAllocated()) GSocketStack->RaiseSocketError(error);
    count = 0;
    closedGracefully_ = true;
    if (socket_.HandleAllocated()) DisconnectSocket();
    if (inputBuffer_.Empty()) GSocketStack->RaiseSocketError(winsock::WSAESHUTDOWN);
  }
  if (count > 0) {
    if (ASCIIFilter) {
      for (int i = 0; i < count; ++i) buffer[i] &= 0x7F;
    }
    if (useInputBuffer) {
      inputBuffer_.Append(buffer, count);
    } else {
      DoWork(TWorkMode::wmRead, count);
    }
    if (interceptEnabled_ && intercept_ != nullptr) intercept_->DataReceived(buffer, count);
  }
  CheckConnectionClosed(raiseIfDisconnected, false);
  return count;
}

int TNetTCPConnection::IdleWaitMs() const {
  if (!readDeadline_) return ReadTimeout;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*readDeadline_ - std::chrono::steady_clock::now());
  if (left.count() <= 0) throw ENetReadTimeout(RSReadTimeout);
  const int leftMs = ClampToInt(left.count());
  return ReadTimeout == kNoTimeLimit ? leftMs : std::min(ReadTimeout, leftMs);
}

std::string TNetTCPConnection::ReadLn(const std::string& terminator, int timeoutMs) {
  const std::string term = terminator.empty() ? std::string("\n") : terminator;
  readLnTimedOut_ = false;
  size_t scanned = 0;
  size_t at;
  while ((at = inputBuffer_.View().find(term, scanned)) == std::string::npos) {
    if (inputBuffer_.Size() > MaxLineLength) throw ENetLineTooLong(RSLineTooLong);
    scanned = static_cast<size_t>(std::max<std::int64_t>(0, inputBuffer_.Size() - static_cast<std::int64_t>(term.size()) + 1));
    CheckConnectionClosed(true, true);
    if (ReceiveFromSocket(true, timeoutMs, nullptr, true) == 0) {
      // A close is not a time-out: half a line must not pass for a whole one.
      CheckConnectionClosed(true, true);
      readLnTimedOut_ = true;
      return {};
    }
  }
  if (at > static_cast<size_t>(MaxLineLength)) throw ENetLineTooLong(RSLineTooLong);
  std::string line = TakeFromInputBuffer(static_cast<std::int64_t>(at + term.size()));
  line.resize(at);
  if (terminator.empty() && !line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int TNetTCPConnection::SendCmd(const std::string& text, const std::vector<int>& allowed) {
  if (!text.empty()) WriteLn(text);
  return GetResponse(allowed);
}

int TNetTCPConnection::SendCmd(const std::string& text, int allowed) {
  return SendCmd(text, allowed == -1 ? std::vector<int>{} : std::vector<int>{allowed});
}

void TNetTCPConnection::Write(const std::string& text) {
  if (!text.empty()) WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TNetTCPConnection::WriteLn(const std::string& text) { Write(text + "\r\n"); }

void TNetTCPConnection::WriteStream(TStream& stream, bool all, bool writeByteCount) {
  if (all) stream.SetPosition(0);
  std::int64_t size = stream.Size() - stream.Position();
  if (writeByteCount) WriteInteger(static_cast<std::int32_t>(size));
  TWorkScope work(*this, TWorkMode::wmWrite, size);
  std::vector<char> block(static_cast<size_t>(std::max(SendBufferSize, 1)));
  while (size > 0) {
    std::int64_t want = std::min<std::int64_t>(size, static_cast<std::int64_t>(block.size()));
    std::int64_t got = stream.Read(block.data(), want);
    if (got <= 0) throw ENetNoDataToRead(RSNoDataToRead);
    WriteBuffer(block.data(), got);
    size -= got;
  }
}

std::int64_t TNetTCPConnection::WriteFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  WriteStream(file);
  return file.Size();
}

std::string TNetTCPConnection::ReadAvailable() {
  if (Connected()) ReceiveFromSocket(false, kNoTimeLimit, nullptr, true);
  return TakeFromInputBuffer(inputBuffer_.Size());
}

void TNetTCPConnection::ReadBuffer(void* destination, std::int64_t n) {
  if (n < 1 || destination == nullptr) return;
  // A close before n bytes arrived raises even with some of them buffered.
  while (inputBuffer_.Size() < n) {
    CheckConnectionClosed(true, true);
    ReceiveFromSocket(true, kNoTimeLimit, nullptr, true);
  }
  std::copy_n(inputBuffer_.View().data(), n, static_cast<char*>(destination));
  DropFromInputBuffer(n);
}

std::int32_t TNetTCPConnection::ReadInteger(bool convert) {
  std::uint32_t value = 0;
  ReadBuffer(&value, 4);
  return static_cast<std::int32_t>(convert ? winsock::NetToHost32(value) : value);
}

std::string TNetTCPConnection::ReadLnSkipEmpty() {
  for (;;) {
    std::string line = Trim(ReadLn());
    if (!line.empty()) return line;
  }
}

void TNetTCPConnection::ReadStream(TStream& stream, std::int64_t byteCount, bool readUntilDisconnect) {
  if (byteCount == -1 && !readUntilDisconnect) byteCount = ReadInteger(true);
  std::int64_t due = readUntilDisconnect ? std::numeric_limits<std::int64_t>::max() : byteCount;
  if (auto* memory = dynamic_cast<TMemoryStream*>(&stream); memory != nullptr && !readUntilDisconnect) {
    // Room for the announced count up front, so the stream never holds its
    // bytes twice while it grows. Only room: memory is touched as bytes
    // arrive, so a count the peer made up costs address space at most.
    memory->Reserve(memory->Position() + std::min(byteCount, kMaxStreamReserve));
  }
  {
    TWorkScope work(*this, TWorkMode::wmRead, readUntilDisconnect ? 0 : byteCount);
    std::int64_t buffered = std::min(due, inputBuffer_.Size());
    if (buffered > 0) {
      stream.WriteBuffer(inputBuffer_.View().data(), buffered);
      DropFromInputBuffer(buffered);
      due -= buffered;
    }
    // The stream grows only as bytes arrive, whatever the peer announced.
    while (due > 0 && Connected()) {
      // Never more than is due: the next response may follow on the connection.
      int count = ReceiveFromSocket(!readUntilDisconnect, kNoTimeLimit, nullptr, false, ClampToInt(due));
      if (count > 0) stream.WriteBuffer(recvBuffer_.data(), count);
      due -= count;
    }
    if (due > 0 && !readUntilDisconnect) RaiseClosedGracefully();
  }
  if (stream.Size() > stream.Position()) stream.SetSize(stream.Position());
}

void TNetTCPConnection::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count < 1 || buffer == nullptr) return;
  CheckConnectionClosed(true, true);
  const char* bytes = static_cast<const char*>(buffer);
  for (std::int64_t done = 0; done < count;) {
    int sent = RawSend(bytes + done, ClampToInt(count - done));
    closedGracefully_ = sent == 0;
    // Unread input does not make a closed connection writable.
    CheckConnectionClosed(true, true);
    if (sent < 0) {
      int error = GSocketStack->LastError();
      if (error == winsock::WSAEWOULDBLOCK) throw ENetWriteTimeout(RSWriteTimeout);
      if (error == winsock::WSAESHUTDOWN && socket_.HandleAllocated()) DisconnectSocket();
      GSocketStack->RaiseSocketError(error);
    }
    DoWork(TWorkMode::wmWrite, sent);
    if (interceptEnabled_ && intercept_ != nullptr) intercept_->DataSent(bytes + done, static_cast<int>(count - done));
    done += sent;
  }
}

void TNetTCPConnection::WriteInteger(std::int32_t value, bool convert) {
  std::uint32_t raw = static_cast<std::uint32_t>(value);
  if (convert) raw = winsock::HostToNet32(raw);
  WriteBuffer(&raw, 4);
}

void TNetTCPConnection::WriteStrings(const TStrings& lines) {
  for (int i = 0; i < lines.Count(); ++i) WriteLn(lines.Get(i));
}

void TNetTCPConnection::SetIntercept(TNetConnectionIntercept* intercept) {
  intercept_ = intercept;
  if (intercept_ == nullptr) interceptEnabled_ = false;
}

void TNetTCPConnection::SetInterceptEnabled(bool enabled) {
  if (enabled && intercept_ == nullptr) throw ENetInterceptPropIsNil(RSInterceptPropIsNil);
  interceptEnabled_ = enabled;
}

void TNetTCPConnection::SetRecvBufferSize(int size) { recvBuffer_.resize(static_cast<size_t>(std::max(size, 1))); }

}  // namespace lark
