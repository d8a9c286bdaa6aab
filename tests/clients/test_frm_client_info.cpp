#include "clients/frmClientInfo.h"

#include "tests/clients/ClientsTestSupport.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;
using Icon = MessageService::Icon;

namespace {

const QString kAgeError = QStringLiteral(
    "Enter age of client in number of years or N for Not Available. Press Enter to continue.");

class ClientInfoTest : public ClientsFixture {
protected:
    void open(bool editMode, bool scanEditMode = false) {
        state.editMode = editMode;
        state.scanEditMode = scanEditMode;
        form = std::make_unique<frmClientInfo>(state, services);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::processEvents(); // the activation runs once the window is up
    }
    template <typename T> T* child(const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* line(const char* name) { return child<QLineEdit>(name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(name); }
    QAbstractButton* ok() { return menuButton(form.get(), 0); }
    QWidget* focus() { return QApplication::focusWidget(); }
    void type(QWidget* w, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &release);
        }
    }
    void enter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }
    void typeAndEnter(QWidget* w, const QString& text) {
        type(w, text);
        enter(w);
    }
    QStringList texts() const {
        QStringList out;
        for (const auto& s : messages.shown) {
            out << s.text;
        }
        return out;
    }
    // Opens the current client, changes the name, presses "Information OK".
    void editName(const QString& name) {
        open(true);
        line("txtName")->setFocus();
        line("txtName")->selectAll();
        typeAndEnter(line("txtName"), name);
        ok()->setFocus();
        enter(ok());
    }

    std::unique_ptr<frmClientInfo> form;
};

TEST_F(ClientInfoTest, NewClientIsRegisteredInTheNextSlotInMemoryOnly) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    const std::string fileBefore = readFile(state.paths.clientFile);
    open(false);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Client Information"));
    ASSERT_EQ(focus(), line("txtName"));
    EXPECT_TRUE(isBold(child<QLabel>("lblInfo0")));
    EXPECT_EQ(child<QLabel>("MsgPanel")->text(),
              QStringLiteral("Type client's name (up to 25 characters) or N for Not Available, "
                             "then press Enter."));

    typeAndEnter(line("txtName"), QStringLiteral("Cy Smith"));
    ASSERT_EQ(focus(), line("txtSSN"));
    EXPECT_FALSE(isBold(child<QLabel>("lblInfo0")));
    typeAndEnter(line("txtSSN"), QStringLiteral("  12-3 "));
    EXPECT_EQ(line("txtSSN")->text(), QStringLiteral("12-3"));
    ASSERT_EQ(focus(), line("txtAge"));
    typeAndEnter(line("txtAge"), QStringLiteral("15"));
    ASSERT_EQ(focus(), combo("cmbGender"));
    typeAndEnter(combo("cmbGender"), QStringLiteral("2"));
    EXPECT_EQ(combo("cmbGender")->currentText(), QStringLiteral("Female"));
    ASSERT_EQ(focus(), combo("cmbRace"));
    typeAndEnter(combo("cmbRace"), QStringLiteral("n"));
    EXPECT_EQ(combo("cmbRace")->currentText(), QStringLiteral("N/A"));
    typeAndEnter(combo("cmbEducation"), QStringLiteral("7"));
    EXPECT_EQ(combo("cmbEducation")->currentText(), QStringLiteral("7th Grade"));
    ASSERT_EQ(focus(), ok());
    EXPECT_EQ(child<QLabel>("MsgPanel")->text(),
              QStringLiteral("If information is correct press Enter or press Tab to change an "
                             "entry."));
    enter(ok());

    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(state.dialogConfirmed);
    EXPECT_EQ(state.clients.currentClient, 3);
    EXPECT_EQ(state.clients.clientCount, 2) << "counted only when the test is stored";
    const ClientRecord& r = state.clients.at(3);
    EXPECT_EQ(r.field(F::Name), "Cy Smith" + std::string(17, ' '));
    EXPECT_EQ(r.field(F::SSN), "12-3       ");
    EXPECT_EQ(r.field(F::Age), "15");
    EXPECT_EQ(r.field(F::Gender), "2");
    EXPECT_EQ(r.field(F::Race), "0");
    EXPECT_EQ(r.field(F::Education), "2");
    EXPECT_EQ(r.field(F::TestDate), "03/14/2025");
    EXPECT_EQ(r.field(F::Responses), std::string(143, '0'));
    EXPECT_EQ(r.field(F::EditCount), "0");
    EXPECT_EQ(r.field(F::NameDeleted), "0");
    EXPECT_EQ(readFile(state.paths.clientFile), fileBefore);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ClientInfoTest, AgeKeysAndRange) {
    open(false);
    QLineEdit* age = line("txtAge");
    age->setFocus();
    typeAndEnter(age, QStringLiteral("4"));
    EXPECT_TRUE(age->text().isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, kAgeError);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("ORV-Juvenile"));
    EXPECT_EQ(messages.shown[0].icon, Icon::Critical);
    EXPECT_EQ(focus(), age);

    typeAndEnter(age, QStringLiteral("04"));
    EXPECT_EQ(messages.shown.size(), 2) << "04 is refused";
    type(age, QStringLiteral("995"));
    EXPECT_EQ(age->text(), QStringLiteral("99")) << "no third digit";
    enter(age);
    EXPECT_EQ(focus(), combo("cmbGender"));

    age->setFocus();
    age->clear();
    type(age, QStringLiteral("5n"));
    EXPECT_TRUE(age->text().isEmpty());
    EXPECT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(messages.shown.last().text, kAgeError);

    const int beeps = messages.beeps;
    type(age, QStringLiteral("1"));
    QTest::keyClick(age, Qt::Key_Backspace);
    EXPECT_TRUE(age->text().isEmpty());
    EXPECT_EQ(messages.beeps, beeps + 1);
    type(age, QStringLiteral("x"));
    EXPECT_EQ(messages.beeps, beeps + 2);
    EXPECT_EQ(messages.shown.size(), 3) << "refused keys show no box";

    type(age, QStringLiteral("n"));
    QTest::keyClick(age, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(age->text(), QStringLiteral("N"));
    EXPECT_EQ(focus(), combo("cmbGender"));
}

TEST_F(ClientInfoTest, NotAvailableLettersAndCharactersTheFileCannotHold) {
    open(false);
    QLineEdit* name = line("txtName");
    const int beeps = messages.beeps;
    type(name, QStringLiteral("Łn"));
    EXPECT_EQ(name->text(), QStringLiteral("n"));
    EXPECT_EQ(messages.beeps, beeps + 1);
    enter(name);
    EXPECT_EQ(name->text(), QStringLiteral("N")) << "a lone n becomes N as the field is left";
    name->setFocus();
    name->clear();
    type(name, QStringLiteral("nélida"));
    enter(name);
    EXPECT_EQ(name->text(), QStringLiteral("nélida"));
    typeAndEnter(line("txtSSN"), QStringLiteral("n"));
    EXPECT_EQ(line("txtSSN")->text(), QStringLiteral("N"));
}

TEST_F(ClientInfoTest, CombosRefuseKeysAndDropTheirListWhenNothingMatches) {
    open(false);
    QComboBox* gender = combo("cmbGender");
    gender->setFocus();
    type(gender, QStringLiteral("1"));
    EXPECT_EQ(gender->currentText(), QStringLiteral("Male"));
    EXPECT_EQ(form->dropDownCount(), 0);
    const int beeps = messages.beeps;
    type(gender, QStringLiteral("3"));
    EXPECT_TRUE(gender->currentText().isEmpty());
    EXPECT_EQ(messages.beeps, beeps + 1);
    EXPECT_EQ(form->dropDownCount(), 1);
    EXPECT_TRUE(gender->view()->isVisible());
    gender->hidePopup();
    EXPECT_EQ(focus(), gender);
    EXPECT_TRUE(messages.shown.isEmpty());
    enter(gender);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Press down arrow to select sex or N/A for Not Available. Press "
                             "Enter to continue."));
    type(gender, QStringLiteral("1"));
    EXPECT_EQ(gender->currentText(), QStringLiteral("Male"));
    type(gender, QStringLiteral("2"));
    EXPECT_EQ(gender->currentText(), QStringLiteral("Female")) << "a second key replaces the entry";

    QComboBox* education = combo("cmbEducation");
    education->setFocus();
    education->setCurrentIndex(6);
    const int dropDowns = form->dropDownCount();
    ok()->setFocus();
    EXPECT_EQ(education->currentText(), QStringLiteral("11th Grade"));
    EXPECT_EQ(form->dropDownCount(), dropDowns);
}

TEST_F(ClientInfoTest, EmptyFieldsAreReportedInTheirOrder) {
    open(false);
    enter(ok());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Enter client's name or N for Not Available. Press Enter to "
                             "continue."));
    EXPECT_EQ(focus(), line("txtName"));
    line("txtName")->setText(QStringLiteral("Ann"));
    line("txtSSN")->setText(QStringLiteral("1"));
    line("txtAge")->setText(QStringLiteral("12"));
    combo("cmbGender")->setCurrentIndex(1);
    enter(ok());
    EXPECT_EQ(messages.shown.last().text,
              QStringLiteral("Press down arrow to select ethnicity/race or N/A for Not "
                             "Available. Press Enter to continue."));
    EXPECT_EQ(focus(), combo("cmbRace"));
    EXPECT_FALSE(state.dialogConfirmed);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ClientInfoTest, ThirdSavedEditReachesTheLimitAndLocksTheFourthOpening) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    for (int edit = 1; edit <= 3; ++edit) {
        clock.set(Date{2025, 4, edit});
        editName(QStringLiteral("Bob %1").arg(edit));
        ASSERT_FALSE(form->isVisible()) << "edit " << edit;
        state.clients.currentClient = 1;
        ClientTable fromFile;
        ClientFile(state.paths.clientFile).load(fromFile);
        EXPECT_EQ(fromFile.at(1).trimmed(F::Name), "Bob " + std::to_string(edit));
        EXPECT_EQ(fromFile.at(1).field(F::EditCount), std::to_string(edit));
        EXPECT_EQ(fromFile.at(1).field(F::TestDate), "04/0" + std::to_string(edit) + "/2025");
        EXPECT_EQ(fromFile.at(1), state.clients.at(1));
        EXPECT_EQ(fromFile.at(2), makeClient("Bob")) << "other records stay untouched";
    }
    EXPECT_TRUE(messages.shown.isEmpty());

    const std::string fileBefore = readFile(state.paths.clientFile);
    open(true);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Edit Limit Reached"));
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("This client's information has been edited\n3 times already. "
                             "Further editing of this\ninformation is no longer permitted."));
    EXPECT_EQ(messages.shown[0].icon, Icon::Information);
    for (const char* name :
         {"txtName", "txtSSN", "txtAge", "cmbGender", "cmbRace", "cmbEducation"}) {
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(focus(), ok());
    EXPECT_EQ(child<QLabel>("MsgPanel")->text(),
              QStringLiteral("Exceeded limits of editing. No further editing is permitted. Press "
                             "Enter to continue or select Cancel to return to the main menu."));
    enter(ok());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(state.dialogConfirmed);
    EXPECT_EQ(readFile(state.paths.clientFile), fileBefore);
}

TEST_F(ClientInfoTest, OkWithoutChangeWritesNothing) {
    registerClients({makeClient("Ann")});
    // Something else on disk: a write of the record would replace it.
    std::string onDisk = readFile(state.paths.clientFile);
    onDisk[0] = 'X';
    writeFile(state.paths.clientFile, onDisk);
    open(true);
    EXPECT_EQ(focus(), ok());
    EXPECT_EQ(line("txtName")->text(), QStringLiteral("Ann"));
    EXPECT_EQ(combo("cmbRace")->currentText(), QStringLiteral("Black"));
    EXPECT_EQ(combo("cmbEducation")->currentText(), QStringLiteral("8th Grade"));
    // Walk through every field without changing anything.
    line("txtName")->setFocus();
    for (const char* name :
         {"txtName", "txtSSN", "txtAge", "cmbGender", "cmbRace", "cmbEducation"}) {
        enter(child<QWidget>(name));
    }
    ASSERT_EQ(focus(), ok());
    enter(ok());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(state.dialogConfirmed);
    EXPECT_EQ(readFile(state.paths.clientFile), onDisk);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann"));
    EXPECT_EQ(state.workingEditCount, 0);
}

TEST_F(ClientInfoTest, ScanEditSavesPastTheLimit) {
    ClientRecord r = makeClient("Ann");
    r.set(F::EditCount, "3");
    registerClients({r});
    state.editMode = true;
    state.scanEditMode = true;
    form = std::make_unique<frmClientInfo>(state, services);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QApplication::processEvents();
    // The locked fields cannot be typed into; the record changes behind them instead.
    line("txtAge")->setEnabled(true);
    line("txtAge")->setText(QStringLiteral("16"));
    enter(ok());
    EXPECT_EQ(recordInFile(1).substr(36, 2), "16");
    EXPECT_EQ(state.clients.at(1).field(F::EditCount), "4");
}

TEST_F(ClientInfoTest, DeletedNameAndCountsAboveTheLimitLockTheRecord) {
    ClientRecord deleted = makeClient("DI", "U");
    deleted.set(F::NameDeleted, "1");
    ClientRecord many = makeClient("Bob");
    many.set(F::EditCount, "5");
    registerClients({deleted, many});
    const std::string fileBefore = readFile(state.paths.clientFile);

    open(true);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Name Deleted"));
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("This client's name has been deleted.\nEditting this information "
                             "is no longer permitted."));
    EXPECT_FALSE(line("txtName")->isEnabled());
    EXPECT_EQ(child<QLabel>("MsgPanel")->text(),
              QStringLiteral("Client name has been deleted. Editing is not permitted. Press Enter "
                             "to continue or select Cancel to return to the main menu."));
    enter(ok());
    EXPECT_FALSE(form->isVisible());

    messages.shown.clear();
    state.clients.currentClient = 2;
    open(true);
    EXPECT_TRUE(messages.shown.isEmpty()) << "a count above 3 shows no box";
    EXPECT_FALSE(combo("cmbRace")->isEnabled());
    enter(ok());
    EXPECT_EQ(readFile(state.paths.clientFile), fileBefore);
}

TEST_F(ClientInfoTest, AWriteFaultKeepsMemoryAndFileAlike) {
    registerClients({makeClient("Ann")});
    loseDataFolder();
    editName(QStringLiteral("Anna"));
    EXPECT_TRUE(form->isVisible()) << "the form stays open so nothing typed is lost";
    EXPECT_FALSE(state.dialogConfirmed);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann"));
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_EQ(messages.shown.last().icon, Icon::Critical);
    EXPECT_TRUE(messages.shown.last().text.startsWith(
        QStringLiteral("The client's information could not be saved; nothing was changed.")));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("DATA301.OVJ")));

    fs::create_directories(state.paths.dataFolder);
    writeFile(state.paths.clientFile, bytesOf(makeClient("Ann")));
    ok()->setFocus();
    enter(ok());
    EXPECT_FALSE(form->isVisible()) << "the same OK saves once the folder is back";
    EXPECT_EQ(recordInFile(1).substr(0, 4), "Anna");
    EXPECT_EQ(state.clients.at(1).field(F::EditCount), "1");
}

TEST_F(ClientInfoTest, CancelLeavesEverythingAlone) {
    registerClients({makeClient("Ann")});
    const ClientTable before = state.clients;
    open(false);
    type(line("txtName"), QStringLiteral("Zed"));
    menuButton(form.get(), 1)->setFocus();
    enter(menuButton(form.get(), 1));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state.dialogConfirmed);
    EXPECT_EQ(state.clients.clientCount, 1);
    EXPECT_EQ(state.clients.currentClient, 1);
    EXPECT_EQ(state.clients.at(2), before.at(2));
}

TEST_F(ClientInfoTest, AFullClientFileTakesNoNewClient) {
    std::vector<ClientRecord> all(ClientTable::kMaxClients, makeClient("Ann"));
    registerClients(all);
    state.editMode = false;
    form = std::make_unique<frmClientInfo>(state, services);
    form->show();
    QApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state.dialogConfirmed);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("51 clients")));
}

} // namespace
