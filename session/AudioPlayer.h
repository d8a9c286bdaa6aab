#pragma once

#include <QString>

#include <functional>

namespace orvj {

// The wave-audio device of the on-screen test. One sound at a time: open a file, start it
// without waiting for its end, stop it, close the device. A failing call returns false and
// leaves an error number and description.
class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;

    // Sets the device up for wave audio; false when there is no usable device.
    virtual bool prepare() = 0;
    virtual bool open(const QString& path) = 0;
    virtual bool play() = 0;
    virtual bool stop() = 0;
    virtual void close() = 0;

    virtual int errorNumber() const = 0;
    virtual QString errorDescription() const = 0;

    // Faults the back end finds after play() has returned (a file it cannot decode) are
    // passed here with the error number and description already set.
    void setLateErrorHandler(std::function<void()> handler) { m_lateError = std::move(handler); }

protected:
    void reportLateError() {
        if (m_lateError) {
            m_lateError();
        }
    }

private:
    std::function<void()> m_lateError;
};

} // namespace orvj
