#include "session/frmNewEntry.h"
#include "tests/support/AuditLines.h"
#include "tests/support/ProgramHome.h"

#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

// The answer grids of client `current`: 3 is the new client, 0 is none chosen.
std::unique_ptr<frmNewEntry> openEntry(ProgramHome& h, int current, const std::string& responses) {
    h.writeBank({{"English", standardRows("English")}});
    h.registerNewClient();
    h.state.editMode = current != 3;
    h.state.clients.currentClient = static_cast<std::int16_t>(current);
    h.state.clients.current().set(ClientRecord::Field::Responses, responses);
    auto form = std::make_unique<frmNewEntry>(h.state, h.services);
    EXPECT_TRUE(showActive(form.get()));
    return form;
}

void type(const char* text) {
    QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
}

class NewEntry : public ::testing::Test {
protected:
    QTableWidget* grid(int g) const { return form->grid(g); }
    void key(Qt::Key k, int times = 1) {
        for (int i = 0; i < times; ++i) {
            press(form.get(), k);
        }
    }
    void save() { menuButton(form.get(), frmNewEntry::kSave)->click(); }

    ProgramHome home;
    std::unique_ptr<frmNewEntry> form;
};

// Keys and beeps across the grids; the focused grid lights its cursor row; a save that fails
// keeps what was typed.
TEST_F(NewEntry, GridsKeysBeepsTheLitCursorRowAndAFailedSave) {
    std::string codes(143, '0');
    codes[50] = '5';
    form = openEntry(home, 2, codes);
    EXPECT_EQ(grid(1)->item(0, 5)->text(), u"X"_s) << "a stored code is marked";
    type("3");
    EXPECT_EQ(home.messages.beeps, 1) << "no option 3 for True/False";
    type("2");
    EXPECT_EQ(grid(0)->currentRow(), 1) << "the table's own current cell follows the cursor";
    EXPECT_EQ(grid(0)->item(1, 1)->background().color(), Colors::cyan);
    key(Qt::Key_Tab);
    EXPECT_EQ(form->findChild<QLabel*>(u"MsgPanel"_s)->text(),
              u"0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, "
              "Tab=Next grid"_s);
    key(Qt::Key_Up);
    EXPECT_TRUE(grid(0)->hasFocus()) << "Up from row 1 goes to the grid before";
    EXPECT_EQ(grid(0)->verticalScrollBar()->value(), 33)
        << "entered at its last row, the grid shows its last 17 rows";
    key(Qt::Key_Up, 17);
    EXPECT_EQ(grid(0)->verticalScrollBar()->value(), 31) << "row 33 comes in under row 32";
    key(Qt::Key_Tab, 3);
    ASSERT_TRUE(grid(3)->hasFocus());
    key(Qt::Key_Down, 22);
    EXPECT_TRUE(grid(4)->hasFocus()) << "Down from the last row goes to the next grid";
    type("4");
    EXPECT_EQ(form->grids()->code(143), '4');
    EXPECT_EQ(home.messages.beeps, 2) << "stored, then the end of the last grid beeps";
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), menuButton(form.get(), frmNewEntry::kSave));

    // A failed save keeps the typed answers in the grids for another try.
    home.state.paths.clientFile = home.dir / "gone" / ClientFile::kFileName;
    save();
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_TRUE(home.messages.shown[0].text.contains(u"could not be saved"_s));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(home.state.clients.at(2).field(ClientRecord::Field::Responses)[0], '0');
    fs::create_directories(home.dir / "gone");
    save();
    EXPECT_EQ(home.storedResponses(2)[0], '2');
}

TEST(NewEntrySave, SaveAndCancelForANewAnExistingAndNoChosenClient) {
    const std::string stored(143, '1');
    const std::string typed = '2' + stored.substr(1);
    for (const int current : {3, 2, 0}) {
        for (const bool save : {true, false}) {
            SCOPED_TRACE(std::to_string(current) + (save ? " save" : " cancel"));
            ProgramHome h;
            auto form = openEntry(h, current, stored);
            const std::size_t before = auditLineCount(h.state.paths.clientFile);
            type("2");
            menuButton(form.get(), save ? frmNewEntry::kSave : frmNewEntry::kCancel)->click();
            const bool existing = current != 3, dropped = !existing && !save;
            const int slot = current == 0 ? 1 : current; // with none chosen, record 1 is edited
            EXPECT_FALSE(form->isVisible());
            EXPECT_EQ(h.state.clients.clientCount, existing || !save ? 2 : 3);
            EXPECT_EQ(h.state.clients.currentClient, dropped ? 1 : slot);
            EXPECT_EQ(h.state.clients.at(slot).field(ClientRecord::Field::Responses),
                      dropped ? std::string(143, ' ')
                      : save  ? typed
                              : stored);
            EXPECT_EQ(h.storedResponses(slot), save ? typed : existing ? stored : "");
            EXPECT_EQ(h.state.testStored, save);
            EXPECT_FALSE(h.state.editMode);
            // The trail names the record and the changed item, never the name or answers.
            const std::string record = std::to_string(slot);
            std::vector<std::string> expected;
            if (save && !existing) {
                expected = {"client added | 3 | fields Name; items 1-143",
                            "test stored | 3 | answer sheet, completed"};
            } else if (save) {
                expected = {"test stored | " + record + " | answer sheet, completed; item 1"};
            } else if (dropped) {
                expected = {"test aborted | 3 | answer sheet"};
            }
            EXPECT_EQ(auditLines(h.state.paths.clientFile, before), expected);
            EXPECT_EQ(readFile(h.dir / AuditTrail::kFileName).find("New Client"),
                      std::string::npos);
        }
    }
}

} // namespace
