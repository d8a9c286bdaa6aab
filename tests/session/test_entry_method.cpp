#include "session/frmPresentQA.h"
#include "session/frmSelectEntryMethod.h"
#include "session/frmSelectLanguage.h"
#include "tests/support/ProgramHome.h"

using namespace orvj;
using namespace orvj::test;

namespace {

using Method = frmSelectEntryMethod;

// The supervisor aborts the test as soon as it is up; `language` is the one it presented.
void abortTestWhenUp(QString* language) {
    whenModal<frmPresentQA>([language](frmPresentQA* p) {
        *language = p->Language();
        QTest::keyClick(p, Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
    });
}

class EntryMethod : public ::testing::Test {
protected:
    EntryMethod() { home.state.clients.clientCount = 4; }
    ProgramHome home;
};

TEST_F(EntryMethod, AnswerSheetAndCancelledClientInformation) {
    const struct {
        int choice;
        bool confirm;
        QStringList forms;
    } cases[] = {
        {Method::kAnswerSheet, true, {u"clientInfo"_s, u"newEntry"_s}},
        {Method::kOnScreen, false, {u"clientInfo"_s}},
    };
    home.writeBank({{"English", standardRows("English")}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        home.launcher.calls.clear();
        home.launcher.confirmClientInfo = c.confirm;
        Method(home.state, home.services).choose(c.choice);
        EXPECT_EQ(home.launcher.calls, c.forms);
        EXPECT_EQ(home.secret.asked, 0);
    }
}

// With one table the test starts at once; the code is asked again after each cancel. Then only
// tables named "English" or "Spanish" count as languages, offered in database order (a name in
// other letter case is refused by the table below).
TEST_F(EntryMethod, OneLanguageTestsAtOnceTwoAskWhichToPresent) {
    home.writeBank({{"English", standardRows("English")}});
    home.secret.cancels = 2;
    QString presented;
    abortTestWhenUp(&presented);
    Method(home.state, home.services).choose(Method::kOnScreen);
    EXPECT_EQ(presented, u"English"_s) << "no language form with one table";
    EXPECT_EQ(
        home.boxes(),
        QStringList{u"ORV-Juvenile: This test will begin as soon as you press the Enter key."_s});
    EXPECT_EQ(home.secret.asked, 3);

    home.writeBank({{"Spanish", standardRows("Spanish")},
                    {"Notes", {}},
                    {"English", standardRows("English")}});
    whenModal<frmSelectLanguage>([&](frmSelectLanguage* l) {
        EXPECT_EQ(l->languageCaption(0), u"Spanish"_s);
        EXPECT_EQ(l->languageCaption(1), u"English"_s);
        abortTestWhenUp(&presented);
        QTest::keyClick(menuButton(l, 0), Qt::Key_Return);
    });
    Method(home.state, home.services).choose(Method::kOnScreen);
    EXPECT_EQ(presented, u"Spanish"_s);
    EXPECT_EQ(home.secret.asked, 4);
}

TEST_F(EntryMethod, ABankThatCannotCarryTheTestIsRefusedBeforeItStarts) {
    auto shortTable = standardRows("English");
    shortTable.resize(100);
    const struct {
        Tables tables;
        const char* says;
    } cases[] = {
        {{{"english", standardRows("English")}},
         "holds no question table named \"English\" or \"Spanish\""},
        {{{"English", shortTable}}, "holds 100 questions"},
        {{}, "not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        ProgramHome h;
        h.state.clients.clientCount = 4;
        if (!c.tables.empty()) {
            h.writeBank(c.tables);
        }
        Method(h.state, h.services).choose(Method::kOnScreen);
        ASSERT_EQ(h.boxes().size(), 1);
        EXPECT_TRUE(h.boxes()[0].contains(QString::fromUtf8(c.says))) << h.boxes()[0].toStdString();
        EXPECT_TRUE(h.boxes()[0].contains(u"The test cannot be given."_s));
        EXPECT_TRUE(h.state.clients.at(5).isCleared());
        EXPECT_EQ(h.state.clients.currentClient, 1);
        EXPECT_FALSE(fs::exists(h.state.paths.clientFile));
    }
}

} // namespace
