#pragma once

// The blocking FTP client: log in, change directory, ask a size and retrieve
// a file over a data connection the client opens (passive) or accepts
// (active, through a one-connection listener).

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "net/net_exception.h"
#include "net/tcp_client.h"

namespace lark {

class TStream;

enum class TNetFTPTransferType { ftBinary, ftASCII };

// A transfer the user stopped: the download was not finished, and nothing
// needs saying about it.
class ENetFTPTransferAborted : public ENetTransferAborted {
 public:
  using ENetTransferAborted::ENetTransferAborted;
};

// A name or argument that would end its command line early.
class ENetFTPLineBreak : public ENetException {
 public:
  using ENetException::ENetException;
};

// Listens for exactly one connection, which then becomes its socket.
class TNetSimpleServer : public TNetTCPConnection {
 public:
  ~TNetSimpleServer() override;

  // May come from another thread or a message handler: Listen gives up.
  virtual void Abort();
  virtual void BeginListen();
  virtual void Bind();
  // Waits for the connection until AcceptTimeout passes or Abort is called,
  // and answers whether one was accepted. Connections from any address but
  // AllowedPeerIP (when set) are closed and the wait goes on.
  virtual bool Listen();

  std::string BoundIP;
  // 0: any free port; the chosen one is read back after Bind.
  int BoundPort = 0;
  int AcceptTimeout = 60000;
  std::string AllowedPeerIP;

 private:
  void CloseListener();

  std::atomic<bool> abort_{false};
  std::unique_ptr<TNetSocketHandle> listener_;
  bool listening_ = false;
};

class TNetFTP : public TNetTCPClient {
 public:
  TNetFTP();

  // Reads the greeting, and with login sends the user, password, transfer
  // type and "syst".
  void Connect(bool login);
  void Connect() override { Connect(true); }
  void ChangeDir(const std::string& directory);
  // The size the server reports, -1 when it reports none.
  [[nodiscard]] std::int64_t Size(const std::string& fileName);
  // Retrieves the file into stream. A transfer the server reports as failed
  // raises ENetProtocolReplyError; one stopped by Abort raises
  // ENetFTPTransferAborted.
  void Get(const std::string& fileName, TStream& stream);
  // May come from another thread or a message handler run during Get, at
  // any point of it: the data connection closes at once, and the running
  // Get sends ABOR and ends within a slice and kAbortGraceMs.
  virtual void Abort();

  [[nodiscard]] TNetFTPTransferType TransferType() const { return transferType_; }
  void SetTransferType(TNetFTPTransferType value);
  [[nodiscard]] const std::string& SystemDesc() const { return systemDesc_; }

  std::string User;
  bool Passive = false;
  std::string Password;
  // How long the next command waits for the replies an aborted transfer
  // left owed (the answer to ABOR, or to a PASV or PORT the abort cut
  // short) before it gives the session up and closes the control connection.
  int AbortReplyTimeout = 3000;

 private:
  // Replies the server owes the control connection for a transfer.
  enum class Owed { Nothing, OneReply, Transfer, AbortReplies };
  void SendTransferType();
  void DataTransfer(const std::string& command, TStream& stream);
  void PassiveTransfer(const std::string& command, TStream& stream);
  void ActiveTransfer(const std::string& command, TStream& stream);
  void FinishTransfer();
  // Waits for the next reply line in slices, so that an Abort acts within
  // one; raises ENetFTPTransferAborted when the transfer was aborted first,
  // ENetReadTimeout when nothing came for ReadTimeout.
  void AwaitReply();
  int TransferReply(const std::vector<int>& allowed);
  void SendTransferCommand(const std::string& command, Owed owed);
  // Ends an aborted transfer: ABOR when one is running, and its replies
  // read within kAbortGraceMs (else left owed to the next command).
  void FinishAbort();
  // Reads owed replies until waitMs passes; answers whether they all came.
  bool ReadOwedReplies(int waitMs);
  // Before a command: what an aborted transfer left owed comes in within
  // AbortReplyTimeout, or the control connection is closed and the command
  // raises ENetReadTimeout.
  void SettleOwedReplies();
  void ConfigureChannel(TNetTCPConnection& channel) const;
  void SetDataChannel(TNetTCPConnection* channel);
  class ChannelScope;

  std::string systemDesc_;
  TNetFTPTransferType transferType_ = TNetFTPTransferType::ftBinary;
  std::mutex channelMutex_;
  TNetTCPConnection* dataChannel_ = nullptr;
  bool transferring_ = false;
  std::atomic<bool> aborted_{false};
  Owed owed_ = Owed::Nothing;
};

// How long an aborted Get waits for the server's answer to ABOR before it
// returns, leaving the rest to the next command.
constexpr int kAbortGraceMs = 300;

// The address and port a PASV reply names (exposed for tests); a reply
// without six numbers from 0 to 255 raises ENetProtocolReplyError.
struct TNetPassiveAddress {
  std::string host;
  int port = 0;
};
[[nodiscard]] TNetPassiveAddress ParsePassiveReply(const std::string& reply);
// The argument of a PORT command for an IPv4 address and port.
[[nodiscard]] std::string PortArgument(const std::string& ip, int port);

}  // namespace lark
