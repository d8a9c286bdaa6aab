#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/frmMyInputBox.h"

#include "core/AppState.h"
#include "store/Clock.h"
#include "store/ConfigFile.h"
#include "store/SecretCode.h"
#include "tests/support/FakeMessageService.h"
#include "tests/support/Files.h"
#include "tests/support/FormDriving.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>

using namespace orvj;
using orvj::test::FakeMessageService;
using std::chrono::seconds;

namespace {

QLineEdit* input(QWidget* box) {
    return box->findChild<QLineEdit*>(QStringLiteral("txtInput"));
}

void typeAndAccept(QWidget* box, const QString& text) {
    QTest::keyClicks(input(box), text);
    QTest::keyClick(input(box), Qt::Key_Return);
    // The box's own focus widget: under load the box may not be the active window yet.
    QTest::keyClick(box->focusWidget(), Qt::Key_Return);
}

using Step = std::function<void(frmMyInputBox*)>;

// Acts on every secret-code box that comes up with the next step, until the steps run out.
void answerBoxes(QList<Step> steps, int& seen) {
    if (steps.isEmpty()) {
        return;
    }
    test::whenModal<frmMyInputBox>([steps, &seen](frmMyInputBox* box) mutable {
        ++seen;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Secret Code"));
        EXPECT_TRUE(input(box)->text().isEmpty()) << "a fresh box for every attempt";
        steps.takeFirst()(box);
        answerBoxes(steps, seen);
    });
}

// A program folder whose ORVJTest.ini holds a Path section and, when given, a SecretCode line;
// a prompt on it with a clock that only notes its pauses.
struct PromptHome {
    explicit PromptHome(const std::string& securityLine = {}) {
        state.paths.home = folder.path();
        state.paths.configFile = folder.path() / ConfigFile::kFileName;
        test::writeFile(state.paths.configFile,
                        "[Path]\nFilePath=data\n" +
                            (securityLine.empty() ? "" : "[Security]\n" + securityLine + "\n"));
    }
    test::TempFolder folder{"orvj_secret"};
    AppState state;
    FakeMessageService messages;
    FixedClock clock{Date{2025, 3, 14}};
    InputBoxSecretCodePrompt prompt{messages, clock, state};
};

// An empty box asks for the code (Enter in the field only moves on to OK); the code shows as
// asterisks, 32 at most; every wrong code is told and a fresh box comes, until the code (in
// any case) or Cancel.
TEST(SecretCode, EmptyAndWrongCodesAreRefusedUntilTheCodeOrCancel) {
    PromptHome home;
    FakeMessageService& messages = home.messages;
    InputBoxSecretCodePrompt& prompt = home.prompt;
    const Step emptyThenTooLong = [&messages](frmMyInputBox* box) {
        QTest::keyClick(input(box), Qt::Key_Return);
        EXPECT_EQ(box->focusWidget(), menuButton(box, 0)) << "Enter only moves on";
        QTest::keyClick(menuButton(box, 0), Qt::Key_Return);
        EXPECT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown.value(0).title, QStringLiteral("Input required"));
        EXPECT_EQ(messages.shown.value(0).text,
                  QStringLiteral("Please enter the required password."));
        EXPECT_EQ(box->focusWidget(), input(box));
        QTest::keyClicks(input(box), QString(33, QLatin1Char('9')));
        EXPECT_EQ(input(box)->displayText(), QString(32, QLatin1Char('*')));
        typeAndAccept(box, QString());
    };
    const auto typed = [](const char* text) -> Step {
        return [text](frmMyInputBox* box) { typeAndAccept(box, QString::fromLatin1(text)); };
    };
    int seen = 0;
    answerBoxes({emptyThenTooLong, typed("kk"), typed("k")}, seen);
    EXPECT_TRUE(prompt.AskSecretCode(nullptr));
    answerBoxes({[](frmMyInputBox* box) { menuButton(box, 1)->click(); }}, seen);
    EXPECT_FALSE(prompt.AskSecretCode(nullptr));
    EXPECT_EQ(seen, 4);
    ASSERT_EQ(messages.shown.size(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(messages.shown[i].title, QStringLiteral("Incorrect Password"));
        EXPECT_EQ(messages.shown[i].text,
                  QStringLiteral("Incorrect Secret Code.  Please try again."));
    }
}

using Typed = QList<QString>;

// Answers the next secret-code boxes with these codes, one each; an empty entry cancels.
void typeCodes(const Typed& codes, int& seen) {
    QList<Step> steps;
    for (const QString& code : codes) {
        steps << [code](frmMyInputBox* box) {
            if (code.isEmpty()) {
                menuButton(box, 1)->click();
            } else {
                typeAndAccept(box, code);
            }
        };
    }
    answerBoxes(steps, seen);
}

// Once the office has its own code (a hash in ORVJTest.ini), "K" is refused and the office's
// code, exactly as set (capitals count), is accepted.
TEST(SecretCode, AnOfficeCodeReplacesK) {
    PromptHome home("SecretCode=" + SecretCode::hash("Bl4ckb1rd"));
    int seen = 0;
    typeCodes({QStringLiteral("K"), QStringLiteral("k"), QStringLiteral("bl4ckb1rd"),
               QStringLiteral("Bl4ckb1rd")},
              seen);
    EXPECT_TRUE(home.prompt.AskSecretCode(nullptr));
    EXPECT_EQ(seen, 4);
    ASSERT_EQ(home.messages.shown.size(), 3);
    for (const auto& box : home.messages.shown) {
        EXPECT_EQ(box.title, QStringLiteral("Incorrect Password"));
        EXPECT_EQ(box.text, QStringLiteral("Incorrect Secret Code.  Please try again."));
    }
    EXPECT_EQ(home.prompt.wrongInARow(), 0) << "the right code ends the count";
}

// The first three wrong tries in a row cost nothing; from the fourth on, each wrong try makes
// the prompt wait before it takes a code again, twice as long each time, at most 30 seconds.
// Cancelling does not end the count; the right code does. (The clock only notes the pauses.)
TEST(SecretCode, FromTheFourthWrongTryOnEachTryWaitsLonger) {
    PromptHome home;
    int seen = 0;
    typeCodes({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QString()}, seen);
    EXPECT_FALSE(home.prompt.AskSecretCode(nullptr));
    EXPECT_TRUE(home.clock.pauses.empty()) << "three wrong tries cost no pause";
    EXPECT_EQ(home.prompt.wrongInARow(), 3);

    typeCodes({QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g"),
               QStringLiteral("h"), QStringLiteral("i"), QStringLiteral("j"), QStringLiteral("K")},
              seen);
    EXPECT_TRUE(home.prompt.AskSecretCode(nullptr));
    const std::vector<seconds> waited{seconds(1),  seconds(2),  seconds(4), seconds(8),
                                      seconds(16), seconds(30), seconds(30)};
    EXPECT_EQ(home.clock.pauses, waited) << "the fourth wrong try waits a second";
    EXPECT_EQ(home.messages.shown.size(), 10);
    EXPECT_EQ(home.messages.shown.last().text,
              QStringLiteral("Incorrect Secret Code.  Please try again."));

    typeCodes({QStringLiteral("x"), QStringLiteral("k")}, seen);
    EXPECT_TRUE(home.prompt.AskSecretCode(nullptr));
    EXPECT_EQ(home.clock.pauses.size(), waited.size())
        << "after the right code the count starts anew";
    EXPECT_EQ(SecretCode::pauseAfter(100), 30);
}

// A SecretCode line that holds no Argon2id hash refuses every code, "K" too, and says the
// stored code is damaged: it never falls back to "K". Once the line is mended (here: removed),
// the next try counts.
TEST(SecretCode, ADamagedStoredCodeRefusesEveryCode) {
    const std::string hash = SecretCode::hash("Bl4ckb1rd");
    for (const std::string& line :
         {"SecretCode=" + hash.substr(0, 60), std::string("SecretCode="),
          "SecretCode=" + hash.substr(0, hash.size() - 1) + "!", std::string("SecretCode=K")}) {
        SCOPED_TRACE(line);
        PromptHome home(line);
        int seen = 0;
        typeCodes({QStringLiteral("K"), QStringLiteral("Bl4ckb1rd"), QString()}, seen);
        EXPECT_FALSE(home.prompt.AskSecretCode(nullptr));
        ASSERT_EQ(home.messages.shown.size(), 2);
        for (const auto& box : home.messages.shown) {
            EXPECT_EQ(box.title, QStringLiteral("Secret Code Damaged"));
            EXPECT_TRUE(
                box.text.contains(QString::fromStdString(home.state.paths.configFile.string())));
        }
        EXPECT_TRUE(home.clock.pauses.empty());

        test::writeFile(home.state.paths.configFile, "[Path]\nFilePath=data\n");
        typeCodes({QStringLiteral("K")}, seen);
        EXPECT_TRUE(home.prompt.AskSecretCode(nullptr));
    }
}

// While the box is up its prompt is the help: the owner's help panel does not go on showing
// the line of its choice that no longer has the focus, and shows it again once the box is gone.
TEST(SecretCode, TheOwnersHelpLineIsPutAsideWhileTheBoxIsUp) {
    PromptHome home;
    QWidget owner;
    auto* layout = new QVBoxLayout(&owner);
    layout->addWidget(makeMenuChoice(&owner, 0, QStringLiteral("Perform Operation")));
    QLabel* panel = makeMsgPanel(&owner);
    layout->addWidget(panel);
    auto* choices = new MenuChoices(&owner, panel, false);
    const QString line = QStringLiteral("Perform the selected operation.");
    choices->add(0, line);
    owner.show();
    QApplication::setActiveWindow(&owner);
    menuButton(&owner, 0)->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(panel->text(), line);

    QStringList shownUnderTheBox;
    int seen = 0;
    answerBoxes({[&](frmMyInputBox* box) {
                     shownUnderTheBox << panel->text();
                     typeAndAccept(box, QStringLiteral("wrong"));
                 },
                 [&](frmMyInputBox* box) {
                     shownUnderTheBox << panel->text();
                     menuButton(box, 1)->click();
                 }},
                seen);
    EXPECT_FALSE(home.prompt.AskSecretCode(&owner));
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(shownUnderTheBox, QStringList({QString(), QString()}));
    EXPECT_EQ(panel->text(), line);
}

} // namespace
