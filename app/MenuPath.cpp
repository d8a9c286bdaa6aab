#include "app/MenuPath.h"

namespace orvj {

void MenuPath::run(Path path, AppState& state, bool& closeOthers, const Steps& steps) {
    switch (path) {
    case Path::EditCurrentClient:
        state.editMode = true;
        state.scanEditMode = false;
        state.dialogConfirmed = false;
        closeOthers = false;
        break;
    case Path::AddNewClient:
        state.workingEditCount = 0;
        state.editMode = false;
        state.scanEditMode = false;
        break;
    case Path::SupervisorOptions:
        break;
    }
    state.testStored = false;
    steps.hideMenu();
    steps.runForms();
    if (path == Path::EditCurrentClient) {
        closeOthers = true;
    }
    steps.showMenu();
    state.testStored = true;
    steps.activate();
}

} // namespace orvj
