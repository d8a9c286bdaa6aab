#include "tests/platform/TestProcess.h"

#include <cstdlib>
#include <stdexcept>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace orvj::testplatform {

// A child still running is killed and waited for (never one on Windows: m_id stays -1).
Child::~Child() {
    if (m_id > 0) {
        kill();
        wait();
    }
}

#ifdef _WIN32

bool childProcessesAvailable() {
    return false;
}

Child::Child(const std::function<int()>&) {
    throw std::logic_error("no child processes on this system: check childProcessesAvailable()");
}

void Child::kill() {}

int Child::wait() {
    return -1;
}

bool becomeUnprivileged() {
    return false;
}

bool becomeUser(unsigned, unsigned) {
    return false;
}

bool isAdministrator() {
    return false;
}

bool setLinkOwner(const std::string&, unsigned) {
    return false;
}

unsigned setFileModeMask(unsigned) {
    return 0;
}

long modeOf(const std::string&) {
    return -1;
}

long long deviceOf(const std::string&) {
    return -1;
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

#else

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

void Child::kill() {
    if (m_id > 0) {
        ::kill(static_cast<pid_t>(m_id), SIGKILL);
    }
}

int Child::wait() {
    int status = 0;
    pid_t ended = -1;
    do {
        ended = m_id > 0 ? ::waitpid(static_cast<pid_t>(m_id), &status, 0) : -1;
    } while (ended < 0 && m_id > 0 && errno == EINTR);
    m_id = -1;
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool becomeUnprivileged() {
    constexpr unsigned kNobody = 65534;
    return ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

bool becomeUser(unsigned uid, unsigned gid) {
    const gid_t groups[] = {static_cast<gid_t>(gid)};
    return ::setgroups(1, groups) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
}

bool isAdministrator() {
    return ::geteuid() == 0;
}

bool setLinkOwner(const std::string& link, unsigned uid) {
    return ::lchown(link.c_str(), static_cast<uid_t>(uid), static_cast<gid_t>(-1)) == 0;
}

unsigned setFileModeMask(unsigned mask) {
    return static_cast<unsigned>(::umask(static_cast<mode_t>(mask)));
}

long modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_mode & 07777) : -1;
}

long long deviceOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_dev) : -1;
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

#endif

} // namespace orvj::testplatform
