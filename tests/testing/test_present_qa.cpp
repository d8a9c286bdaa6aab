#include "testing/InstructionTexts.h"
#include "testing/QuestionSequence.h"
#include "testing/frmPresentQA.h"
#include "tests/testing/TestHome.h"
#include "ui/FormConventions.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;

namespace {

class PresentQA : public ::testing::Test {
protected:
    void open(const std::string& language = "English",
              std::vector<QuestionRow> rows = BankBuilder::standardRows("English")) {
        m_rows = rows;
        home.writeSounds(language, rows);
        home.registerNewClient(2);
        form = std::make_unique<frmPresentQA>(home.state, home.services);
        form->setLanguage(QString::fromStdString(language));
        form->setQuestions(std::move(rows));
        ASSERT_TRUE(showActive(form.get()));
    }

    QPlainTextEdit* question() const {
        return form->findChild<QPlainTextEdit*>(QStringLiteral("txtQuestion"));
    }
    QPlainTextEdit* instructions() const {
        return form->findChild<QPlainTextEdit*>(QStringLiteral("txtInstructions"));
    }
    QPushButton* option(int k) const {
        return form->findChild<QPushButton*>(QStringLiteral("cmdMenuChoice%1").arg(k));
    }
    QLabel* optionText(int k) const {
        return form->findChild<QLabel*>(QStringLiteral("txtButtonText%1").arg(k));
    }
    QString help() const { return form->findChild<QLabel*>(QStringLiteral("MsgPanel"))->text(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { press(form.get(), k, m); }

    // From the question box: Down to option `k` (1-based), then Enter.
    void answer(int k) {
        ASSERT_TRUE(question()->hasFocus()) << "item " << form->item();
        for (int i = 0; i < k; ++i) {
            key(Qt::Key_Down);
        }
        ASSERT_TRUE(option(k - 1)->hasFocus());
        key(Qt::Key_Return);
    }
    // Leaves screen 0 and screen 1: item 1 is on the screen with the focus.
    void begin() {
        key(Qt::Key_Return);
        key(Qt::Key_Return);
    }

    TestHome home;
    std::unique_ptr<frmPresentQA> form;
    std::vector<QuestionRow> m_rows;
};

int answerFor(int item) {
    return item % TestLayout::optionCount(item) + 1;
}

TEST_F(PresentQA, AWholeTestStoresTheResponseStringAndCountsTheClient) {
    open();
    const std::string before = home.fileBytes();
    begin();
    std::string expected;
    std::vector<int> screensSeen;
    for (int item = 1; item <= 143; ++item) {
        if (form->instructionsShown()) {
            const QString text = instructions()->toPlainText();
            screensSeen.push_back(item);
            EXPECT_TRUE(
                text.startsWith(QStringLiteral("Section %1\n").arg(TestLayout::sectionOf(item))))
                << text.toStdString();
            EXPECT_TRUE(question()->toPlainText().startsWith(QStringLiteral("%1. ").arg(item)))
                << "the question waits behind the screen";
            key(Qt::Key_Return);
        }
        ASSERT_EQ(form->item(), item);
        ASSERT_EQ(question()->toPlainText(), QStringLiteral("%1. English question %1").arg(item));
        answer(answerFor(item));
        expected.push_back(static_cast<char>('0' + answerFor(item)));
        if (item < 143) {
            ASSERT_TRUE(form->isVisible()) << item;
        }
    }
    EXPECT_EQ(screensSeen, (std::vector<int>{51, 76, 121, 132}));
    EXPECT_FALSE(form->isVisible()) << "the answer to item 143 ends the test at once";
    EXPECT_EQ(form->result(), QDialog::Accepted);

    const ClientRecord& r = home.state.clients.at(3);
    EXPECT_EQ(r.field(ClientRecord::Field::Responses), expected);
    EXPECT_EQ(r.trimmed(ClientRecord::Field::Name), "New Client");
    EXPECT_EQ(home.state.clients.clientCount, 3);
    EXPECT_TRUE(home.state.testStored);
    const std::string file = home.fileBytes();
    ASSERT_EQ(file.size(), 3 * ClientRecord::kSize);
    EXPECT_EQ(file.substr(0, 2 * ClientRecord::kSize), before) << "other records untouched";
    EXPECT_EQ(file.substr(2 * ClientRecord::kSize + 51, 143), expected);
    EXPECT_TRUE(home.messages.shown.isEmpty());
}

TEST_F(PresentQA, OpensOnTheGeneralScreenThenSectionOne) {
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Question Presentation"));
    EXPECT_TRUE(form->instructionsShown());
    EXPECT_TRUE(instructions()->hasFocus());
    EXPECT_EQ(instructions()->toPlainText(),
              QString::fromStdString(InstructionTexts::text(false, 0))
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(question()->toPlainText(), QStringLiteral("1. English question 1"))
        << "item 1 is behind the general screen";
    EXPECT_EQ(home.audio.played, QStringList{QStringLiteral("Inst0.wav")});

    key(Qt::Key_A); // only Enter and Tab leave a screen
    key(Qt::Key_F10);
    EXPECT_TRUE(instructions()->toPlainText().startsWith(QStringLiteral("General Instructions")));
    EXPECT_EQ(home.messages.beeps, 0) << "F10 is ignored while a screen is up";

    key(Qt::Key_Tab);
    EXPECT_TRUE(instructions()->toPlainText().startsWith(QStringLiteral("Section 1\n")));
    EXPECT_TRUE(instructions()->hasFocus());
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Inst1.wav"));
    // Leaving a screen first stops the sound that plays.
    const int closeBeforeInst1 = home.audio.calls.lastIndexOf(QStringLiteral("open Inst1.wav")) - 1;
    EXPECT_EQ(home.audio.calls.at(closeBeforeInst1), QStringLiteral("close"));

    key(Qt::Key_Return);
    EXPECT_FALSE(form->instructionsShown());
    EXPECT_TRUE(question()->hasFocus());
    EXPECT_EQ(backgroundOf(question()), Colors::cyan());
    EXPECT_EQ(help(), QStringLiteral("Use Up or Down arrow keys to highlight answer, then press "
                                     "Enter. Press the F10 key to go back to the previous "
                                     "question."));
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Q001.wav"));
}

TEST_F(PresentQA, SoundsFollowTheFocus) {
    open();
    begin();
    home.audio.clear();
    key(Qt::Key_Down);
    EXPECT_EQ(backgroundOf(question()), Colors::blue());
    EXPECT_EQ(backgroundOf(menuPanel(form.get(), 0)), Colors::cyan());
    EXPECT_TRUE(isBold(optionText(0)));
    EXPECT_EQ(help(), QStringLiteral("Press enter to select this answer. Press Tab or Arrows to "
                                     "hear question again."));
    key(Qt::Key_Down);
    EXPECT_FALSE(isBold(optionText(0)));
    EXPECT_TRUE(isBold(optionText(1)));
    key(Qt::Key_Down); // the last visible option keeps the focus
    EXPECT_TRUE(option(1)->hasFocus());
    key(Qt::Key_X);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_TRUE(question()->hasFocus());
    key(Qt::Key_Tab);
    EXPECT_EQ(home.audio.played,
              (QStringList{QStringLiteral("Q001A1.wav"), QStringLiteral("Q001A2.wav"),
                           QStringLiteral("Q001A1.wav"), QStringLiteral("Q001.wav"),
                           QStringLiteral("Q001A1.wav")}));
    key(Qt::Key_Return);
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Q002.wav"));
    EXPECT_EQ(home.state.responses[1], 1);

    // The answer to item 50 plays the section 2 instructions, not the next question.
    for (int item = 2; item <= 50; ++item) {
        answer(1);
    }
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Inst2.wav"));
    EXPECT_FALSE(home.audio.played.contains(QStringLiteral("Q051.wav")));
    key(Qt::Key_Return);
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Q051.wav"));

    // Missing files are skipped without a word; the path is the language's sound folder.
    EXPECT_TRUE(
        home.audio.paths.last().endsWith(QStringLiteral("/ORVJTest/sound/English/Q051.wav")));
    fs::remove(home.soundFolder("English") / "Q051A1.wav");
    const int played = static_cast<int>(home.audio.played.size());
    key(Qt::Key_Down);
    EXPECT_EQ(home.audio.played.size(), played);
    EXPECT_TRUE(home.messages.shown.isEmpty());
}

TEST_F(PresentQA, GoingBackAcrossTheSectionStart) {
    open();
    begin();
    key(Qt::Key_F10);
    EXPECT_EQ(home.messages.beeps, 1) << "item 1 has nothing before it";
    EXPECT_EQ(form->item(), 1);
    for (int item = 1; item <= 50; ++item) {
        answer(2);
    }
    ASSERT_TRUE(form->instructionsShown());
    key(Qt::Key_Return);
    ASSERT_EQ(form->item(), 51);
    home.audio.clear();
    key(Qt::Key_F10);
    EXPECT_FALSE(form->instructionsShown()) << "no screen on the way back";
    EXPECT_EQ(form->item(), 50);
    EXPECT_EQ(question()->toPlainText(), QStringLiteral("50. English question 50"));
    EXPECT_TRUE(question()->hasFocus());
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Q050.wav"));
    EXPECT_EQ(home.state.responses[50], 2) << "the earlier answer stays until a new one";
    answer(1);
    EXPECT_EQ(home.state.responses[50], 1);
    EXPECT_TRUE(form->instructionsShown()) << "moving forward from 50 shows section 2 again";
    EXPECT_TRUE(instructions()->toPlainText().startsWith(QStringLiteral("Section 2")));
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Inst2.wav"));
    key(Qt::Key_Return);
    EXPECT_EQ(form->item(), 51);
    EXPECT_EQ(home.messages.beeps, 1);
}

TEST_F(PresentQA, NullOptionsAreHiddenAndUnreachable) {
    auto rows = BankBuilder::standardRows("English");
    rows[0].answers[2] = "Not sure"; // item 1 with three options
    rows[0].choiceAudio[2] = "Q001A3";
    rows[1].answers[1] = "False";
    open("English", rows);
    begin();
    EXPECT_TRUE(option(2)->isVisible());
    EXPECT_EQ(optionText(2)->text(), QStringLiteral("Not sure"));
    EXPECT_FALSE(option(3)->isVisible());
    EXPECT_FALSE(option(4)->isVisible());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_TRUE(option(2)->hasFocus());
    key(Qt::Key_Return);
    EXPECT_EQ(home.state.responses[1], 3);
    EXPECT_FALSE(option(2)->isVisible()) << "item 2 has two options";
    EXPECT_FALSE(optionText(2)->isVisible());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_TRUE(option(1)->hasFocus());
    key(Qt::Key_Tab); // Tab wraps past the hidden options to the question
    EXPECT_TRUE(question()->hasFocus());
}

TEST_F(PresentQA, ArrowsSkipAGapInTheOptions) {
    auto rows = BankBuilder::standardRows("English");
    rows[0].answers[3] = "Fourth";
    rows[0].choiceAudio[3] = "Q001A4";
    open("English", rows);
    begin();
    EXPECT_FALSE(option(2)->isVisible());
    EXPECT_TRUE(option(3)->isVisible());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_TRUE(option(3)->hasFocus()) << "from option 2 past the hidden option 3";
    key(Qt::Key_Up);
    EXPECT_TRUE(option(1)->hasFocus());
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_EQ(home.state.responses[1], 4);
}

TEST_F(PresentQA, ClickingAnOptionTextChoosesIt) {
    open();
    begin();
    QTest::mouseClick(optionText(1), Qt::LeftButton);
    EXPECT_EQ(home.state.responses[1], 2);
    EXPECT_EQ(form->item(), 2);
    QTest::mouseClick(option(0), Qt::LeftButton);
    EXPECT_EQ(home.state.responses[2], 1);
    EXPECT_EQ(form->item(), 3);
}

TEST_F(PresentQA, OnlyTheSupervisorsKeysEndTheTest) {
    open();
    begin();
    answer(1);
    answer(2);
    EXPECT_FALSE(form->close()) << "the window's close box is ignored";
    key(Qt::Key_Escape);
    key(Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(form->isVisible());
    key(Qt::Key_F10, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_FALSE(home.state.dialogConfirmed);
    EXPECT_TRUE(home.state.clients.at(3).isCleared());
    EXPECT_EQ(home.state.clients.currentClient, 1);
    EXPECT_EQ(home.state.clients.clientCount, 2);
    EXPECT_FALSE(home.state.testStored);
    EXPECT_EQ(home.fileBytes().size(), 2 * ClientRecord::kSize) << "nothing written";
    EXPECT_EQ(home.audio.calls.last(), QStringLiteral("close"));
}

TEST_F(PresentQA, AbortWorksOnAnInstructionScreen) {
    open();
    key(Qt::Key_F10, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(home.state.clients.at(3).isCleared());
}

TEST_F(PresentQA, WithoutAnAudioDeviceNothingIsPlayed) {
    home.audio.prepareFails = true;
    open();
    EXPECT_FALSE(home.state.audioAvailable);
    begin();
    key(Qt::Key_Down);
    EXPECT_EQ(help(), QStringLiteral("Press enter to select this answer."));
    key(Qt::Key_Return);
    EXPECT_EQ(home.audio.calls, QStringList{QStringLiteral("prepare")}) << "no file is even opened";
    EXPECT_TRUE(home.messages.shown.isEmpty());
    EXPECT_EQ(home.state.responses[1], 1);
}

TEST_F(PresentQA, ASoundErrorIsShownAndTheTestGoesOn) {
    home.audio.failOpenOf = QStringLiteral("Q001.wav");
    open();
    begin();
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_EQ(home.messages.shown[0].title, QStringLiteral("Sound Error"));
    EXPECT_EQ(home.messages.shown[0].text, QStringLiteral("Error 7:The wave device is busy"));
    EXPECT_EQ(home.messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(home.state.audioAvailable);
    answer(1);
    EXPECT_EQ(form->item(), 2);
    EXPECT_EQ(home.audio.played.last(), QStringLiteral("Q002.wav"));
}

TEST_F(PresentQA, AFaultReportedDuringPlaybackIsShownToo) {
    open();
    begin();
    ASSERT_NE(home.audio.last, nullptr);
    home.audio.last->lateError(105, QStringLiteral("Could not decode the sound file"));
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_EQ(home.messages.shown[0].title, QStringLiteral("Sound Error"));
    EXPECT_EQ(home.messages.shown[0].text,
              QStringLiteral("Error 105:Could not decode the sound file"));
    answer(2);
    EXPECT_EQ(home.state.responses[1], 2);
}

TEST_F(PresentQA, SpanishScreensHelpLinesAndSoundFolder) {
    auto rows = BankBuilder::standardRows("Spanish");
    open("Spanish", rows);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Presentación de preguntas"));
    EXPECT_TRUE(instructions()->toPlainText().startsWith(QStringLiteral("Instrucciones\n")));
    EXPECT_EQ(help(), QStringLiteral("Oprima la tecla «Enter» para comenzar."));
    EXPECT_TRUE(home.audio.paths.last().endsWith(QStringLiteral("/sound/Spanish/Inst0.wav")));
    begin();
    EXPECT_EQ(help(), QStringLiteral("Oprima las teclas de flechas Hacia Arriba o Hacia Abajo "
                                     "para iluminar su respuesta. Luego oprima la tecla «Enter». "
                                     "Oprima la tecla «F10» para ver la pregunta anterior."));
    key(Qt::Key_Down);
    EXPECT_EQ(help(), QStringLiteral("Escoja una respuesta y oprima la tecla «Enter». Puede "
                                     "utilizar la tecla «Tab» para que le repitan la pergunta."));
    key(Qt::Key_Up);
    for (int item = 1; item <= 120; ++item) {
        if (form->instructionsShown()) {
            key(Qt::Key_Return);
        }
        answer(1);
    }
    ASSERT_TRUE(form->instructionsShown());
    EXPECT_TRUE(instructions()->toPlainText().startsWith(QStringLiteral("Sección 4\n")));
    EXPECT_EQ(help(), QString()) << "screens 4 and 5 carry no help line";
    key(Qt::Key_Tab);
    EXPECT_EQ(form->item(), 121);
    EXPECT_TRUE(question()->hasFocus());
}

TEST_F(PresentQA, AWriteErrorKeepsTheAnswersAndOffersARetry) {
    open();
    // The data folder disappears during the test.
    home.state.paths.clientFile = home.dir / "gone" / ClientFile::kFileName;
    begin();
    for (int item = 1; item <= 142; ++item) {
        if (form->instructionsShown()) {
            key(Qt::Key_Return);
        }
        answer(1);
    }
    home.messages.onShow([this](const FakeMessageService::Shown& s) {
        if (s.buttons == MessageService::Buttons::YesNo && home.messages.shown.size() == 2) {
            fs::create_directories(home.dir / "gone"); // the supervisor fixes it, then retries
        }
    });
    answer(1);
    ASSERT_EQ(home.messages.shown.size(), 2) << "asked twice: the folder came back after the first";
    EXPECT_EQ(home.messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(home.messages.shown[0].text.startsWith(
        QStringLiteral("The client's answers could not be saved.")));
    EXPECT_TRUE(home.messages.shown[0].text.contains(QStringLiteral("gone")));
    EXPECT_FALSE(form->isVisible());
    std::ifstream in(home.state.paths.clientFile, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(bytes.size(), 3 * ClientRecord::kSize) << "record 3 written past the gap";
    EXPECT_EQ(bytes.substr(2 * ClientRecord::kSize + 51, 143), std::string(143, '1'));
    EXPECT_EQ(home.state.clients.clientCount, 3);
}

TEST_F(PresentQA, AWriteErrorDeclinedKeepsTheRecordInMemory) {
    open();
    home.state.paths.clientFile = home.dir / "gone" / ClientFile::kFileName;
    begin();
    home.messages.answerNext(MessageService::Answer::No);
    for (int item = 1; item <= 143; ++item) {
        if (form->instructionsShown()) {
            key(Qt::Key_Return);
        }
        answer(2);
    }
    ASSERT_EQ(home.messages.shown.size(), 2);
    EXPECT_TRUE(home.messages.shown[1].text.contains(QStringLiteral("kept in memory")));
    EXPECT_EQ(home.state.clients.at(3).field(ClientRecord::Field::Responses),
              std::string(143, '2'));
    EXPECT_EQ(home.state.clients.clientCount, 3) << "the slot stays taken by this client";
    EXPECT_TRUE(home.state.testStored);
}

// The bundled sample bank carries a whole test in both languages.
TEST_F(PresentQA, TheSampleBankCarriesAWholeTest) {
    const fs::path sample = fs::path(ORVJ_SAMPLE_HOME) / QuestionBank::kFileName;
    ASSERT_TRUE(fs::exists(sample)) << sample << " is made by the build";
    fs::copy_file(sample, home.state.paths.questionBank);
    const QuestionBank bank(home.state.paths.questionBank);
    for (const char* language : {"English", "Spanish"}) {
        SCOPED_TRACE(language);
        auto rows = bank.rows(language);
        EXPECT_NO_THROW(QuestionSequence::validate(rows, language));
        for (const auto& r : rows) {
            const int options = static_cast<int>(std::count_if(
                r.answers.begin(), r.answers.end(), [](const auto& a) { return a.has_value(); }));
            ASSERT_EQ(options, TestLayout::optionCount(r.id)) << "item " << r.id;
        }
    }
    open("Spanish", bank.rows("Spanish"));
    begin();
    for (int item = 1; item <= 143; ++item) {
        if (form->instructionsShown()) {
            key(Qt::Key_Return);
        }
        answer(TestLayout::optionCount(item));
    }
    EXPECT_FALSE(form->isVisible());
    std::string expected;
    for (int item = 1; item <= 143; ++item) {
        expected.push_back(static_cast<char>('0' + TestLayout::optionCount(item)));
    }
    EXPECT_EQ(home.state.clients.at(3).field(ClientRecord::Field::Responses), expected);
}

} // namespace
