#include "clients/frmClientInfo.h"

#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/AuditLines.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <tuple>

using namespace orvj;
using namespace orvj::test;
using F = ClientRecord::Field;

namespace {

const char* const kAgeError =
    "Enter age of client in number of years or N for Not Available. Press Enter to continue.";
const char* const kFields[] = {"txtName",   "txtSSN",  "txtAge",
                               "cmbGender", "cmbRace", "cmbEducation"};

class ClientInfoTest : public ClientsFixture {
protected:
    frmClientInfo& openIn(bool editMode) {
        state.editMode = editMode;
        return open<frmClientInfo>();
    }
    QAbstractButton* ok() { return menuButton(form.get(), 0); }
    QWidget* focus() { return QApplication::focusWidget(); }
    // Opens client 1 for editing, types the keys into the name, Enter through the other fields
    // and OK.
    void editName(const QString& keys) {
        openIn(true);
        child("txtName")->setFocus();
        type(child("txtName"), keys);
        for (int i = 1; i < 6; ++i) {
            type(child(kFields[i]), QStringLiteral("\r"));
        }
        press(form.get(), 0);
    }
    // A locked record's fields keep the normal text colour (not the disabled grey), take no
    // typing, and a note on the form says why.
    void expectReadableButLocked(const char* why) {
        for (const char* name : kFields) {
            SCOPED_TRACE(name);
            QWidget* field = child(name);
            auto* line = qobject_cast<QLineEdit*>(field);
            if (line == nullptr) {
                line = child<QComboBox>(name)->lineEdit();
            }
            EXPECT_TRUE(field->isEnabled());
            EXPECT_TRUE(line->isReadOnly());
            EXPECT_NE(field->palette().color(QPalette::Text),
                      field->palette().color(QPalette::Disabled, QPalette::Text));
            const QString before = line->text();
            type(line, QStringLiteral("Zz\b"));
            EXPECT_EQ(line->text(), before);
        }
        auto* note = form->findChild<QLabel*>(QStringLiteral("lblLocked"));
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->isVisible());
        EXPECT_TRUE(note->text().contains(QLatin1String(why))) << note->text().toStdString();
        EXPECT_FALSE(note->visibleRegion().isEmpty());
    }
    // "\r" is Enter and "\b" Backspace; other keys carry only their text, as from any layout.
    void type(QWidget* w, const QString& keys) {
        for (QChar c : keys) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\b')) {
                QTest::keyClick(w, c == QLatin1Char('\r') ? Qt::Key_Return : Qt::Key_Backspace);
            } else {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(w, &press);
            }
        }
    }
};

// Cancel leaves everything alone; the entry fills the next slot in memory only (the file is
// written when the test is stored); a full table refuses a new client.
TEST_F(ClientInfoTest, NewClientIsRegisteredInTheNextSlotInMemoryOnly) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    const std::string fileBefore = clientFile();
    openIn(false);
    type(child("txtName"), QStringLiteral("Zed"));
    press(form.get(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state.dialogConfirmed);
    EXPECT_EQ(state.clients.currentClient, 1);
    EXPECT_TRUE(state.clients.at(3).isCleared());

    openIn(false);
    // Ł has no Windows-1252 byte: refused with a beep. A lone n is stored as N.
    // A second key replaces a list's entry: 1 chooses Male, 2 then Female.
    const char* typed[] = {"Łn\r", "Ł12-é€\r", "15\r", "12\r", "n\r", "7\r"};
    for (int i = 0; i < 6; ++i) {
        ASSERT_EQ(focus(), child(kFields[i])) << kFields[i];
        type(child(kFields[i]), QString::fromUtf8(typed[i]));
    }
    EXPECT_EQ(messages.beeps, 2);
    ASSERT_EQ(focus(), ok());
    type(ok(), QStringLiteral("\r"));

    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(state.dialogConfirmed);
    EXPECT_EQ(state.clients.currentClient, 3);
    EXPECT_EQ(state.clients.clientCount, 2) << "counted only when the test is stored";
    ClientRecord expected = makeClient("N", "12-\xE9\x80", '0');
    expected.set(F::Gender, "2");
    expected.set(F::Race, "0");
    expected.set(F::Education, "2");
    expected.set(F::TestDate, "03/14/2025");
    EXPECT_EQ(state.clients.at(3), expected);
    EXPECT_EQ(clientFile(), fileBefore);
    EXPECT_TRUE(messages.shown.isEmpty());

    registerClients(std::vector<ClientRecord>(ClientTable::kMaxClients, makeClient("Ann")));
    openIn(false);
    EXPECT_FALSE(form->isVisible()) << "no slot is left for a new client";
    EXPECT_TRUE(lastText().contains(QStringLiteral("51 clients")));
}

// The age's keys and range, then a combo's: a key that is no entry of the list empties it, beeps
// and drops the list.
TEST_F(ClientInfoTest, AgeAndComboKeys) {
    openIn(false);
    auto* age = child<QLineEdit>("txtAge");
    // Keys typed, then the field's text, the boxes shown (all the age error) and the beeps.
    const std::tuple<const char*, const char*, int, int> steps[] = {
        {"4\r", "", 1, 1},  {"5\r", "5", 1, 1}, {"995", "99", 1, 1},
        {"\r", "99", 1, 1}, {"n", "", 2, 2}, // n after a digit
        {"1\b", "", 2, 3},  {"n\r", "N", 2, 3},
    };
    for (const auto& [keys, text, boxes, beeps] : steps) {
        age->setFocus();
        type(age, QString::fromLatin1(keys));
        EXPECT_EQ(age->text(), QString::fromLatin1(text)) << keys;
        EXPECT_EQ(messages.shown.size(), boxes) << keys;
        EXPECT_EQ(messages.beeps, beeps) << keys;
        const bool movesOn = *text != '\0' && QByteArray(keys).endsWith('\r');
        EXPECT_EQ(focus(), child(movesOn ? "cmbGender" : "txtAge")) << keys;
    }
    EXPECT_EQ(lastText(), QString::fromLatin1(kAgeError));

    auto* gender = child<QComboBox>("cmbGender");
    gender->setFocus();
    type(gender, QStringLiteral("13")); // 1 chooses Male, 3 is no key of this list
    EXPECT_TRUE(gender->currentText().isEmpty());
    EXPECT_EQ(messages.beeps, 4);
    EXPECT_TRUE(gender->view()->isVisible());
}

// Race is asked for before sex, as the program always has. Each box names its field (the age
// error's whole text is checked above).
TEST_F(ClientInfoTest, EmptyFieldsAreReportedInTheirOrder) {
    openIn(false);
    const std::pair<const char*, const char*> order[] = {
        {"txtName", "Enter client's name or N"}, {"txtSSN", "Enter ID number or N"},
        {"txtAge", "Enter age of client"},       {"cmbRace", "select ethnicity/race or N/A"},
        {"cmbGender", "select sex or N/A"},      {"cmbEducation", "select education or N/A"}};
    for (const auto& [name, text] : order) {
        type(ok(), QStringLiteral("\r"));
        EXPECT_TRUE(lastText().contains(QString::fromLatin1(text))) << name;
        EXPECT_EQ(focus(), child(name));
        if (auto* edit = qobject_cast<QLineEdit*>(child(name))) {
            edit->setText(QStringLiteral("12"));
        } else {
            child<QComboBox>(name)->setCurrentIndex(1);
        }
    }
    EXPECT_EQ(messages.shown.size(), 6);
    type(ok(), QStringLiteral("\r"));
    EXPECT_FALSE(form->isVisible());
}

// The notice comes from the record as loaded, and OK closes without a write. (Which counts lock
// and which notice shows is ClientInfoRules' business; the form guards see the locked fields
// leave the Tab order, and the walkthrough edits a record up to its lock.)
TEST_F(ClientInfoTest, LockedRecordsOpenWithTheirNoticeAndCannotBeEdited) {
    ClientRecord limit = makeClient("Ann");
    limit.set(F::EditCount, "3");
    ClientRecord deleted = makeClient("DI", "U");
    deleted.set(F::NameDeleted, "1");
    registerClients({limit, deleted});
    const std::string fileBefore = clientFile();
    const std::pair<const char*, const char*> notices[] = {
        {"Edit Limit Reached", "This client's information has been edited\n3 times already. "
                               "Further editing of this\ninformation is no longer permitted."},
        {"Name Deleted", "This client's name has been deleted.\nEditting this information is no "
                         "longer permitted."}};
    for (int k = 1; k <= 2; ++k) {
        state.clients.currentClient = static_cast<std::int16_t>(k);
        openIn(true);
        ASSERT_EQ(messages.shown.size(), k);
        EXPECT_EQ(messages.shown.last().title, QString::fromLatin1(notices[k - 1].first));
        EXPECT_EQ(lastText(), QString::fromLatin1(notices[k - 1].second));
        expectReadableButLocked(k == 1 ? "edited 3 times" : "name has been deleted");
        type(ok(), QStringLiteral("\r"));
        EXPECT_FALSE(form->isVisible());
    }
    EXPECT_EQ(clientFile(), fileBefore);
}

// OK writes only a change. The write takes in what another program stored meanwhile, and the
// main menu must then rebuild its list. A failed write keeps
// the form open and memory as the file is.
TEST_F(ClientInfoTest, OkWritesOnlyAChangeAndAFailedWriteChangesNothing) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    // Another PC on the same data folder stores a third client meanwhile.
    const std::string other =
        bytesOf({makeClient("Ann"), makeClient("Bob"), makeClient("Cy", "N", '2')});
    writeFile(state.paths.clientFile, other);
    state.testStored = false;
    editName(QStringLiteral("\r"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(state.dialogConfirmed);
    EXPECT_EQ(clientFile(), other);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann")) << "TestDate stays";
    EXPECT_FALSE(state.testStored);

    editName(QStringLiteral("Anna\r"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(state.testStored) << "the main menu must rebuild its list";
    EXPECT_EQ(state.clients.clientCount, 3);
    EXPECT_EQ(state.clients.at(1).trimmed(F::Name), "Anna");
    EXPECT_EQ(clientFile(),
              bytesOf({state.clients.at(1), makeClient("Bob"), makeClient("Cy", "N", '2')}));
    // Only the write that changed something is recorded, by field names: the name typed, and
    // the test date and edit count the write sets.
    EXPECT_EQ(auditLines(state.paths.clientFile),
              std::vector<std::string>{"client edited | 1 | fields Name, TestDate, EditCount"});
    EXPECT_EQ(readFile(state.paths.dataFolder / AuditTrail::kFileName).find("Ann"),
              std::string::npos);

    const ClientRecord saved = state.clients.at(1);
    loseDataFolder();
    editName(QStringLiteral("Bea\r"));
    EXPECT_TRUE(form->isVisible()) << "the form stays open so nothing typed is lost";
    EXPECT_EQ(state.clients.at(1), saved);
    EXPECT_TRUE(lastText().startsWith(
        QStringLiteral("The client's information could not be saved; nothing was changed.")));
}

} // namespace
