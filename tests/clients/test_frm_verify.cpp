#include "clients/frmVerify.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

// Item i gets a code its section allows.
std::string answers() {
    std::string s;
    for (int item = 1; item <= 143; ++item) {
        const int options = item <= 50 ? 2 : item <= 75 ? 5 : item <= 120 ? 4 : item <= 131 ? 2 : 4;
        s.push_back(static_cast<char>('0' + ((item * 7) % (options + 1))));
    }
    return s;
}

class VerifyTest : public ClientsFixture {
protected:
    void open(const ClientRecord& client) {
        registerClients({makeClient("Ann"), client});
        state.clients.currentClient = 2;
        form = std::make_unique<frmVerify>(state, services);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QLineEdit* box() { return form->findChild<QLineEdit*>(QStringLiteral("txtCurQuestion")); }
    QString label(const char* name) {
        return form->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    void key(char c) { QTest::keyClick(box(), c); }
    void keyAll(const std::string& codes) {
        for (char c : codes) {
            key(c);
        }
    }
    std::unique_ptr<frmVerify> form;
};

ClientRecord withAnswers(const std::string& codes) {
    ClientRecord r = makeClient("Bob");
    r.set(F::Responses, codes);
    return r;
}

TEST_F(VerifyTest, SameAnswersNeedNoCorrection) {
    const std::string stored = answers();
    open(withAnswers(stored));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Test Data Input Verification"));
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #1"));
    EXPECT_FALSE(form->findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisible());
    EXPECT_EQ(label("pnlMessage"), QStringLiteral("Enter response data from answer sheet. Press "
                                                  "Backspace for previous question."));
    key(stored[0]);
    EXPECT_TRUE(form->findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisible());
    EXPECT_EQ(label("lblPrevQuestion"), QStringLiteral("Question #1"));
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("txtPrevQuestion"))->text(),
              QString(QLatin1Char(stored[0])));
    EXPECT_TRUE(box()->text().isEmpty());
    keyAll(stored.substr(1));
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Data Verification."));
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Data Verification complete. No corrections needed."));
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::None);
    EXPECT_EQ(state.clients.at(2).field(F::Responses), stored);
    EXPECT_EQ(recordInFile(2), bytesOf(withAnswers(stored)));
}

TEST_F(VerifyTest, RefusedKeysBeepAndStay) {
    open(withAnswers(answers()));
    QTest::keyClick(box(), Qt::Key_Backspace);
    EXPECT_EQ(messages.beeps, 1) << "Backspace at the first item";
    keyAll(std::string(9, '1'));
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #10"));
    key('3');
    key('x');
    EXPECT_EQ(messages.beeps, 3);
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #10"));
    QTest::keyClick(box(), Qt::Key_Backspace);
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #9"));
    EXPECT_EQ(label("lblPrevQuestion"), QStringLiteral("Question #8"));
    keyAll(std::string(51, '0'));
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #60"));
    key('3');
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #61"));
}

TEST_F(VerifyTest, ThreeDifferencesAreCorrectedAndStored) {
    const std::string stored = answers();
    std::string second = stored;
    for (int item : {12, 60, 140}) {
        char& c = second[static_cast<std::size_t>(item - 1)];
        c = c == '1' ? '0' : '1';
    }
    open(withAnswers(stored));
    keyAll(second);
    ASSERT_TRUE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Data Corrections"));
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Data Correction needed. Please correct the following questions."));
    EXPECT_EQ(form->session().questionList(), (std::vector<int>{12, 60, 140}));
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #12"));
    EXPECT_EQ(QApplication::focusWidget(), box());

    key('2');
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #60"));
    QTest::keyClick(box(), Qt::Key_Backspace);
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #12"));
    key('2');
    key('5');
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #140"));
    key('4');
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].title, QStringLiteral("Data Verification"));
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("Data Verification complete."));

    std::string expected = second;
    expected[11] = '2';
    expected[59] = '5';
    expected[139] = '4';
    EXPECT_EQ(state.clients.at(2).field(F::Responses), expected);
    EXPECT_EQ(recordInFile(2).substr(51, 143), expected);
    EXPECT_EQ(recordInFile(1), bytesOf(makeClient("Ann")));
}

TEST_F(VerifyTest, AClearedRecordListsEveryItem) {
    ClientRecord cleared;
    open(cleared);
    keyAll(std::string(143, '0'));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(form->session().count(), 143);
    EXPECT_EQ(label("lblCurQuestion"), QStringLiteral("Question #1"));
}

TEST_F(VerifyTest, CancelStoresNothing) {
    const std::string stored = answers();
    open(withAnswers(stored));
    keyAll(std::string(20, '0'));
    auto* cancel = form->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
    cancel->setFocus();
    EXPECT_EQ(label("pnlMessage"),
              QStringLiteral("Press Enter to Cancel Data Verification and return to Main Menu"));
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(state.clients.at(2).field(F::Responses), stored);
    EXPECT_EQ(recordInFile(2), bytesOf(withAnswers(stored)));
}

TEST_F(VerifyTest, AWriteFaultKeepsTheCorrectionsForAnotherTry) {
    const std::string stored = answers();
    std::string second = stored;
    second[0] = second[0] == '1' ? '0' : '1';
    open(withAnswers(stored));
    keyAll(second);
    loseDataFolder();
    key('2');
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(state.clients.at(2).field(F::Responses), stored) << "memory keeps what the file has";
    EXPECT_EQ(messages.shown.last().icon, MessageService::Icon::Critical);
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("could not be saved")));

    fs::create_directories(state.paths.dataFolder);
    key('2');
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(recordInFile(2).substr(51, 1), "2");
    EXPECT_EQ(messages.shown.last().text, QStringLiteral("Data Verification complete."));
}

} // namespace
