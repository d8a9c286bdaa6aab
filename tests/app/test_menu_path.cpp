#include "app/MenuPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace orvj;
using Path = MenuPath::Path;

// The steps in the order they ran, and the flags as they stood while the forms ran.
struct PathRun {
    AppState state;
    bool closeOthers = true;
    std::vector<std::string> steps;
    bool editMode = false, scanEditMode = true, confirmed = true, stored = true, closing = true;
    int editCount = -1;

    explicit PathRun(Path path) {
        state.editMode = path != Path::EditCurrentClient;
        state.scanEditMode = true;
        state.dialogConfirmed = true;
        state.workingEditCount = 3;
        MenuPath::run(path, state, closeOthers,
                      {.hideMenu = [this] { steps.push_back("hide"); },
                       .runForms =
                           [this] {
                               steps.push_back("forms");
                               editMode = state.editMode;
                               scanEditMode = state.scanEditMode;
                               confirmed = state.dialogConfirmed;
                               stored = state.testStored;
                               closing = closeOthers;
                               editCount = state.workingEditCount;
                           },
                       .showMenu = [this] { steps.push_back("show"); },
                       .activate =
                           [this] {
                               steps.push_back(state.testStored ? "activate, list rebuilt"
                                                                : "activate");
                           }});
    }
};

const std::vector<std::string> kOrder = {"hide", "forms", "show", "activate, list rebuilt"};

TEST(MenuPath, EditSetsEditModeAndClosesTheOtherFormsAfterwards) {
    PathRun r(Path::EditCurrentClient);
    EXPECT_EQ(r.steps, kOrder);
    EXPECT_TRUE(r.editMode);
    EXPECT_FALSE(r.scanEditMode);
    EXPECT_FALSE(r.confirmed);
    EXPECT_FALSE(r.stored);
    EXPECT_FALSE(r.closing) << "no closing of forms while the path runs";
    EXPECT_TRUE(r.closeOthers);
    EXPECT_EQ(r.editCount, 3);
}

TEST(MenuPath, AddStartsANewClientWithNoEditsAndLeavesTheClosingFlag) {
    PathRun r(Path::AddNewClient);
    EXPECT_EQ(r.steps, kOrder);
    EXPECT_FALSE(r.editMode);
    EXPECT_FALSE(r.scanEditMode);
    EXPECT_TRUE(r.confirmed);
    EXPECT_EQ(r.editCount, 0);
    EXPECT_TRUE(r.closing);
    EXPECT_TRUE(r.closeOthers);
}

TEST(MenuPath, SupervisorOptionsChangeOnlyTheListFlag) {
    PathRun r(Path::SupervisorOptions);
    EXPECT_EQ(r.steps, kOrder);
    EXPECT_TRUE(r.editMode);
    EXPECT_TRUE(r.scanEditMode);
    EXPECT_TRUE(r.confirmed);
    EXPECT_FALSE(r.stored);
    EXPECT_EQ(r.editCount, 3);
}

} // namespace
