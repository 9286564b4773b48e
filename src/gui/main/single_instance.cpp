#include "gui/main/single_instance.h"

#include <unistd.h>

#include <QtCore/QCryptographicHash>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QThread>
#include <QtNetwork/QLocalServer>
#include <QtNetwork/QLocalSocket>
#include <cerrno>
#include <filesystem>

namespace twn::gui {
namespace {

constexpr char kActivate[] = "activate\n";
// The holder may have taken the lock but not yet be listening.
constexpr int kAskForMs = 1000;
constexpr int kRetryAfterMs = 50;

// Two spellings of one folder (a symbolic link) share its lock and so must share the name.
std::string CanonicalFolder(const std::string& folder) {
  std::error_code ec;
  const auto canonical = std::filesystem::canonical(folder, ec);
  return ec ? folder : canonical.string();
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() {
  // Close before unlocking: closing removes the socket file, which by then could be the next
  // holder's.
  if (server_) server_->close();
  lock_.Release();
}

QString SingleInstance::ServerName(const std::string& settings_folder) {
  const std::string folder = CanonicalFolder(settings_folder);
  const QByteArray hash =
      QCryptographicHash::hash(QByteArray::fromStdString(folder), QCryptographicHash::Sha1);
  return QStringLiteral("twn-%1-%2")
      .arg(::getuid())
      .arg(QString::fromLatin1(hash.toHex().left(16)));
}

SingleInstance::Outcome SingleInstance::Start(const std::string& settings_folder) {
  error_ = lock_.Acquire(settings_folder);
  if (error_ != 0 && error_ != EWOULDBLOCK) return Outcome::Failed;
  const QString name = ServerName(settings_folder);
  if (error_ == 0) return Listen(name);
  error_ = 0;
  return AskHolderToActivate(name) ? Outcome::ActivatedOther : Outcome::HeldElsewhere;
}

SingleInstance::Outcome SingleInstance::Listen(const QString& name) {
  // We hold the lock, so a socket of that name is left over from a holder that died.
  QLocalServer::removeServer(name);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
  // Without the socket we still own the folder; later starts then only cannot activate us.
  if (!server_->listen(name))
    qWarning("twn: cannot listen on %s: %s", qPrintable(name), qPrintable(server_->errorString()));
  return Outcome::First;
}

bool SingleInstance::AskHolderToActivate(const QString& name) {
  const QDeadlineTimer deadline(kAskForMs);
  while (true) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(int(deadline.remainingTime()))) {
      socket.write(kActivate, sizeof kActivate - 1);
      const bool sent = socket.waitForBytesWritten(kAskForMs);
      socket.disconnectFromServer();
      return sent;
    }
    if (deadline.hasExpired()) return false;
    QThread::msleep(kRetryAfterMs);
  }
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    Read(socket);  // the request may have come with the connection
  }
}

void SingleInstance::Read(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    if (socket->readLine() == kActivate) emit ActivateRequested();
  }
  // Nothing we understand is longer than a line; don't let a stranger fill our memory.
  if (socket->bytesAvailable() > 64) socket->abort();
}

}  // namespace twn::gui
