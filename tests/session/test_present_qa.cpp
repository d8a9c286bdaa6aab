#include "session/frmPresentQA.h"
#include "tests/support/AuditLines.h"
#include "tests/support/ProgramHome.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>

#include <set>

using namespace orvj;
using namespace orvj::test;

namespace {

class PresentQA : public ::testing::Test {
protected:
    void open(const std::string& language = "English",
              std::vector<QuestionRow> rows = standardRows("English")) {
        home.writeSounds(language, rows);
        home.registerNewClient();
        form = std::make_unique<frmPresentQA>(home.state, home.services);
        form->setLanguage(QString::fromStdString(language));
        form->setQuestions(std::move(rows));
        ASSERT_TRUE(showActive(form.get()));
    }
    QPlainTextEdit* question() const { return form->findChild<QPlainTextEdit*>(u"txtQuestion"_s); }
    QString screen() const {
        return form->findChild<QPlainTextEdit*>(u"txtInstructions"_s)->toPlainText();
    }
    QAbstractButton* option(int k) const { return menuButton(form.get(), k); }
    QString help() const { return form->findChild<QLabel*>(u"MsgPanel"_s)->text(); }
    QString lastSound() const { return home.audio.played.value(home.audio.played.size() - 1); }
    void key(Qt::Key k, int times = 1, Qt::KeyboardModifiers m = Qt::NoModifier) {
        for (int i = 0; i < times; ++i) {
            press(form.get(), k, m);
        }
    }

    // From the question box: Down to option `k` (1-based), then Enter.
    void answer(int k) {
        ASSERT_TRUE(question()->hasFocus()) << "item " << form->item();
        key(Qt::Key_Down, k);
        ASSERT_TRUE(option(k - 1)->hasFocus());
        key(Qt::Key_Return);
    }

    ProgramHome home;
    std::unique_ptr<frmPresentQA> form;
};

// All 143 items in one run: only Enter and Tab leave a screen; item 1 has a hidden option and a
// missing option sound; the sound of item 2 cannot be opened and a late device error follows;
// one step back across the start of section 2 and one from the last item; the first write of the
// answers fails (its folder is gone) and the retry the box offers stores them.
TEST_F(PresentQA, AWholeTestWithItsScreensKeysSoundErrorsAndARetriedWrite) {
    auto rows = standardRows("English");
    rows[0].answers[3] = "Fourth"; // item 1: options 1, 2 and 4
    rows[0].choiceAudio[3] = "Q001A4";
    open("English", rows);
    EXPECT_EQ(home.audio.played, QStringList{u"Inst0.wav"_s});
    key(Qt::Key_A);
    key(Qt::Key_F10);
    EXPECT_TRUE(screen().startsWith(u"General Instructions"_s));
    EXPECT_EQ(home.messages.beeps, 0) << "F10 is ignored while a screen is up";
    key(Qt::Key_Tab);
    EXPECT_TRUE(screen().startsWith(u"Section 1\n"_s));
    EXPECT_EQ(lastSound(), u"Inst1.wav"_s);
    key(Qt::Key_Return);
    EXPECT_EQ(help(), u"Use Up or Down arrow keys to highlight answer, then press Enter. Press the "
                      "F10 key to go back to the previous question."_s);
    key(Qt::Key_F10);
    EXPECT_EQ(home.messages.beeps, 1) << "item 1 has nothing before it";

    EXPECT_FALSE(option(2)->isVisible());
    fs::remove(home.soundFolder("English") / "Q001A2.wav"); // a missing file is skipped quietly
    home.audio.played.clear();
    key(Qt::Key_Down, 4);
    EXPECT_TRUE(option(3)->hasFocus()) << "past the hidden option 3, and no further";
    EXPECT_EQ(help(),
              u"Press enter to select this answer. Press Tab or Arrows to hear question again."_s);
    key(Qt::Key_Up, 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(home.audio.played, (QStringList{u"Q001A1.wav"_s, u"Q001A4.wav"_s, u"Q001A1.wav"_s,
                                              u"Q001.wav"_s, u"Q001A1.wav"_s}));
    key(Qt::Key_Down, 2);
    // A sound that cannot be played is shown, and the test goes on.
    home.audio.failOpenOf = u"Q002.wav"_s;
    key(Qt::Key_Return);
    EXPECT_EQ(home.state.responses[1], 4);
    // The first box of the run: the missing option sound above was skipped without one.
    EXPECT_EQ(home.boxes().value(0), u"Sound Error: Error 7:The wave device is busy"_s);
    home.audio.last->number = 105;
    home.audio.last->text = u"Could not decode the sound file"_s;
    home.audio.last->reportLateError(); // found by the device after play() returned
    EXPECT_EQ(home.boxes().last(), u"Sound Error: Error 105:Could not decode the sound file"_s);

    home.state.paths.clientFile = home.dir / "gone" / ClientFile::kFileName;
    home.messages.onShow([this](const auto&) { fs::create_directories(home.dir / "gone"); });
    auto choice = [](int item) { return item % InventoryLayout::optionCount(item) + 1; };
    std::vector<int> screensSeen;
    std::set<int> stepBackFrom = {51, 143};
    std::string expected = '4' + std::string(142, '0');
    for (int item = 2; item <= 143; ++item) {
        if (form->instructionsShown()) {
            const int section = InventoryLayout::sectionOf(item);
            screensSeen.push_back(item);
            EXPECT_TRUE(screen().startsWith(u"Section %1\n"_s.arg(section)));
            EXPECT_EQ(lastSound(), u"Inst%1.wav"_s.arg(section));
            key(Qt::Key_Return);
        }
        ASSERT_EQ(question()->toPlainText(), u"%1. English question %1"_s.arg(item));
        if (item > 2) { // item 2's sound could not be opened
            EXPECT_EQ(lastSound(), u"Q%1.wav"_s.arg(item, 3, 10, QLatin1Char('0')));
        }
        if (stepBackFrom.erase(item) == 1) {
            key(Qt::Key_F10); // back to the item before without a screen, then on again
            item -= 2;
            continue;
        }
        expected[static_cast<std::size_t>(item - 1)] = static_cast<char>('0' + choice(item));
        answer(choice(item));
    }
    EXPECT_EQ(screensSeen, (std::vector<int>{51, 51, 76, 121, 132}));
    EXPECT_FALSE(form->isVisible()) << "the answer to item 143 ends the test";
    EXPECT_EQ(home.boxes().filter(u"The client's answers could not be saved."_s).size(), 1)
        << "the second try found the folder back";
    EXPECT_EQ(home.state.clients.at(3).field(ClientRecord::Field::Responses), expected);
    EXPECT_EQ(home.storedResponses(3), expected);
    EXPECT_EQ(home.state.clients.clientCount, 3);
    EXPECT_TRUE(home.state.testStored);
}

// In Spanish (the English texts are checked in the walk above) and without a sound device.
TEST_F(PresentQA, OnlyTheSupervisorsKeysEndTheTestAndNothingPlaysWithoutADevice) {
    home.audio.prepareFails = true;
    open("Spanish", standardRows("Spanish"));
    EXPECT_EQ(help(), u"Oprima la tecla «Enter» para comenzar."_s);
    EXPECT_FALSE(form->close()) << "the window's close box is ignored";
    key(Qt::Key_Return, 2);
    key(Qt::Key_Down);
    EXPECT_EQ(help(), u"Escoja una respuesta y oprima la tecla «Enter»."_s)
        << "no sound to hear again";
    key(Qt::Key_Return);
    key(Qt::Key_Escape);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(home.audio.played.isEmpty());
    key(Qt::Key_F10, 1, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(home.state.dialogConfirmed);
    EXPECT_TRUE(home.state.clients.at(3).isCleared());
    EXPECT_EQ(home.state.clients.currentClient, 1);
    EXPECT_EQ(home.state.clients.clientCount, 2);
    EXPECT_EQ(home.storedResponses(3), "") << "nothing written";
    EXPECT_TRUE(home.messages.shown.isEmpty());
}

} // namespace

// Choosing an option the next item does not have moves the focus on while that item's texts go
// in: the next question is read out once, not twice.
TEST_F(PresentQA, TheNextQuestionIsReadOnceWhenTheChosenOptionGoes) {
    auto rows = standardRows("English");
    rows[0].answers[3] = "Fourth";
    rows[0].choiceAudio[3] = "Q001A4";
    open("English", rows);
    key(Qt::Key_Tab);
    key(Qt::Key_Return);
    key(Qt::Key_Down, 3);
    ASSERT_TRUE(option(3)->hasFocus());
    home.audio.played.clear();
    key(Qt::Key_Return);
    ASSERT_FALSE(option(3)->isVisible());
    EXPECT_EQ(home.audio.played, QStringList{u"Q002.wav"_s});
    EXPECT_TRUE(question()->hasFocus());
    EXPECT_TRUE(help().startsWith(u"Use Up or Down arrow keys"_s));
}

// A completed test adds the client and stores the test; a test the supervisor ends is recorded
// as aborted. The lines name record numbers and fields, never the name or the answers.
TEST_F(PresentQA, ACompletedAndAnAbortedTestAreRecordedInTheAuditTrail) {
    open();
    const std::size_t before = auditLineCount(home.state.paths.clientFile);
    for (int item = 1; item <= 143; ++item) {
        while (form->instructionsShown()) {
            key(Qt::Key_Return);
        }
        answer(1);
    }
    ASSERT_FALSE(form->isVisible());
    EXPECT_EQ(auditLines(home.state.paths.clientFile, before),
              (std::vector<std::string>{"client added | 3 | fields Name; items 1-143",
                                        "test stored | 3 | on-screen, completed"}));

    home.state.clients.currentClient = 4;
    home.state.clients.current().set(ClientRecord::Field::Name, "Second Client");
    home.state.clients.current().set(ClientRecord::Field::Responses, std::string(143, '0'));
    home.state.dialogConfirmed = true;
    form = std::make_unique<frmPresentQA>(home.state, home.services);
    form->setLanguage(u"English"_s);
    form->setQuestions(standardRows("English"));
    ASSERT_TRUE(showActive(form.get()));
    key(Qt::Key_Return, 2);
    answer(2);
    key(Qt::Key_F10, 1, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    ASSERT_FALSE(form->isVisible());
    EXPECT_EQ(auditLines(home.state.paths.clientFile, before + 2),
              std::vector<std::string>{"test aborted | 4 | on-screen"});
    const std::string trail = readFile(home.dir / AuditTrail::kFileName);
    EXPECT_EQ(trail.find("Client"), std::string::npos);
    EXPECT_EQ(trail.find(std::string(143, '1')), std::string::npos);
}
