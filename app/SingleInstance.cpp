#include "app/SingleInstance.h"

#include "store/platform/File.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace orvj {
namespace {

const QByteArray kRestore = QByteArrayLiteral("restore\n");

} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), m_key(std::move(key)),
      m_lock(QDir(QDir::tempPath()).filePath(m_key + QStringLiteral(".lock"))) {
    // Only a lock whose process has gone is stale; a busy first instance keeps its lock.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (m_server) {
        m_server->close();
    }
}

QString SingleInstance::keyFor(const std::filesystem::path& home) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(home, ec);
    if (ec) {
        canonical = home;
    }
    std::string text = canonical.lexically_normal().string();
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) {
        text.pop_back();
    }
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha1);
    const QString user = QString::fromStdString(platform::userId());
    return QStringLiteral("orvj-%1-%2").arg(user, QString::fromLatin1(hash.toHex().left(16)));
}

SingleInstance::Result SingleInstance::claim(int waitMs) {
    if (m_lock.tryLock(0)) {
        // A socket left behind by an instance that crashed would block listen().
        QLocalServer::removeServer(m_key);
        m_server = std::make_unique<QLocalServer>();
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server.get(), &QLocalServer::newConnection, this,
                &SingleInstance::onNewConnection);
        m_server->listen(m_key);
        return Result::First;
    }
    // The first instance may hold the lock and not yet listen: keep trying a little while.
    QDeadlineTimer deadline(waitMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(200)) {
            socket.write(kRestore);
            socket.flush();
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return Result::OtherActivated;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return Result::OtherUnreachable;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto readRequest = [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kRestore) {
                emit activationRequested();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
    }
}

} // namespace orvj
