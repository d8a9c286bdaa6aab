#include "clients/frmClientInfo.h"

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "store/Clock.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/RecordText.h"
#include "ui/Scramble.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>

#include <utility>

namespace orvj {
namespace {

using ClientInfo::Combo;
using ClientInfo::FieldKey;
using F = ClientRecord::Field;

using ClientInfo::kFieldCount;

QString errorMessage(FieldKey k) {
    switch (k) {
    case FieldKey::Name:
        return QStringLiteral(
            "Enter client's name or N for Not Available. Press Enter to continue.");
    case FieldKey::SSN:
        return QStringLiteral("Enter ID number or N for Not Available. Press Enter to continue.");
    case FieldKey::Age:
        return QStringLiteral("Enter age of client in number of years or N for Not Available. "
                              "Press Enter to continue.");
    case FieldKey::Gender:
        return QStringLiteral("Press down arrow to select sex or N/A for Not Available. Press "
                              "Enter to continue.");
    case FieldKey::Race:
        return QStringLiteral("Press down arrow to select ethnicity/race or N/A for Not "
                              "Available. Press Enter to continue.");
    case FieldKey::Education:
        return QStringLiteral("Press down arrow to select education or N/A for Not Available. "
                              "Press Enter to continue.");
    }
    return {};
}

// Guards pasted text the same way the key handler guards typed keys.
class StorableTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (!ClientInfo::textKeyAllowed(c.unicode())) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

class AgeValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('n') &&
                c != QLatin1Char('N') && c != QLatin1Char(' ')) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

// Enter (either key) or Tab without Shift, Ctrl or Alt.
bool isEnterOrTab(const QKeyEvent* key) {
    const int k = key->key();
    return (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The character a key press types, 0 for none (arrows, function keys).
char32_t typedChar(const QKeyEvent* key) {
    if (key->key() == Qt::Key_Backspace) {
        return U'\b';
    }
    if (key->key() == Qt::Key_Delete) {
        return 0x7F;
    }
    const QString text = key->text();
    if (text.isEmpty()) {
        return 0;
    }
    const auto ucs4 = text.toUcs4();
    return ucs4.isEmpty() ? 0 : ucs4.front();
}

} // namespace

frmClientInfo::frmClientInfo(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmClientInfo"));
    setWindowTitle(QStringLiteral("Client Information"));
    setModal(true);
    buildFields();
    buildLayout();
    buildChoices();
    setFocusOrder();
    for (int i = ClientInfo::kFirstCombo; i < kFieldCount; ++i) {
        connect(comboAt(i), &QComboBox::editTextChanged, this, [this, i] { applyEntryRule(i); });
    }
}

// The frame "frClient" with the six fields in focus order, each beside its label.
void frmClientInfo::buildFields() {
    m_frClient = new QFrame(this);
    m_frClient->setObjectName(QStringLiteral("frClient"));
    m_frClient->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(m_frClient);

    m_txtName = new QLineEdit(m_frClient);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_txtName->setMaxLength(25);
    m_txtName->setValidator(new StorableTextValidator(m_txtName));
    // Room for a name of 25 wide letters, so no name is ever shown cut.
    m_txtName->setMinimumWidth(widestText(m_txtName->fontMetrics(), 25) + twipsToPixels(240));
    m_txtSSN = new QLineEdit(m_frClient);
    m_txtSSN->setObjectName(QStringLiteral("txtSSN"));
    m_txtSSN->setMaxLength(11);
    m_txtSSN->setValidator(new StorableTextValidator(m_txtSSN));
    m_txtAge = new QLineEdit(m_frClient);
    m_txtAge->setObjectName(QStringLiteral("txtAge"));
    m_txtAge->setMaxLength(2);
    m_txtAge->setValidator(new AgeValidator(m_txtAge));
    m_txtAge->setContextMenuPolicy(Qt::NoContextMenu);

    auto makeCombo = [this](const char* name, Combo kind) {
        auto* combo = new QComboBox(m_frClient);
        combo->setObjectName(QString::fromLatin1(name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        for (int code = 0; code < ClientInfo::entryCount(kind); ++code) {
            combo->addItem(QString::fromLatin1(ClientInfo::entryText(kind, code)));
        }
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
        combo->lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
        return combo;
    };
    m_cmbGender = makeCombo("cmbGender", Combo::Gender);
    m_cmbRace = makeCombo("cmbRace", Combo::Race);
    m_cmbEducation = makeCombo("cmbEducation", Combo::Education);

    for (int i = 0; i < kFieldCount; ++i) {
        m_lblInfo[static_cast<std::size_t>(i)] =
            new QLabel(QString::fromLatin1(ClientInfo::label(i)), m_frClient);
        m_lblInfo[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("lblInfo%1").arg(i));
        keepBoldRoom(m_lblInfo[static_cast<std::size_t>(i)]);
        grid->addWidget(m_lblInfo[static_cast<std::size_t>(i)], i, 0);
        grid->addWidget(fieldAt(i), i, 1);
        fieldAt(i)->installEventFilter(this);
    }
}

// The frame, the note on locked fields, the two menu choices and the help panel, one below
// the other.
void frmClientInfo::buildLayout() {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeMenuChoice(this, 0, QStringLiteral("Information OK")));
    buttons->addWidget(makeMenuChoice(this, 1, QStringLiteral("Cancel Input")));
    buttons->addStretch();

    m_lblLocked = new QLabel(this);
    m_lblLocked->setObjectName(QStringLiteral("lblLocked"));
    m_lblLocked->setTextFormat(Qt::PlainText);
    m_lblLocked->setWordWrap(true);
    m_lblLocked->setAlignment(Qt::AlignCenter);
    m_lblLocked->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblLocked->hide();

    m_msgPanel = makeMsgPanel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(m_frClient, 0, Qt::AlignHCenter);
    layout->addWidget(m_lblLocked);
    layout->addLayout(buttons);
    layout->addStretch();
    layout->addWidget(m_msgPanel);
}

// The menu choices and the help lines of every control.
void frmClientInfo::buildChoices() {
    m_choices = new MenuChoices(this, m_msgPanel, false);
    m_choices->add(0, QString());
    m_choices->add(1, QStringLiteral("Cancel information input and return to Main Menu."));
    for (int i = 0; i < kFieldCount; ++i) {
        describeControl(fieldAt(i), QString::fromLatin1(ClientInfo::label(i)).chopped(1),
                        QString::fromLatin1(ClientInfo::helpLine(i)), m_msgPanel);
    }
    // Every help line "Information OK" can show has its room on the help panel.
    for (int i = 0; i < ClientInfo::kOkHelpCount; ++i) {
        reserveHelpLine(m_msgPanel, QString::fromLatin1(ClientInfo::okHelpLine(
                                        static_cast<ClientInfo::OkHelp>(i))));
    }
    connect(m_choices, &MenuChoices::chosen, this, &frmClientInfo::choose);
    sizeToLayout(this, 8000, 5200);
}

// The fields in order, then "Information OK" and "Cancel Input".
void frmClientInfo::setFocusOrder() {
    QWidget* previous = nullptr;
    for (int i = 0; i < kFieldCount; ++i) {
        if (previous != nullptr) {
            setTabOrder(previous, fieldAt(i));
        }
        previous = fieldAt(i);
    }
    setTabOrder(previous, menuButton(this, 0));
    setTabOrder(menuButton(this, 0), menuButton(this, 1));
}

bool frmClientInfo::EditMode() const {
    return m_state.editMode;
}
void frmClientInfo::setEditMode(bool on) {
    m_state.editMode = on;
}
bool frmClientInfo::ScanEditMode() const {
    return m_state.scanEditMode;
}
void frmClientInfo::setScanEditMode(bool on) {
    m_state.scanEditMode = on;
}

QWidget* frmClientInfo::fieldAt(int order) const {
    return order >= 0 && order < kFieldCount ? fieldOf(ClientInfo::fieldAt(order)) : nullptr;
}

QWidget* frmClientInfo::fieldOf(FieldKey k) const {
    switch (k) {
    case FieldKey::Name:
        return m_txtName;
    case FieldKey::SSN:
        return m_txtSSN;
    case FieldKey::Age:
        return m_txtAge;
    case FieldKey::Gender:
        return m_cmbGender;
    case FieldKey::Race:
        return m_cmbRace;
    case FieldKey::Education:
        return m_cmbEducation;
    }
    return nullptr;
}

QComboBox* frmClientInfo::comboAt(int order) const {
    return ClientInfo::isCombo(order) ? static_cast<QComboBox*>(fieldAt(order)) : nullptr;
}

int frmClientInfo::orderOf(QObject* o) const {
    for (int i = 0; i < kFieldCount; ++i) {
        if (fieldAt(i) == o) {
            return i;
        }
    }
    return -1;
}

void frmClientInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loadedOnce) {
        m_loadedOnce = true;
        load();
        // Message boxes of the activation come once the window is up.
        QTimer::singleShot(0, this, &frmClientInfo::activate);
    }
}

void frmClientInfo::load() {
    m_loaded.clear();
    if (m_state.editMode) {
        RecordToScreen();
    } else {
        m_state.workingEditCount = 0;
        m_state.nameDeleted = 0;
    }
    m_choices->setHelpLine(0, okHelpLine());
}

void frmClientInfo::activate() {
    CenterForm(this);
    ClearHighlights(this, 1);
    if (!m_state.editMode && ClientInfo::newClientSlot(m_state.clients) == 0) {
        m_services.messages->show(
            this, appTitle(),
            QStringLiteral("The client file already holds %1 clients. No further client can be "
                           "registered.")
                .arg(ClientTable::kMaxClients),
            MessageService::Icon::Critical);
        reject();
        return;
    }
    if (m_state.editMode || m_state.scanEditMode) {
        menuButton(this, 0)->setFocus(Qt::OtherFocusReason);
        // It may have held the focus already, from the window's first activation.
        m_choices->showFocus();
    } else {
        m_txtName->setFocus(Qt::OtherFocusReason);
    }
    switch (ClientInfo::openNotice(m_state.nameDeleted, m_state.workingEditCount)) {
    case ClientInfo::OpenNotice::None:
        break;
    case ClientInfo::OpenNotice::NameDeleted:
        m_services.messages->show(this, QStringLiteral("Name Deleted"),
                                  QStringLiteral("This client's name has been deleted.\n"
                                                 "Editting this information is no longer "
                                                 "permitted."),
                                  MessageService::Icon::Information);
        break;
    case ClientInfo::OpenNotice::EditLimit:
        EditLimitMessage();
        lockFields();
        break;
    }
}

void frmClientInfo::RecordToScreen() {
    const ClientRecord& r = m_state.clients.current();
    m_txtName->setText(toScreen(r.trimmed(F::Name)));
    m_txtSSN->setText(toScreen(r.trimmed(F::SSN)));
    m_txtAge->setText(toScreen(r.trimmed(F::Age)));
    m_applyingRule = true;
    const std::pair<FieldKey, F> combos[3] = {{FieldKey::Gender, F::Gender},
                                              {FieldKey::Race, F::Race},
                                              {FieldKey::Education, F::Education}};
    for (const auto& [key, field] : combos) {
        QComboBox* combo = comboAt(ClientInfo::orderOf(key));
        const int code = r.digit(field);
        combo->setCurrentIndex(code < combo->count() ? code : -1);
        combo->setEditText(code >= 0 && code < combo->count() ? combo->itemText(code) : QString());
    }
    m_applyingRule = false;
    m_state.nameDeleted = isNameDeleted(r) ? 1 : 0;
    m_state.workingEditCount = static_cast<std::int16_t>(ClientInfo::digitOrZero(r, F::EditCount));
    if (ClientInfo::fieldsLocked(m_state.nameDeleted, m_state.workingEditCount)) {
        lockFields();
        m_msgPanel->setText(okHelpLine());
    }
    m_loaded.load(r);
}

void frmClientInfo::lockFields() {
    m_fieldsLocked = true;
    // Disabled fields would be grey on grey: the values stay readable, only out of reach of the
    // keyboard and the mouse, and the note says why.
    for (int i = 0; i < kFieldCount; ++i) {
        QWidget* field = fieldAt(i);
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            line->setReadOnly(true);
        } else {
            comboAt(i)->lineEdit()->setReadOnly(true);
        }
        field->setFocusPolicy(Qt::NoFocus);
        field->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_lblLocked->setText(
        m_state.nameDeleted == 1
            ? QStringLiteral("This client's name has been deleted, so this information can no "
                             "longer be changed.")
            : QStringLiteral("This client's information has been edited %1 times and can no "
                             "longer be changed.")
                  .arg(ClientInfo::kEditLimit));
    m_lblLocked->show();
}

QString frmClientInfo::okHelpLine() const {
    return QString::fromLatin1(
        ClientInfo::okHelpLine(ClientInfo::okHelp(m_state.nameDeleted, m_state.workingEditCount)));
}

void frmClientInfo::EditLimitMessage() {
    m_services.messages->show(this, QStringLiteral("Edit Limit Reached"),
                              QStringLiteral("This client's information has been edited\n"
                                             "3 times already. Further editing of this\n"
                                             "information is no longer permitted."),
                              MessageService::Icon::Information);
}

bool frmClientInfo::eventFilter(QObject* watched, QEvent* event) {
    const int order = orderOf(watched);
    if (order < 0) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (m_fieldsLocked) {
            return true;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (ClientInfo::isCombo(order)) {
            return comboKey(order, key);
        }
        if (ClientInfo::fieldAt(order) == FieldKey::Age) {
            return ageKey(key);
        }
        return textKey(order, key);
    }
    case QEvent::FocusIn:
        focusIn(order);
        return false;
    case QEvent::FocusOut:
        // The combo's own drop-down list takes the focus for a moment; that is no leaving.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            focusOut(order);
        }
        return false;
    default:
        return false;
    }
}

bool frmClientInfo::textKey(int order, QKeyEvent* key) {
    if (isEnterOrTab(key)) {
        enterIn(order);
        return true;
    }
    const char32_t c = typedChar(key);
    if (c >= 0x20 && c != 0x7F && !(key->modifiers() & Qt::ControlModifier)) {
        for (char32_t ch : key->text().toUcs4()) {
            if (!ClientInfo::textKeyAllowed(ch)) {
                m_services.messages->beep();
                return true;
            }
        }
    }
    return false;
}

bool frmClientInfo::ageKey(QKeyEvent* key) {
    if (isEnterOrTab(key)) {
        enterIn(ClientInfo::orderOf(FieldKey::Age));
        return true;
    }
    const char32_t c = typedChar(key);
    if (c == 0) {
        return false; // arrows and the like move the caret
    }
    switch (ClientInfo::ageKey(m_txtAge->text().toStdString(), c)) {
    case ClientInfo::AgeKey::Accept:
        return false;
    case ClientInfo::AgeKey::EmptyAndError:
        m_txtAge->clear();
        fieldError(FieldKey::Age);
        return true;
    case ClientInfo::AgeKey::EmptyAndBeep:
        m_txtAge->clear();
        m_services.messages->beep();
        return true;
    }
    return true;
}

bool frmClientInfo::comboKey(int order, QKeyEvent* key) {
    if (isEnterOrTab(key)) {
        enterIn(order);
        return true;
    }
    const char32_t c = typedChar(key);
    if (c == 0 || c == 0x1B) {
        return false; // arrows, F4 and Escape work the list
    }
    if (ClientInfo::comboKeyAllowed(ClientInfo::comboAt(order), c)) {
        return false;
    }
    comboAt(order)->setEditText(QString());
    m_services.messages->beep();
    return true;
}

void frmClientInfo::enterIn(int order) {
    const FieldKey k = ClientInfo::fieldAt(order);
    switch (k) {
    case FieldKey::Name:
        if (ClientInfo::trimmed(toRecord(m_txtName->text())).empty()) {
            fieldError(k);
        } else {
            focusNext(order);
        }
        return;
    case FieldKey::SSN: {
        const QString id = QString::fromStdString(
            ClientInfo::notAvailableForm(m_txtSSN->text().trimmed().toStdString()));
        m_txtSSN->setText(id);
        if (id.isEmpty()) {
            fieldError(k);
        } else {
            focusNext(order);
        }
        return;
    }
    case FieldKey::Age: {
        const std::string age = ClientInfo::normalizedAge(m_txtAge->text().toStdString());
        m_txtAge->setText(QString::fromStdString(age));
        if (ClientInfo::ageAcceptable(age)) {
            focusNext(order);
        } else {
            m_txtAge->clear();
            fieldError(k);
        }
        return;
    }
    case FieldKey::Gender:
    case FieldKey::Race:
    case FieldKey::Education:
        if (comboPosition(order) < 0) {
            fieldError(k);
        } else {
            focusNext(order);
        }
        return;
    }
}

void frmClientInfo::focusNext(int order) {
    QWidget* next = order + 1 < kFieldCount ? fieldAt(order + 1) : menuButton(this, 0);
    next->setFocus(Qt::TabFocusReason);
}

void frmClientInfo::fieldError(FieldKey k) {
    m_services.messages->beep();
    m_services.messages->show(this, appTitle(), errorMessage(k), MessageService::Icon::Critical);
    fieldOf(k)->setFocus(Qt::OtherFocusReason);
}

void frmClientInfo::focusIn(int order) {
    setBold(m_lblInfo[static_cast<std::size_t>(order)], true);
    SelectAllText();
    m_msgPanel->setText(QString::fromLatin1(ClientInfo::helpLine(order)));
}

void frmClientInfo::focusOut(int order) {
    setBold(m_lblInfo[static_cast<std::size_t>(order)], false);
    if (comboAt(order) != nullptr) {
        applyEntryRule(order);
    } else {
        auto* line = static_cast<QLineEdit*>(fieldAt(order));
        if (line->text() == QLatin1String("n")) {
            line->setText(QStringLiteral("N"));
        }
    }
    if (m_state.editMode &&
        m_loaded.noteLeft(ClientInfo::fieldAt(order), toRecord(currentValue(order)))) {
        m_state.workingEditCount =
            static_cast<std::int16_t>(ClientInfo::nextEditCount(m_loaded.editCount()));
    }
}

QString frmClientInfo::currentValue(int order) const {
    if (comboAt(order) != nullptr) {
        const int position = comboPosition(order);
        return position < 0 ? QString() : QString::number(position);
    }
    return static_cast<QLineEdit*>(fieldAt(order))->text().trimmed();
}

int frmClientInfo::comboPosition(int order) const {
    QComboBox* combo = comboAt(order);
    const QString text = combo->currentText();
    if (text.isEmpty()) {
        return -1;
    }
    const int current = combo->currentIndex();
    if (current >= 0 && combo->itemText(current) == text) {
        return current;
    }
    return combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void frmClientInfo::applyEntryRule(int order) {
    if (m_applyingRule) {
        return;
    }
    QComboBox* combo = comboAt(order);
    const int entry =
        ClientInfo::entryForText(ClientInfo::comboAt(order), toRecord(combo->currentText()));
    m_applyingRule = true;
    if (entry >= 0) {
        combo->setCurrentIndex(entry);
        if (combo->currentText() != combo->itemText(entry)) {
            combo->setEditText(combo->itemText(entry));
        }
        // The next typed key replaces the entry rather than adding to it.
        combo->lineEdit()->selectAll();
    } else if (combo->hasFocus() && !combo->view()->isVisible()) {
        ++m_dropDowns;
        combo->showPopup();
    }
    m_applyingRule = false;
}

ClientInfo::Fields frmClientInfo::collect() const {
    ClientInfo::Fields f;
    f.name = toRecord(m_txtName->text());
    f.ssn = toRecord(m_txtSSN->text());
    f.age = toRecord(m_txtAge->text());
    f.gender = comboPosition(ClientInfo::orderOf(FieldKey::Gender));
    f.race = comboPosition(ClientInfo::orderOf(FieldKey::Race));
    f.education = comboPosition(ClientInfo::orderOf(FieldKey::Education));
    return f;
}

void frmClientInfo::choose(int index) {
    if (index == 1) {
        reject();
        return;
    }
    informationOk();
}

void frmClientInfo::informationOk() {
    ClientInfo::Fields fields = collect();
    FieldKey empty{};
    if (ClientInfo::firstEmptyField(fields, empty)) {
        fieldError(empty);
        return;
    }
    // An age left by mouse or Shift+Tab has not passed the Enter check yet.
    if (m_txtAge->isEnabled() &&
        !ClientInfo::ageAcceptable(ClientInfo::normalizedAge(fields.age))) {
        m_txtAge->clear();
        fieldError(FieldKey::Age);
        return;
    }
    m_state.dialogConfirmed = true;

    ClientTable& clients = m_state.clients;
    if (!m_state.editMode) {
        const int slot = ClientInfo::newClientSlot(clients);
        if (slot == 0) {
            m_state.dialogConfirmed = false;
            reject();
            return;
        }
        clients.currentClient = static_cast<std::int16_t>(slot);
    }
    switch (ClientInfo::decide(fields, m_state.editMode, m_state.scanEditMode, clients.current(),
                               m_loaded.editCount())) {
    case ClientInfo::OkStep::CloseUnchanged:
    case ClientInfo::OkStep::CloseAtEditLimit:
        accept();
        return;
    case ClientInfo::OkStep::Save:
        break;
    }
    const Date today = m_services.clock->today();
    if (!m_state.editMode) {
        ClientInfo::initialiseNewRecord(clients.current(), m_state.workingEditCount, today);
        ClientInfo::RecordToDB(clients.current(), fields, today);
        accept();
        return;
    }
    if (saveEdit(fields)) {
        accept();
    }
}

void frmClientInfo::RecordToDB() {
    const Date today = m_services.clock->today();
    ClientInfo::RecordToDB(m_state.clients.current(), collect(), today);
}

bool frmClientInfo::saveEdit(const ClientInfo::Fields& fields) {
    const Date today = m_services.clock->today();
    const int count = ClientInfo::nextEditCount(m_loaded.editCount());
    const RecordSave save = m_state.clients.saveCurrent(
        [&](ClientRecord& record) {
            ClientInfo::RecordToDB(record, fields, today);
            record.set(F::EditCount, std::to_string(count));
        },
        ClientFile(m_state.paths.clientFile));
    if (!save.saved) {
        m_state.dialogConfirmed = false;
        m_services.messages->show(
            this, appTitle(),
            QStringLiteral("The client's information could not be saved; nothing was changed.\n") +
                errorText(save.fault),
            MessageService::Icon::Critical);
        return false;
    }
    if (save.reloaded) {
        m_state.testStored = true; // another program changed clients: rebuild the list
    }
    m_state.workingEditCount = static_cast<std::int16_t>(count);
    return true;
}

void frmClientInfo::reject() {
    m_state.dialogConfirmed = false;
    QDialog::reject();
}

} // namespace orvj
