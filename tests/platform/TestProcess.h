#pragma once

#include <functional>
#include <string>

// What the tests need of the operating system beyond the file layer: child processes, the
// user they run as, and the exit status of a shell command. Only this folder and
// store/platform include system headers.
namespace orvj::testplatform {

// True where a test can run part of itself in a child process (POSIX: fork). Tests that need
// one skip where there is none.
bool childProcessesAvailable();

// A child process running `body`; the child ends with body's return value (3 when it throws).
class Child {
public:
    explicit Child(const std::function<int()>& body);
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child(); // a child still running is killed and waited for

    void kill();
    // Waits for the child's end. Its exit status, or -1 when a signal ended it.
    int wait();

private:
    long m_id = -1;
};

// Gives up the administrator's rights (root's) for the rest of this process, a child's, so that
// file modes bind it. False when the system refused.
bool becomeUnprivileged();

// Runs a shell command; its exit status, or -1 when it did not end normally.
int runCommand(const std::string& command);

// Sets or removes a variable of this process's environment.
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);

// The command-line spelling of "throw the output away" for runCommand.
std::string discardOutput();

} // namespace orvj::testplatform
