#include "supervisor/frmChangeSecretCode.h"

#include "store/ConfigFile.h"
#include "store/SecretCode.h"
#include "tests/clients/ClientsTestSupport.h"

#include <QLabel>
#include <QLineEdit>

using namespace orvj;
using namespace orvj::test;

namespace {

class ChangeSecretCodeTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        state.paths.configFile = root / ConfigFile::kFileName;
        writeFile(state.paths.configFile, "[Path]\nFilePath=data\n");
    }
    QLineEdit* field(const char* name) { return child<QLineEdit>(name); }
    QString help() { return child<QLabel>("MsgPanel")->text(); }
    // Types into the focused field and presses Enter there.
    void typeEnter(const QString& text) {
        QWidget* at = QApplication::focusWidget();
        QTest::keyClicks(at, text);
        QTest::keyClick(at, Qt::Key_Return);
    }
    SecretCode code() const { return SecretCode(state.paths.configFile); }
    std::string ini() { return readFile(state.paths.configFile); }
    QString tooShort() {
        return QStringLiteral("The new secret code is too short: it needs at least 6 characters.");
    }
    QString mismatch() {
        return QStringLiteral(
            "The two new codes are not the same. Type the new code twice, exactly alike.");
    }
};

// From the keyboard alone: the focus starts on the current code; Enter moves on field by field,
// each field cyan with black text while it has the focus and its help line shown; every code
// shows as asterisks. A new code that is too short, or a second one that differs, is refused at
// once and both new fields are typed again. Enter on "Change Code" stores the code: "K" is
// refused from then on, and the file holds an Argon2id hash, not the code.
TEST_F(ChangeSecretCodeTest, KeyboardFirstRefusesShortAndMismatchedCodesThenStoresTheHash) {
    open<frmChangeSecretCode>();
    QLineEdit* current = field("txtCurrentCode");
    QLineEdit* fresh = field("txtNewCode");
    QLineEdit* repeated = field("txtRepeatCode");
    ASSERT_EQ(QApplication::focusWidget(), current);
    EXPECT_EQ(backgroundOf(current), Colors::cyan);
    EXPECT_EQ(current->palette().color(QPalette::Text), Colors::black);
    EXPECT_EQ(help(), QStringLiteral("Type the secret code in use now. Press Enter to continue."));

    typeEnter(QStringLiteral("k"));
    EXPECT_EQ(current->displayText(), QStringLiteral("*"));
    ASSERT_EQ(QApplication::focusWidget(), fresh);
    EXPECT_EQ(backgroundOf(fresh), Colors::cyan);
    EXPECT_NE(current->palette().color(QPalette::Base), Colors::cyan);
    EXPECT_EQ(help(), fresh->accessibleDescription());

    typeEnter(QStringLiteral("abc12"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Change Secret Code"));
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_EQ(messages.shown[0].text, tooShort());
    EXPECT_EQ(QApplication::focusWidget(), fresh);
    EXPECT_TRUE(fresh->text().isEmpty());

    typeEnter(QStringLiteral("Bl4ckb1rd"));
    EXPECT_EQ(fresh->displayText(), QStringLiteral("*********"));
    ASSERT_EQ(QApplication::focusWidget(), repeated);
    typeEnter(QStringLiteral("Bl4ckb1rD"));
    EXPECT_EQ(lastText(), mismatch());
    EXPECT_EQ(QApplication::focusWidget(), fresh);
    EXPECT_TRUE(fresh->text().isEmpty() && repeated->text().isEmpty());

    typeEnter(QStringLiteral("Bl4ckb1rd"));
    typeEnter(QStringLiteral("Bl4ckb1rd"));
    ASSERT_EQ(QApplication::focusWidget(), menuButton(form.get(), 0));
    EXPECT_EQ(ini(), "[Path]\nFilePath=data\n") << "nothing stored before Change Code";
    QTest::keyClick(menuButton(form.get(), 0), Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(static_cast<frmChangeSecretCode*>(form.get())->changed());
    EXPECT_EQ(lastText(), QStringLiteral("The office's secret code is changed. From now on only "
                                         "the new code is accepted."));
    EXPECT_EQ(ini().rfind("[Path]\nFilePath=data\n\n[Security]\nSecretCode=$argon2id$", 0), 0u)
        << ini();
    EXPECT_EQ(ini().find("Bl4ckb1rd"), std::string::npos);
    EXPECT_EQ(code().check("K"), SecretCode::Check::Refused);
    EXPECT_EQ(code().check("Bl4ckb1rd"), SecretCode::Check::Accepted);
}

// "Change Code" checks everything again: a wrong current code is refused (that field emptied
// and focused), as are codes too short or different that Tab went past; Escape closes the
// window with the code unchanged.
TEST_F(ChangeSecretCodeTest, ChangeCodeRefusesAWrongCurrentCodeAndEscapeChangesNothing) {
    const std::string before = ini();
    open<frmChangeSecretCode>();
    const auto fill = [this](const char* current, const char* fresh, const char* repeated) {
        field("txtCurrentCode")->setText(QString::fromLatin1(current));
        field("txtNewCode")->setText(QString::fromLatin1(fresh));
        field("txtRepeatCode")->setText(QString::fromLatin1(repeated));
        press(form.get(), 0);
    };
    fill("x", "secret1", "secret1");
    EXPECT_EQ(lastText(), QStringLiteral("The current secret code is not correct. Type the code "
                                         "in use now."));
    EXPECT_EQ(QApplication::focusWidget(), field("txtCurrentCode"));
    EXPECT_TRUE(field("txtCurrentCode")->text().isEmpty());
    EXPECT_EQ(field("txtNewCode")->text(), QStringLiteral("secret1")) << "the new code stays";
    fill("K", "short", "short");
    EXPECT_EQ(lastText(), tooShort());
    fill("K", "secret1", "secret2");
    EXPECT_EQ(lastText(), mismatch());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(messages.shown.size(), 3);

    QTest::keyClick(menuButton(form.get(), 1), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(ini(), before);
    EXPECT_EQ(code().check("K"), SecretCode::Check::Accepted);
}

// A damaged stored code is said so, and the window closes: no code can be checked.
TEST_F(ChangeSecretCodeTest, ADamagedStoredCodeIsSaidAndNothingChanges) {
    writeFile(state.paths.configFile, "[Security]\nSecretCode=$argon2id$cut\n");
    open<frmChangeSecretCode>();
    field("txtCurrentCode")->setText(QStringLiteral("K"));
    field("txtNewCode")->setText(QStringLiteral("secret1"));
    field("txtRepeatCode")->setText(QStringLiteral("secret1"));
    press(form.get(), 0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Secret Code Damaged"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(ini(), "[Security]\nSecretCode=$argon2id$cut\n");
}

} // namespace
