#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

namespace orvj {

// One running program per program folder and user. The first start holds a lock file and
// listens on a local socket; a later start finds the lock held, asks the first one through the
// socket to come to the front, and ends. Lock and socket live in a folder only this user can
// enter, so no other user can hold them first and keep the program from starting.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: where the lock and the socket live; empty: this user's runtimeFolder().
    explicit SingleInstance(QString key, QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The key of a program folder: the same folder gives the same key for the same user.
    static QString keyFor(const std::filesystem::path& home);

    // This user's private folder for the lock and the socket: "orvj" in $XDG_RUNTIME_DIR when
    // that is a folder of this user's that nobody else may enter, else "orvj-<user number>" in
    // the temporary folder (or, when another user took that name, "orvj-<user number>-1" to
    // "-3"), made private to this user. Empty when none can be had.
    static QString runtimeFolder();
    static QString runtimeFolder(const QString& xdgRuntimeDir, const QString& tempDir);

    enum class Result {
        First,            // this is the only instance; it now answers later starts
        OtherActivated,   // another instance runs and was asked to come to the front
        OtherUnreachable, // another instance holds the lock but did not answer
        Unguarded,        // no private lock could be had: this instance runs all the same
    };
    // waitMs: how long to keep trying to reach an instance that is still starting.
    Result claim(int waitMs = 3000);

    const QString& key() const { return m_key; }

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();

private:
    Result reachOther(int waitMs);
    QString socketName() const;
    void onNewConnection();

    QString m_key;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace orvj
