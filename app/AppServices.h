#pragma once

#include "ui/Services.h"

#include <memory>

namespace orvj {

struct AppState;
class MessageService;
class Clock;
class ReportJobs;
class SecretCodePrompt;
class FormLauncher;

// The real platform seams of the running program, owned for the whole run.
class AppServices {
public:
    explicit AppServices(AppState& state);
    ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    Services& services() { return m_services; }

private:
    std::unique_ptr<MessageService> m_messages;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<ReportJobs> m_reports;
    std::unique_ptr<SecretCodePrompt> m_secretCode;
    std::unique_ptr<FormLauncher> m_forms;
    Services m_services;
};

} // namespace orvj
