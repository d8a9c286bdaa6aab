#include "app/SingleInstance.h"

#include "store/platform/File.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::StringLiterals;

namespace orvj {
namespace {

const QByteArray kRestore = QByteArrayLiteral("restore\n");

#ifndef Q_OS_WIN
bool ownedByThisUser(const QFileInfo& info) {
    return QString::number(info.ownerId()) == QString::fromStdString(platform::userId());
}

// A folder that only this user can enter: not a link, owned by this user, no access for the
// group or others.
bool isPrivateFolder(const QString& path) {
    const QFileInfo info(path);
    constexpr QFile::Permissions kOthers = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                           QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    return !info.isSymLink() && info.isDir() && ownedByThisUser(info) &&
           (info.permissions() & kOthers) == QFile::Permissions();
}

// Makes `path` private to this user, or takes it when it already is this user's. A folder of
// this user's that others may enter is closed first; anything else under the name (another
// user's folder, a link, a file) is not used.
bool takePrivateFolder(const QString& path) {
    constexpr QFile::Permissions kOwner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (QDir().mkdir(path, kOwner)) {
        return isPrivateFolder(path);
    }
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir() || !ownedByThisUser(info)) {
        return false;
    }
    return isPrivateFolder(path) || (QFile::setPermissions(path, kOwner) && isPrivateFolder(path));
}
#endif

} // namespace

SingleInstance::SingleInstance(QString key, QString folder, QObject* parent)
    : QObject(parent), m_key(std::move(key)),
      m_folder(folder.isEmpty() ? runtimeFolder() : std::move(folder)) {
    if (!m_folder.isEmpty()) {
        m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(m_key + u".lock"_s));
        // Only a lock whose process has gone is stale; a busy first instance keeps its lock.
        m_lock->setStaleLockTime(0);
    }
}

SingleInstance::~SingleInstance() {
    if (m_server) {
        m_server->close();
    }
}

QString SingleInstance::runtimeFolder() {
    return runtimeFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath());
}

QString SingleInstance::runtimeFolder(const QString& xdgRuntimeDir, const QString& tempDir) {
#ifdef Q_OS_WIN
    // The user's own local folder, private through its access list.
    Q_UNUSED(xdgRuntimeDir);
    Q_UNUSED(tempDir);
    const QString local = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return !local.isEmpty() && QDir().mkpath(local) ? local : QString();
#else
    if (QDir::isAbsolutePath(xdgRuntimeDir) && isPrivateFolder(xdgRuntimeDir)) {
        const QString folder = QDir(xdgRuntimeDir).filePath(u"orvj"_s);
        if (takePrivateFolder(folder)) {
            return folder;
        }
    }
    const QString user = QString::fromStdString(platform::userId());
    for (int n = 0; n <= 3; ++n) {
        const QString folder = QDir(tempDir).filePath(
            u"orvj-"_s + user + (n == 0 ? QString() : u"-"_s + QString::number(n)));
        if (takePrivateFolder(folder)) {
            return folder;
        }
    }
    return {};
#endif
}

QString SingleInstance::keyFor(const std::filesystem::path& home) {
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(home, ec);
    if (ec) {
        canonical = home;
    }
    // UTF-8 everywhere: string() would take the ANSI code page on Windows.
    const std::u8string name = canonical.lexically_normal().u8string();
    std::string text(name.begin(), name.end());
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) {
        text.pop_back();
    }
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha1);
    const QString user = QString::fromStdString(platform::userId());
    return QStringLiteral("orvj-%1-%2").arg(user, QString::fromLatin1(hash.toHex().left(16)));
}

SingleInstance::Result SingleInstance::claim(int waitMs) {
    if (!m_lock) {
        qWarning("ORV-Juvenile: no private folder for the lock of a single instance; "
                 "starting without it");
        return Result::Unguarded;
    }
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            qWarning("ORV-Juvenile: the lock of a single instance in %s cannot be taken; "
                     "starting without it",
                     qUtf8Printable(m_folder));
            return Result::Unguarded;
        }
        return reachOther(waitMs);
    }
    // A socket left behind by an instance that crashed would block listen().
    const QString socket = socketName();
    QLocalServer::removeServer(socket);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (!m_server->listen(socket)) {
        // This instance runs; a later start will find it unreachable and say so.
        qWarning("ORV-Juvenile: cannot listen on %s: %s", qUtf8Printable(socket),
                 qUtf8Printable(m_server->errorString()));
    }
    return Result::First;
}

QString SingleInstance::socketName() const {
    return QDir(m_folder).filePath(m_key + u".socket"_s);
}

SingleInstance::Result SingleInstance::reachOther(int waitMs) {
    // The first instance may hold the lock and not yet listen: keep trying a little while.
    QDeadlineTimer deadline(waitMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketName());
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
