#pragma once

#include "session/AudioPlayer.h"

#include <QObject>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace orvj {

// The wave-audio device on Qt Multimedia.
class QtAudioPlayer : public QObject, public AudioPlayer {
    Q_OBJECT
public:
    QtAudioPlayer();
    ~QtAudioPlayer() override;

    bool prepare() override;
    bool open(const QString& path) override;
    bool play() override;
    bool stop() override;
    void close() override;

    int errorNumber() const override { return m_errorNumber; }
    QString errorDescription() const override { return m_errorDescription; }

private:
    bool fail(int number, const QString& description);

    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    int m_errorNumber = 0;
    QString m_errorDescription;
};

std::unique_ptr<AudioPlayer> makeQtAudioPlayer();

} // namespace orvj
