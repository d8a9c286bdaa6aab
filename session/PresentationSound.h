#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace orvj {

struct AppState;
struct Services;
class AudioPlayer;

// The sounds of the on-screen test: the wave-audio device, one sound at a time from the sound
// folder of the test's language, and the "Sound Error" box over the test for a device fault,
// also one found after a sound has started. The device is closed when this goes.
class PresentationSound {
public:
    PresentationSound(AppState& state, Services& services, QWidget* boxParent);
    ~PresentationSound();
    PresentationSound(const PresentationSound&) = delete;
    PresentationSound& operator=(const PresentationSound&) = delete;

    // False when the program has no audio device at all.
    bool hasPlayer() const { return m_audio != nullptr; }
    // Sets the device up for the test; the audio-available flag tells whether it could.
    void prepare();
    // Stops the sound before, then starts the file of the language's sound folder without
    // waiting for its end. Nothing plays while audio is not available, for an empty name or
    // for a file the folder does not hold.
    void play(const QString& fileName, const QString& language);
    void stopAll();

private:
    void showError();

    AppState& m_state;
    Services& m_services;
    QWidget* m_boxParent;
    std::unique_ptr<AudioPlayer> m_audio;
};

} // namespace orvj
