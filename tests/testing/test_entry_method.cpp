#include "testing/frmPresentQA.h"
#include "testing/frmSelectEntryMethod.h"
#include "testing/frmSelectLanguage.h"
#include "tests/testing/TestHome.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

using namespace orvj;
using namespace orvj::test;

namespace {

QString helpOf(QWidget* form) {
    return form->findChild<QLabel*>(QStringLiteral("MsgPanel"))->text();
}

class EntryMethod : public ::testing::Test {
protected:
    EntryMethod() {
        home.state.clients.clientCount = 4;
        home.state.clients.currentClient = 2;
    }
    TestHome home;
};

TEST_F(EntryMethod, ChoicesCaptionsAndHelpLines) {
    frmSelectEntryMethod form(home.state, home.services);
    ASSERT_TRUE(showActive(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Entry Method"));
    EXPECT_EQ(form.findChild<QGroupBox*>(QStringLiteral("fraSelectMethod"))->title(),
              QStringLiteral("Select Client Data Entry Method"));
    EXPECT_NE(form.findChild<QWidget*>(QStringLiteral("frBlank")), nullptr);
    EXPECT_EQ(menuButton(&form, 0)->text(), QStringLiteral("Administer Test to Client"));
    EXPECT_EQ(menuButton(&form, 1)->text(), QStringLiteral("Enter Test Data from Answer Sheet"));
    EXPECT_EQ(menuButton(&form, 2), nullptr);
    EXPECT_EQ(menuButton(&form, 3), nullptr);
    EXPECT_EQ(menuButton(&form, 4)->text(), QStringLiteral("Cancel New Client Entry"));
    EXPECT_TRUE(menuButton(&form, 0)->hasFocus());
    EXPECT_EQ(helpOf(&form), QStringLiteral("Onscreen Presentation. Enter client information "
                                            "then present the test on the computer."));
    press(&form, Qt::Key_Tab);
    EXPECT_EQ(helpOf(&form), QStringLiteral("Paper-Pencil Presentation. Manually enter test "
                                            "information from completed answer sheet."));
    press(&form, Qt::Key_Tab);
    EXPECT_EQ(helpOf(&form),
              QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu."));
    press(&form, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(home.launcher.calls.isEmpty());
    EXPECT_EQ(home.secret.asked, 0);
}

TEST_F(EntryMethod, AnswerSheetOpensTheGridsOnlyWhenTheClientWasConfirmed) {
    {
        frmSelectEntryMethod form(home.state, home.services);
        form.choose(frmSelectEntryMethod::kAnswerSheet);
        EXPECT_EQ(home.launcher.calls,
                  (QStringList{QStringLiteral("clientInfo"), QStringLiteral("newEntry")}));
    }
    home.launcher.calls.clear();
    home.launcher.confirmClientInfo = false;
    frmSelectEntryMethod form(home.state, home.services);
    form.choose(frmSelectEntryMethod::kAnswerSheet);
    EXPECT_EQ(home.launcher.calls, QStringList{QStringLiteral("clientInfo")});
    EXPECT_EQ(home.secret.asked, 0);
}

TEST_F(EntryMethod, CancelledClientInformationEndsThePath) {
    home.launcher.confirmClientInfo = false;
    home.writeBank({{"English", BankBuilder::standardRows("English")}});
    frmSelectEntryMethod form(home.state, home.services);
    form.choose(frmSelectEntryMethod::kOnScreen);
    EXPECT_EQ(home.launcher.calls, QStringList{QStringLiteral("clientInfo")});
    EXPECT_TRUE(home.messages.shown.isEmpty());
    EXPECT_EQ(home.secret.asked, 0);
}

TEST_F(EntryMethod, OneLanguageTestsAtOnceThenAsksForTheCodeUntilGiven) {
    home.writeBank({{"English", BankBuilder::standardRows("English")}});
    home.secret.cancels = 2;
    frmSelectEntryMethod form(home.state, home.services);
    ASSERT_TRUE(showActive(&form));
    home.messages.onShow([&](const FakeMessageService::Shown&) {
        EXPECT_EQ(helpOf(&form), QStringLiteral("When ready press Enter to continue."));
        EXPECT_FALSE(form.findChild<QGroupBox*>(QStringLiteral("fraSelectMethod"))->isVisible());
    });
    home.secret.onAsk = [&] {
        EXPECT_EQ(helpOf(&form), QStringLiteral("Enter the secret code to continue."));
    };
    QString language;
    whenModal<frmPresentQA>([&](frmPresentQA* p) {
        language = p->Language();
        QApplication::setActiveWindow(p);
        QTest::keyClick(p, Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
    });
    form.choose(frmSelectEntryMethod::kOnScreen);
    EXPECT_EQ(language, QStringLiteral("English")) << "no language form with one table";
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_EQ(home.messages.shown[0].text,
              QStringLiteral("This test will begin as soon as you press the Enter key."));
    EXPECT_EQ(home.messages.shown[0].buttons, MessageService::Buttons::Ok);
    EXPECT_EQ(home.secret.asked, 3) << "asked again after each cancel";
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(home.state.clients.at(5).isCleared()) << "the aborted client is cleared";
}

TEST_F(EntryMethod, TwoLanguagesAskWhichThenPresentIt) {
    home.writeBank({{"Spanish", BankBuilder::standardRows("Spanish")},
                    {"English", BankBuilder::standardRows("English")}});
    frmSelectEntryMethod form(home.state, home.services);
    QStringList captions;
    QString presented;
    whenModal<frmSelectLanguage>([&](frmSelectLanguage* l) {
        captions << l->languageCaption(0) << l->languageCaption(1);
        EXPECT_FALSE(menuButton(l, 2)->isVisible());
        QApplication::setActiveWindow(l);
        EXPECT_TRUE(menuButton(l, 0)->hasFocus());
        EXPECT_EQ(helpOf(l), QStringLiteral("Present in Spanish"));
        whenModal<frmPresentQA>([&](frmPresentQA* p) {
            presented = p->Language();
            QApplication::setActiveWindow(p);
            QTest::keyClick(p, Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
        });
        QTest::keyClick(menuButton(l, 0), Qt::Key_Return);
    });
    form.choose(frmSelectEntryMethod::kOnScreen);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Spanish"), QStringLiteral("English")}));
    EXPECT_EQ(presented, QStringLiteral("Spanish"));
    EXPECT_EQ(home.secret.asked, 1);
}

TEST_F(EntryMethod, CancelledLanguageClearsTheNewClient) {
    home.writeBank({{"English", BankBuilder::standardRows("English")},
                    {"Spanish", BankBuilder::standardRows("Spanish")}});
    frmSelectEntryMethod form(home.state, home.services);
    whenModal<frmSelectLanguage>([&](frmSelectLanguage* l) {
        QApplication::setActiveWindow(l);
        menuButton(l, frmSelectLanguage::kCancel)->setFocus();
        EXPECT_EQ(helpOf(l), QStringLiteral("Cancel presentation"));
        QTest::keyClick(menuButton(l, frmSelectLanguage::kCancel), Qt::Key_Return);
    });
    form.choose(frmSelectEntryMethod::kOnScreen);
    EXPECT_TRUE(home.state.clients.at(5).isCleared());
    EXPECT_EQ(home.state.clients.currentClient, 1);
    EXPECT_FALSE(home.state.dialogConfirmed);
    EXPECT_EQ(home.secret.asked, 0);
    EXPECT_TRUE(home.messages.shown.isEmpty()) << "no test, so no start box";
}

struct BadBank {
    const char* name;
    std::function<void(TestHome&)> write;
    const char* says;
};

TEST_F(EntryMethod, ABankThatCannotCarryTheTestIsReportedBeforeItStarts) {
    const std::vector<BadBank> cases = {
        {"no language table",
         [](TestHome& h) {
             h.writeBank({{"english", BankBuilder::standardRows("English")}});
         },
         "holds no question table named \"English\" or \"Spanish\""},
        {"short table",
         [](TestHome& h) {
             auto rows = BankBuilder::standardRows("English");
             rows.resize(100);
             h.writeBank({{"English", rows}});
         },
         "holds 100 questions"},
        {"out of order",
         [](TestHome& h) {
             auto rows = BankBuilder::standardRows("English");
             std::swap(rows[3], rows[9]);
             h.writeBank({{"English", rows}});
         },
         "not in item order"},
        {"missing bank", [](TestHome&) {}, "not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHome h;
        h.state.clients.clientCount = 4;
        c.write(h);
        frmSelectEntryMethod form(h.state, h.services);
        form.choose(frmSelectEntryMethod::kOnScreen);
        ASSERT_EQ(h.messages.shown.size(), 1);
        EXPECT_TRUE(h.messages.shown[0].text.contains(QString::fromUtf8(c.says)))
            << h.messages.shown[0].text.toStdString();
        EXPECT_TRUE(h.messages.shown[0].text.contains(QStringLiteral("The test cannot be given.")));
        EXPECT_EQ(h.messages.shown[0].icon, MessageService::Icon::Critical);
        EXPECT_TRUE(h.state.clients.at(5).isCleared());
        EXPECT_EQ(h.state.clients.currentClient, 1);
        EXPECT_FALSE(h.state.dialogConfirmed);
        EXPECT_EQ(h.state.clients.clientCount, 4);
        EXPECT_EQ(h.secret.asked, 0);
        EXPECT_FALSE(std::filesystem::exists(h.state.paths.clientFile));
    }
}

TEST(SelectLanguage, LanguageCountTakesExactNamesInDatabaseOrder) {
    TestHome home;
    {
        BankBuilder b(home.state.paths.questionBank);
        b.addTable("Notes", {});
        b.addTable("SPANISH", {});
        b.addTable("English", {});
    }
    frmSelectLanguage form(home.state, home.services);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Select Presentation Language"));
    EXPECT_EQ(form.LanguageCount(), 1);
    EXPECT_EQ(form.languageCaption(0), QStringLiteral("English"));
    ASSERT_TRUE(showActive(&form));
    EXPECT_TRUE(menuButton(&form, 0)->isVisible());
    EXPECT_FALSE(menuButton(&form, 1)->isVisible());
    EXPECT_FALSE(menuButton(&form, 2)->isVisible());
    EXPECT_EQ(menuButton(&form, 3)->text(), QStringLiteral("Cancel Presentation"));

    // Choosing a language confirms it and hides the form; the record is left alone.
    home.state.clients.currentClient = 3;
    home.state.clients.current().set(ClientRecord::Field::Name, "Kept");
    QTest::keyClick(menuButton(&form, 0), Qt::Key_Return);
    EXPECT_EQ(form.Language(), QStringLiteral("English"));
    EXPECT_TRUE(home.state.dialogConfirmed);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(home.state.clients.at(3).trimmed(ClientRecord::Field::Name), "Kept");
}

TEST(SelectLanguage, CancelInEditModeKeepsTheRecord) {
    TestHome home;
    home.writeBank({{"English", {}}, {"Spanish", {}}});
    home.state.editMode = true;
    home.state.clients.currentClient = 3;
    home.state.clients.current().set(ClientRecord::Field::Name, "Kept");
    frmSelectLanguage form(home.state, home.services);
    EXPECT_EQ(form.LanguageCount(), 2);
    ASSERT_TRUE(showActive(&form));
    form.close(); // the window's close box counts as Cancel Presentation
    EXPECT_FALSE(home.state.dialogConfirmed);
    EXPECT_EQ(form.Language(), QString());
    EXPECT_EQ(home.state.clients.currentClient, 3);
    EXPECT_EQ(home.state.clients.at(3).trimmed(ClientRecord::Field::Name), "Kept");
}

} // namespace
