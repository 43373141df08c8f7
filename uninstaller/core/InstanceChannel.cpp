#include "uninstaller/core/InstanceChannel.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kConnectMs = 1000;
constexpr int kCloseWaitMs = 5000;
constexpr const char kCloseRequest[] = "close\n";

std::uint32_t NameHash(const std::string& name) {  // FNV-1a
  std::uint32_t hash = 2166136261u;
  for (char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
  return hash;
}

QString RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime != nullptr && runtime[0] == '/' ? QString::fromLocal8Bit(runtime) : QDir::tempPath();
}

}  // namespace

TInstanceChannel::TInstanceChannel(QObject* parent) : QObject(parent) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &TInstanceChannel::Accept);
}

QString TInstanceChannel::ChannelPath(const std::string& productName) {
  // Letters and digits of the name keep it recognisable; the hash keeps
  // names apart that differ elsewhere; the length stays within socket limits.
  QString plain;
  for (char c : productName) {
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (plain.size() < 32) plain += kept ? QChar(c) : QChar('_');
  }
  return RuntimeFolder() + "/Uninstall-" + plain + "-" + QString::number(NameHash(productName), 16);
}

bool TInstanceChannel::RequestClose(const std::string& productName) {
  QLocalSocket socket;
  socket.connectToServer(ChannelPath(productName));
  if (!socket.waitForConnected(kConnectMs)) return false;
  socket.write(kCloseRequest);
  socket.flush();
  // The first Uninstaller answers from its event loop, which may run in this
  // very process (tests): wait with events running until it hangs up.
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
  connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  limit.start(kCloseWaitMs);
  if (socket.state() != QLocalSocket::UnconnectedState) loop.exec();
  return true;
}

bool TInstanceChannel::Listen(const std::string& productName, std::function<void()> onClose) {
  onClose_ = std::move(onClose);
  const QString path = ChannelPath(productName);
  if (server_.listen(path)) return true;
  // A channel nobody answered on is left over from an Uninstaller that ended.
  QLocalServer::removeServer(path);
  return server_.listen(path);
}

void TInstanceChannel::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto answer = [this, socket] {
      if (!socket->canReadLine()) return;
      if (!socket->readLine(64).startsWith("close")) return;
      if (onClose_) onClose_();
      socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, socket, answer);
    if (socket->bytesAvailable() > 0) answer();
  }
}
