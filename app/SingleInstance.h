#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>

namespace orvj {

// One running program per program folder. The first start holds a lock file and listens on
// a local socket; a later start finds the lock held, asks the first one through the socket
// to come to the front, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The key of a program folder: the same folder gives the same key for the same user.
    static QString keyFor(const std::filesystem::path& home);

    enum class Result {
        First,            // this is the only instance; it now answers later starts
        OtherActivated,   // another instance runs and was asked to come to the front
        OtherUnreachable, // another instance holds the lock but did not answer
    };
    // waitMs: how long to keep trying to reach an instance that is still starting.
    Result claim(int waitMs = 3000);

    const QString& key() const { return m_key; }

signals:
    // A later start asked this instance to come to the front.
    void activationRequested();

private:
    void onNewConnection();

    QString m_key;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace orvj
