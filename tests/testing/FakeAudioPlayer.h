#pragma once

#include "testing/AudioPlayer.h"

#include <QFileInfo>
#include <QStringList>

#include <functional>
#include <memory>

namespace orvj::test {

// What the fake players of one test did: every call, and the file names that started.
struct AudioLog {
    QStringList calls;  // "prepare", "open Inst0.wav", "play", "stop", "close"
    QStringList played; // file names (no folder) of the sounds that started
    QStringList paths;  // their full paths
    bool prepareFails = false;
    QString failOpenOf;                    // file name whose open fails
    class FakeAudioPlayer* last = nullptr; // the player made most recently
    int errorNumber = 7;
    QString errorText = QStringLiteral("The wave device is busy");

    void clear() {
        calls.clear();
        played.clear();
        paths.clear();
    }
};

class FakeAudioPlayer : public AudioPlayer {
public:
    explicit FakeAudioPlayer(AudioLog& log) : m_log(log) { m_log.last = this; }
    ~FakeAudioPlayer() override {
        if (m_log.last == this) {
            m_log.last = nullptr;
        }
    }

    bool prepare() override {
        m_log.calls << QStringLiteral("prepare");
        if (m_log.prepareFails) {
            m_number = 275;
            m_text = QStringLiteral("no wave device");
            return false;
        }
        return true;
    }
    bool open(const QString& path) override {
        const QString name = QFileInfo(path).fileName();
        m_log.calls << QStringLiteral("open ") + name;
        if (name == m_log.failOpenOf) {
            m_number = m_log.errorNumber;
            m_text = m_log.errorText;
            return false;
        }
        m_open = path;
        return true;
    }
    bool play() override {
        m_log.calls << QStringLiteral("play");
        m_log.played << QFileInfo(m_open).fileName();
        m_log.paths << m_open;
        return true;
    }
    bool stop() override {
        m_log.calls << QStringLiteral("stop");
        return true;
    }
    void close() override {
        m_log.calls << QStringLiteral("close");
        m_open.clear();
    }
    int errorNumber() const override { return m_number; }
    QString errorDescription() const override { return m_text; }

    // A fault the back end reports after play() returned.
    void lateError(int number, const QString& text) {
        m_number = number;
        m_text = text;
        reportLateError();
    }

private:
    AudioLog& m_log;
    QString m_open;
    int m_number = 0;
    QString m_text;
};

inline std::function<std::unique_ptr<AudioPlayer>()> fakeAudio(AudioLog& log) {
    return [&log] { return std::make_unique<FakeAudioPlayer>(log); };
}

} // namespace orvj::test
