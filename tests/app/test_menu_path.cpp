#include "app/MenuPath.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using namespace orvj;
using Path = MenuPath::Path;

// Every path hides the menu, runs its forms with the test marked as not stored, shows the
// menu and activates it with the list rebuilt. Each starts from edit mode set (but the Edit
// path, which must set it itself), scanning and a confirmed dialog, three edits, and the
// "close the other forms" flag set; the flags are read while the forms run.
TEST(MenuPath, EachPathSetsItsFlagsForItsFormsAndRebuildsTheListAfter) {
    // editMode, scanEditMode, dialogConfirmed, testStored, closeOthers, workingEditCount
    using Flags = std::array<int, 6>;
    const struct {
        const char* name;
        Path path;
        Flags whileFormsRun;
    } rows[] = {
        // Edit opens the client form afresh and closes no forms while its own run.
        {"edit", Path::EditCurrentClient, {1, 0, 0, 0, 0, 3}},
        {"add", Path::AddNewClient, {0, 0, 1, 0, 1, 0}},
        {"supervisor", Path::SupervisorOptions, {1, 1, 1, 0, 1, 3}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AppState state;
        state.editMode = row.path != Path::EditCurrentClient;
        state.scanEditMode = state.dialogConfirmed = state.testStored = true;
        state.workingEditCount = 3;
        bool closeOthers = true;
        std::string steps;
        Flags flags{};
        MenuPath::run(
            row.path, state, closeOthers,
            {.hideMenu = [&] { steps += "hide, "; },
             .runForms =
                 [&] {
                     steps += "forms, ";
                     flags = {state.editMode,   state.scanEditMode, state.dialogConfirmed,
                              state.testStored, closeOthers,        state.workingEditCount};
                 },
             .showMenu = [&] { steps += "show, "; },
             .activate = [&] { steps += state.testStored ? "list rebuilt" : "activate"; }});
        EXPECT_EQ(steps, "hide, forms, show, list rebuilt");
        EXPECT_EQ(flags, row.whileFormsRun);
        EXPECT_TRUE(closeOthers);
    }
}

} // namespace
