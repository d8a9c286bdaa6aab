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

// Becomes the user `uid` with the one group `gid` for the rest of this process (a child's), as
// another account of a shared folder would be. False when the system refused (not root).
bool becomeUser(unsigned uid, unsigned gid);

// True when this process runs as the administrator (root), who can play other users.
bool isAdministrator();

// Gives a link (not its target) to the user `uid`. False when the system refused.
bool setLinkOwner(const std::string& link, unsigned uid);

// Sets the mask of the modes new files do not get; returns the mask it replaced.
unsigned setFileModeMask(unsigned mask);

// The permission bits of a file or folder (links followed), or -1 when it cannot be read.
long modeOf(const std::string& path);

// The device a file or folder lies on, to tell two file systems apart; -1 when unknown.
long long deviceOf(const std::string& path);

// Runs a shell command; its exit status, or -1 when it did not end normally.
int runCommand(const std::string& command);

// Sets or removes a variable of this process's environment.
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);

// The command-line spelling of "throw the output away" for runCommand.
std::string discardOutput();

} // namespace orvj::testplatform
