#include "supervisor/frmVerify.h"

#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/AuditLines.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

ClientRecord withAnswers(const std::string& codes) {
    ClientRecord r = makeClient("Bob");
    r.set(F::Responses, codes);
    return r;
}

class VerifyTest : public ClientsFixture {
protected:
    void openOn(const ClientRecord& client) {
        registerClients({makeClient("Ann"), client});
        state.clients.currentClient = 2;
        verify = &open<frmVerify>();
    }
    // The number of "Question #<n>".
    QString question() { return child<QLabel>("lblCurQuestion")->text().mid(10); }
    // "\b" is Backspace.
    void keyAll(const std::string& keys) {
        auto* box = child<QLineEdit>("txtCurQuestion");
        for (char c : keys) {
            QTest::keyClick(box, c == '\b' ? Qt::Key_Backspace : static_cast<Qt::Key>(c));
        }
    }

    std::string stored = std::string(143, '1'); // a code every item takes
    frmVerify* verify = nullptr;
};

// The keys refused on the way, three differences listed and corrected, a failed save, and the
// corrections stored; then a cleared record, whose every item differs, and corrections keyed
// and cancelled, which store nothing.
TEST_F(VerifyTest, DifferencesAreCorrectedAndStoredOrCancelled) {
    std::string second = stored;
    for (std::size_t i : {139u, 11u, 59u}) { // items 140, 12, 60
        second[i] = '0';
    }
    openOn(withAnswers(stored));
    keyAll("\b");
    EXPECT_EQ(messages.beeps, 1) << "Backspace at the first item";
    keyAll(second.substr(0, 2) + "7");
    EXPECT_EQ(messages.beeps, 2) << "item 3 takes no 7";
    EXPECT_EQ(question(), QStringLiteral("3"));
    keyAll("\b");
    EXPECT_EQ(question(), QStringLiteral("2"));
    keyAll(second.substr(1));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Data Correction needed. Please correct the following questions."));
    EXPECT_EQ(verify->session().questionList(), (std::vector<int>{12, 60, 140}));
    EXPECT_EQ(question(), QStringLiteral("12"));
    keyAll("2");
    EXPECT_EQ(question(), QStringLiteral("60"));
    keyAll("\b");
    EXPECT_EQ(question(), QStringLiteral("12"));

    // A failed save keeps memory as the file is, and the corrections can be keyed again.
    loseDataFolder();
    keyAll("254");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(state.clients.at(2), withAnswers(stored));
    EXPECT_TRUE(lastText().contains(QStringLiteral("could not be saved")));
    fs::create_directories(state.paths.dataFolder);
    writeFile(state.paths.clientFile, bytesOf({makeClient("Ann"), withAnswers(stored)}));
    keyAll("254");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(lastText(), QStringLiteral("Data Verification complete."));
    second[11] = '2';
    second[59] = '5';
    second[139] = '4';
    EXPECT_EQ(state.clients.at(2), withAnswers(second));
    EXPECT_EQ(clientFile(), bytesOf({makeClient("Ann"), withAnswers(second)}));
    // The trail went with the lost folder: its one line is the stored corrections, by item.
    const std::vector<std::string> corrected = {"verification corrections | 2 | items 12, 60, 140"};
    EXPECT_EQ(auditLines(state.paths.clientFile), corrected);
    EXPECT_EQ(readFile(state.paths.dataFolder / AuditTrail::kFileName).find("Bob"),
              std::string::npos);

    openOn(ClientRecord());
    keyAll(std::string(143, '0'));
    EXPECT_EQ(verify->session().count(), 143);
    keyAll("00"); // corrections keyed, then cancelled
    auto* cancel = child<QPushButton>("cmdCancel");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(clientFile(), bytesOf({makeClient("Ann"), ClientRecord()}));
    EXPECT_TRUE(state.clients.at(2).isCleared());
    EXPECT_EQ(auditLines(state.paths.clientFile), corrected)
        << "cancelled corrections are not recorded";
}

// At twice the font the answer boxes widen with it: a code and its margins still fit.
TEST_F(VerifyTest, AnswerBoxesGrowWithTheFont) {
    const QFont font = QApplication::font();
    QFont large = font;
    large.setPointSizeF(font.pointSizeF() * 2);
    QApplication::setFont(large);
    openOn(withAnswers(stored));
    for (const char* name : {"txtCurQuestion", "txtPrevQuestion"}) {
        auto* box = child<QLineEdit>(name);
        EXPECT_GE(box->width(), 2 * box->fontMetrics().height()) << name;
    }
    QApplication::setFont(font);
}

} // namespace
