#include "tests/platform/TestProcess.h"

#include <cstdlib>

#ifdef _WIN32

#include <stdexcept>

namespace orvj::testplatform {

bool childProcessesAvailable() {
    return false;
}

Child::Child(const std::function<int()>&) {
    throw std::logic_error("no child processes on this system: check childProcessesAvailable()");
}

Child::~Child() = default;

void Child::kill() {}

int Child::wait() {
    return -1;
}

bool becomeUnprivileged() {
    return false;
}

int runCommand(const std::string& command) {
    return std::system(command.c_str());
}

std::string discardOutput() {
    return ">NUL 2>&1";
}

void setEnvironment(const std::string& name, const std::string& value) {
    ::_putenv_s(name.c_str(), value.c_str());
}

void unsetEnvironment(const std::string& name) {
    ::_putenv_s(name.c_str(), "");
}

} // namespace orvj::testplatform

#else

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace orvj::testplatform {

bool childProcessesAvailable() {
    return true;
}

Child::Child(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        int status = 3;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    m_id = pid;
}

Child::~Child() {
    if (m_id > 0) {
        kill();
        wait();
    }
}

void Child::kill() {
    if (m_id > 0) {
        ::kill(static_cast<pid_t>(m_id), SIGKILL);
    }
}

int Child::wait() {
    if (m_id <= 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(static_cast<pid_t>(m_id), &status, 0) < 0) {
        if (errno != EINTR) {
            m_id = -1;
            return -1;
        }
    }
    m_id = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool becomeUnprivileged() {
    constexpr unsigned kNobody = 65534;
    return ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

int runCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string discardOutput() {
    return ">/dev/null 2>&1";
}

void setEnvironment(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironment(const std::string& name) {
    ::unsetenv(name.c_str());
}

} // namespace orvj::testplatform

#endif
