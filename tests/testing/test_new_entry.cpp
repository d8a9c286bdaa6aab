#include "testing/frmNewEntry.h"
#include "tests/testing/TestHome.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

class NewEntry : public ::testing::Test {
protected:
    void open(bool existingClient, std::string responses = std::string(143, '0')) {
        home.writeBank({{"English", BankBuilder::standardRows("English")}});
        home.registerNewClient(2);
        if (existingClient) {
            home.state.clients.currentClient = 2;
            home.state.editMode = true;
        }
        home.state.clients.current().set(ClientRecord::Field::Responses, responses);
        form = std::make_unique<frmNewEntry>(home.state, home.services);
        ASSERT_TRUE(showActive(form.get()));
    }
    QTableWidget* grid(int g) const {
        return form->findChild<QTableWidget*>(QStringLiteral("grdResponses%1").arg(g));
    }
    QString help() const { return form->findChild<QLabel*>(QStringLiteral("MsgPanel"))->text(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { press(form.get(), k, m); }
    void type(const char* text) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClicks(w, QString::fromLatin1(text));
    }
    int cursorRow() const { return form->grids()->grid(form->grids()->currentGrid()).cursorRow; }
    int topRow(int g) const { return grid(g)->verticalScrollBar()->value() + 1; }
    QTableWidgetItem* cell(int g, int row, int column) const {
        return grid(g)->item(row - 1, column);
    }

    TestHome home;
    std::unique_ptr<frmNewEntry> form;
};

TEST_F(NewEntry, FiveGridsWithTheirFormats) {
    open(false);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Edit Client Responses"));
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("lblClientName"))->text(),
              QStringLiteral("New Client               "));
    EXPECT_EQ(grid(5), nullptr);
    const int formats[] = {0, 5, 3, 1, 2};
    const int rows[] = {50, 25, 45, 11, 12};
    const int firstItem[] = {1, 51, 76, 121, 132};
    const int columns[] = {3, 6, 5, 3, 5};
    int previousRight = -1;
    for (int g = 0; g < 5; ++g) {
        SCOPED_TRACE(g);
        QTableWidget* t = grid(g);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->property("format").toInt(), formats[g]);
        EXPECT_EQ(t->rowCount(), rows[g]);
        EXPECT_EQ(t->columnCount(), columns[g]);
        EXPECT_EQ(t->horizontalHeaderItem(0)->text(), QStringLiteral("Num"));
        EXPECT_EQ(t->horizontalHeaderItem(columns[g] - 1)->text(), QString::number(columns[g] - 1));
        EXPECT_EQ(t->item(0, 0)->text(), QStringLiteral("%1.").arg(firstItem[g]));
        EXPECT_EQ(t->item(0, 0)->foreground().color(), Colors::navy());
        EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("lblSection%1").arg(g))->text(),
                  QStringLiteral("Section %1").arg(g + 1));
        EXPECT_GT(t->x(), previousRight) << "side by side, left to right";
        previousRight = t->x() + t->width();
        for (int r = 0; r < t->rowCount(); ++r) {
            for (int c = 1; c < t->columnCount(); ++c) {
                ASSERT_EQ(t->item(r, c)->text(), QString()) << "143 zeros mark nothing";
            }
        }
    }
    EXPECT_TRUE(grid(0)->hasFocus());
    EXPECT_EQ(cursorRow(), 1);
    EXPECT_EQ(cell(0, 1, 1)->background().color(), Colors::cyan());
    EXPECT_EQ(cell(0, 2, 1)->background().color(), Colors::white());
    EXPECT_EQ(help(), QStringLiteral("0=No answer, 1=True, 2=False, Tab=Next grid"));
    EXPECT_TRUE(menuButton(form.get(), 0)->isEnabled());
}

TEST_F(NewEntry, StoredCodesAreMarked) {
    std::string codes(143, '0');
    codes[1] = '2';
    codes[50] = '5';
    codes[142] = '4';
    open(true, codes);
    EXPECT_EQ(cell(0, 2, 2)->text(), QStringLiteral("X"));
    EXPECT_EQ(cell(0, 2, 2)->background().color(), Colors::green());
    EXPECT_EQ(cell(0, 2, 1)->text(), QString());
    EXPECT_EQ(cell(1, 1, 5)->text(), QStringLiteral("X"));
    EXPECT_EQ(cell(4, 12, 4)->text(), QStringLiteral("X"));
}

TEST_F(NewEntry, DigitsPerFormatAndTheRowMarks) {
    open(false);
    type("3");
    EXPECT_EQ(home.messages.beeps, 1) << "no option 3 for True/False";
    EXPECT_EQ(cursorRow(), 1);
    type("a");
    key(Qt::Key_Return);
    EXPECT_EQ(home.messages.beeps, 3);
    key(Qt::Key_Right);
    key(Qt::Key_Left);
    EXPECT_EQ(home.messages.beeps, 3) << "Left and Right are ignored";
    type("2");
    EXPECT_EQ(cursorRow(), 2);
    EXPECT_EQ(form->grids()->code(1), '2');
    EXPECT_EQ(cell(0, 1, 2)->text(), QStringLiteral("X"));
    EXPECT_EQ(cell(0, 1, 2)->background().color(), Colors::green());
    EXPECT_EQ(cell(0, 1, 1)->background().color(), Colors::white());
    EXPECT_EQ(cell(0, 2, 1)->background().color(), Colors::cyan());
    key(Qt::Key_Up);
    EXPECT_EQ(cell(0, 1, 2)->background().color(), Colors::cyan()) << "the cursor row is cyan";
    EXPECT_EQ(cell(0, 1, 2)->text(), QStringLiteral("X"));
    type("1");
    EXPECT_EQ(cell(0, 1, 1)->text(), QStringLiteral("X"));
    EXPECT_EQ(cell(0, 1, 2)->text(), QString());

    key(Qt::Key_Tab);
    EXPECT_TRUE(grid(1)->hasFocus());
    EXPECT_EQ(help(), QStringLiteral("0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, "
                                     "4=Often, 5=Very Often, Tab=Next grid"));
    type("5");
    EXPECT_EQ(form->grids()->code(51), '5');
    key(Qt::Key_Tab);
    EXPECT_EQ(help(), QStringLiteral("0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, "
                                     "4=Very Often, Tab=Next grid"));
    const int beeps = home.messages.beeps;
    type("5");
    EXPECT_EQ(home.messages.beeps, beeps + 1);
    type("4");
    EXPECT_EQ(form->grids()->code(76), '4');
    key(Qt::Key_Tab);
    EXPECT_EQ(help(), QStringLiteral("0=No answer, 1=Yes, 2=No, Tab=Next grid"));
    type("3");
    EXPECT_EQ(home.messages.beeps, beeps + 2);
    key(Qt::Key_Tab);
    EXPECT_EQ(help(), QStringLiteral("0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"));
    key(Qt::Key_Tab);
    EXPECT_TRUE(menuButton(form.get(), 0)->hasFocus());
    EXPECT_EQ(help(), QStringLiteral("SAVE data, close this window and return to Main Menu"));
}

TEST_F(NewEntry, UpAndDownCrossGridsAndBeepAtTheEnds) {
    open(false);
    key(Qt::Key_Up);
    EXPECT_EQ(home.messages.beeps, 1);
    for (int i = 1; i < 50; ++i) {
        key(Qt::Key_Down);
    }
    EXPECT_EQ(cursorRow(), 50);
    key(Qt::Key_Down);
    EXPECT_TRUE(grid(1)->hasFocus());
    EXPECT_EQ(cursorRow(), 1);
    EXPECT_EQ(cell(0, 50, 1)->background().color(), Colors::white()) << "old row redrawn";
    key(Qt::Key_Tab);
    EXPECT_TRUE(grid(2)->hasFocus());
    key(Qt::Key_Up);
    EXPECT_TRUE(grid(1)->hasFocus()) << "Up on row 1 of section 3 goes to section 2";
    EXPECT_EQ(cursorRow(), 25);
    EXPECT_EQ(topRow(1), 9);

    // To the last row of the last grid: a digit there is stored, then Down beeps.
    grid(4)->setFocus();
    for (int i = 1; i < 12; ++i) {
        key(Qt::Key_Down);
    }
    EXPECT_EQ(cursorRow(), 12);
    const int beeps = home.messages.beeps;
    type("4");
    EXPECT_EQ(form->grids()->code(143), '4');
    EXPECT_EQ(home.messages.beeps, beeps + 1);
    EXPECT_EQ(cursorRow(), 12);
}

TEST_F(NewEntry, ScrollingAndEachGridRemembersItsRow) {
    open(false);
    for (int i = 1; i < 17; ++i) {
        type("1");
    }
    EXPECT_EQ(cursorRow(), 17);
    EXPECT_EQ(topRow(0), 1);
    key(Qt::Key_Down);
    EXPECT_EQ(cursorRow(), 18);
    EXPECT_EQ(topRow(0), 17);
    for (int i = 18; i < 36; ++i) {
        key(Qt::Key_Down);
    }
    EXPECT_EQ(topRow(0), 33) << "row 34 came into view with row 33 above it";
    key(Qt::Key_Tab);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(grid(0)->hasFocus());
    EXPECT_EQ(cursorRow(), 36) << "back on the row it had";
    EXPECT_EQ(cell(0, 36, 1)->background().color(), Colors::cyan());
    key(Qt::Key_Tab);
    EXPECT_EQ(cursorRow(), 3);
    // A click puts the cursor on a row.
    QTest::mouseClick(grid(2)->viewport(), Qt::LeftButton, {},
                      grid(2)->visualItemRect(grid(2)->item(4, 1)).center());
    EXPECT_TRUE(grid(2)->hasFocus());
    EXPECT_EQ(cursorRow(), 5);
}

TEST_F(NewEntry, SaveForANewClientStoresAndCounts) {
    open(false);
    type("12");
    key(Qt::Key_Tab);
    type("5");
    menuButton(form.get(), 0)->setFocus();
    key(Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    std::string expected(143, '0');
    expected[0] = '1';
    expected[1] = '2';
    expected[50] = '5';
    EXPECT_EQ(home.state.clients.at(3).field(ClientRecord::Field::Responses), expected);
    EXPECT_EQ(home.fileBytes().substr(2 * ClientRecord::kSize + 51, 143), expected);
    EXPECT_EQ(home.state.clients.clientCount, 3);
    EXPECT_TRUE(home.state.testStored);
    EXPECT_FALSE(home.state.editMode);
}

TEST_F(NewEntry, SaveUnchangedStoresTheZerosAgain) {
    open(false);
    menuButton(form.get(), 0)->click();
    EXPECT_EQ(home.fileBytes().substr(2 * ClientRecord::kSize + 51, 143), std::string(143, '0'));
}

TEST_F(NewEntry, SaveForAnExistingClientDoesNotCount) {
    open(true, std::string(143, '1'));
    type("2");
    menuButton(form.get(), 0)->click();
    std::string expected(143, '1');
    expected[0] = '2';
    EXPECT_EQ(home.state.clients.at(2).field(ClientRecord::Field::Responses), expected);
    EXPECT_EQ(home.fileBytes().substr(ClientRecord::kSize + 51, 143), expected);
    EXPECT_EQ(home.state.clients.clientCount, 2);
    EXPECT_FALSE(home.state.editMode);
}

TEST_F(NewEntry, NoCurrentClientEditsRecordOne) {
    home.writeBank({{"English", BankBuilder::standardRows("English")}});
    home.registerNewClient(2);
    home.state.editMode = true;
    home.state.clients.currentClient = 0;
    form = std::make_unique<frmNewEntry>(home.state, home.services);
    ASSERT_TRUE(showActive(form.get()));
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("lblClientName"))->text().trimmed(),
              QStringLiteral("Client 1"));
    EXPECT_EQ(cell(0, 1, 1)->text(), QStringLiteral("X")) << "client 1's answers are shown";
    type("2");
    menuButton(form.get(), 0)->click();
    std::string expected(143, '1');
    expected[0] = '2';
    EXPECT_EQ(home.fileBytes().substr(51, 143), expected) << "only the typed item changed";
}

TEST_F(NewEntry, CancelForANewClientClearsIt) {
    open(false);
    type("1");
    menuButton(form.get(), 1)->setFocus();
    EXPECT_EQ(help(), QStringLiteral("DISCARD data, close this window and return to Main Menu"));
    key(Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(home.state.clients.at(3).isCleared());
    EXPECT_EQ(home.state.clients.currentClient, 1);
    EXPECT_EQ(home.state.clients.clientCount, 2);
    EXPECT_EQ(home.fileBytes().size(), 2 * ClientRecord::kSize);
}

TEST_F(NewEntry, CancelForAnExistingClientKeepsItAsSaved) {
    open(true, std::string(143, '1'));
    type("2");
    menuButton(form.get(), 1)->click();
    EXPECT_EQ(home.state.clients.at(2).field(ClientRecord::Field::Responses),
              std::string(143, '1'));
    EXPECT_EQ(home.state.clients.currentClient, 2);
    EXPECT_FALSE(home.state.editMode);
}

TEST_F(NewEntry, AFailedSaveKeepsTheGridsOpen) {
    open(true, std::string(143, '1'));
    home.state.paths.clientFile = home.dir / "gone" / ClientFile::kFileName;
    type("2");
    menuButton(form.get(), 0)->click();
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_TRUE(home.messages.shown[0].text.contains(QStringLiteral("could not be saved")));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(home.state.clients.at(2).field(ClientRecord::Field::Responses), std::string(143, '1'))
        << "the record in memory stays as last saved";
    EXPECT_TRUE(menuButton(form.get(), 0)->isEnabled());
    fs::create_directories(home.dir / "gone");
    menuButton(form.get(), 0)->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(home.state.clients.at(2).field(ClientRecord::Field::Responses)[0], '2');
}

TEST_F(NewEntry, ClosingTheWindowAsksBeforeDiscardingTypedAnswers) {
    open(true, std::string(143, '1'));
    form->close();
    EXPECT_FALSE(form->isVisible()) << "nothing typed: closes at once";
    EXPECT_TRUE(home.messages.shown.isEmpty());

    form = std::make_unique<frmNewEntry>(home.state, home.services);
    home.state.editMode = true;
    ASSERT_TRUE(showActive(form.get()));
    type("2");
    home.messages.answerNext(MessageService::Answer::No);
    form->close();
    EXPECT_TRUE(form->isVisible());
    key(Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible()) << "Escape is a refused key in a grid";
}

TEST_F(NewEntry, AMissingEnglishTableIsReported) {
    home.writeBank({{"Spanish", BankBuilder::standardRows("Spanish")}});
    home.registerNewClient(2);
    form = std::make_unique<frmNewEntry>(home.state, home.services);
    form->show();
    QTRY_VERIFY(!form->isVisible());
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_TRUE(home.messages.shown[0].text.contains(QStringLiteral("\"English\"")));
    EXPECT_TRUE(home.state.clients.at(3).isCleared());
}

TEST_F(NewEntry, TheSampleBankGivesOneGridPerSection) {
    const fs::path sample = fs::path(ORVJ_SAMPLE_HOME) / QuestionBank::kFileName;
    ASSERT_TRUE(fs::exists(sample)) << sample << " is made by the build";
    fs::copy_file(sample, home.state.paths.questionBank);
    home.registerNewClient(0);
    form = std::make_unique<frmNewEntry>(home.state, home.services);
    ASSERT_TRUE(showActive(form.get()));
    ASSERT_NE(form->grids(), nullptr);
    ASSERT_EQ(form->grids()->gridCount(), 5);
    const int formats[] = {0, 5, 3, 1, 2};
    for (int g = 0; g < 5; ++g) {
        EXPECT_EQ(grid(g)->property("format").toInt(), formats[g]) << g;
        EXPECT_EQ(form->grids()->itemAt(g, 1), TestLayout::firstItemOf(g + 1)) << g;
    }
}

} // namespace
