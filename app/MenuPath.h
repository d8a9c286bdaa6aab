#pragma once

#include "core/AppState.h"

#include <functional>

namespace orvj {

// The three work paths of the main menu. Each sets its run-time flags, then the menu frame
// is hidden, the path's forms run, the frame comes back and the menu's activation rebuilds
// the client list. The form supplies the steps; this class holds their order and the flags.
class MenuPath {
public:
    enum class Path { EditCurrentClient, AddNewClient, SupervisorOptions };

    struct Steps {
        std::function<void()> hideMenu;
        std::function<void()> runForms;
        std::function<void()> showMenu;
        std::function<void()> activate;
    };

    // closeOthers is the menu's "close the other forms at the next activation" flag: the Edit
    // path clears it while its forms run and sets it when they are done.
    static void run(Path path, AppState& state, bool& closeOthers, const Steps& steps);
};

} // namespace orvj
