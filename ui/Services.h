#pragma once

#include <functional>
#include <memory>

namespace orvj {

class MessageService;
class Clock;
class ReportJobs;
class SecretCodePrompt;
class FormLauncher;
class AudioPlayer;

// The platform seams handed to every form beside AppState: the application wires the real
// ones, tests wire fakes (tests/support/FakeServices.h). The bundle is always complete: a
// form uses every seam without checking for a missing one.
struct Services {
    MessageService* messages = nullptr;
    Clock* clock = nullptr;
    ReportJobs* reports = nullptr;
    SecretCodePrompt* secretCode = nullptr;
    FormLauncher* forms = nullptr;
    // Makes the wave-audio player of one presentation.
    std::function<std::unique_ptr<AudioPlayer>()> makeAudioPlayer;
};

} // namespace orvj
