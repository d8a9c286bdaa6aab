#include "session/frmPresentQA.h"

#include "core/AppState.h"
#include "core/InventoryLayout.h"
#include "session/AnswerHints.h"
#include "session/EndOfTest.h"
#include "session/InstructionTexts.h"
#include "session/PresentationSound.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvj {

namespace {

// Sees every key of the application before the focused control does, so that F10 and the
// supervisor's Alt+Shift+F10 work wherever the focus is.
class KeyPreview : public QObject {
public:
    explicit KeyPreview(std::function<bool(QObject*, QKeyEvent*)> handler)
        : m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            return m_handler(watched, static_cast<QKeyEvent*>(event));
        }
        return false;
    }

private:
    std::function<bool(QObject*, QKeyEvent*)> m_handler;
};

// Paragraphs are set apart by a blank line in every language: a text that starts its
// paragraphs with an indent only gets the blank line before each.
QString forDisplay(const std::string& text) {
    const QStringList in = QString::fromStdString(text)
                               .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                               .split(QLatin1Char('\n'));
    QStringList out;
    for (const QString& line : in) {
        if (!out.isEmpty() && !out.last().trimmed().isEmpty() &&
            line.startsWith(QLatin1Char(' ')) && !line.trimmed().isEmpty()) {
            out << QString();
        }
        out << line;
    }
    return out.join(QLatin1Char('\n'));
}

constexpr int kFrameWidth = 10000; // twips
constexpr int kFrameHeight = 6600;
constexpr int kClientPointSize = 12;
constexpr int kWindowWidth = kFrameWidth + 1200;
constexpr int kWindowHeight = kFrameHeight + 2400;

// How much larger than its design the presentation is: the client's type keeps its proportion
// to the form font (12 points to 9), and the window grows with it as far as the screen allows.
double growth(const QWidget* form) {
    double g = std::max(1.0, form->font().pointSizeF() * 4.0 / 3.0 / kClientPointSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        // The title bar and frame of the window come on top of its size.
        const int decoration = twipsToPixels(600);
        g = std::min({g, 1.0 * (room.width() - decoration) / twipsToPixels(kWindowWidth),
                      1.0 * (room.height() - decoration) / twipsToPixels(kWindowHeight)});
    }
    return std::max(1.0, g);
}

} // namespace

frmPresentQA::frmPresentQA(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmPresentQA"));
    setWindowTitle(QStringLiteral("Question Presentation"));
    setModal(true);
    m_growth = growth(this);
    auto grown = [this](int twips) { return static_cast<int>(twipsToPixels(twips) * m_growth); };
    resize(grown(kWindowWidth), grown(kWindowHeight));

    QFont clientFont = font();
    clientFont.setPointSizeF(kClientPointSize * m_growth);

    m_frQandA = new QWidget(this);
    m_frQandA->setObjectName(QStringLiteral("frQandA"));
    m_frQandA->resize(grown(kFrameWidth), grown(kFrameHeight));
    auto* qaLayout = new QVBoxLayout(m_frQandA);

    m_fraQuestions = new QGroupBox(QStringLiteral("Question"), m_frQandA);
    m_fraQuestions->setObjectName(QStringLiteral("fraQuestions"));
    auto* questionLayout = new QVBoxLayout(m_fraQuestions);
    m_txtQuestion = new QPlainTextEdit(m_fraQuestions);
    m_txtQuestion->setObjectName(QStringLiteral("txtQuestion"));
    m_txtQuestion->setReadOnly(true);
    m_txtQuestion->setTabChangesFocus(true);
    m_txtQuestion->setTextInteractionFlags(Qt::NoTextInteraction);
    m_txtQuestion->setFocusPolicy(Qt::StrongFocus);
    m_txtQuestion->setFont(clientFont);
    m_txtQuestion->setFixedHeight(twipsToPixels(1300));
    setColors(m_txtQuestion, Colors::blue, Colors::white);
    questionLayout->addWidget(m_txtQuestion);
    qaLayout->addWidget(m_fraQuestions);

    m_fraAnswer = new QGroupBox(QStringLiteral("Choose Answer"), m_frQandA);
    m_fraAnswer->setObjectName(QStringLiteral("fraAnswer"));
    auto* answerLayout = new QVBoxLayout(m_fraAnswer);
    for (int k = 0; k < kOptions; ++k) {
        QWidget* panel = makeMenuChoice(m_fraAnswer, k, QString());
        auto* button = panel->findChild<QPushButton*>(QStringLiteral("cmdMenuChoice%1").arg(k));
        auto* text = new QLabel(button);
        text->setObjectName(QStringLiteral("txtButtonText%1").arg(k));
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setFont(clientFont);
        text->setFocusPolicy(Qt::NoFocus);
        text->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        auto* inside = new QHBoxLayout(button);
        inside->setContentsMargins(8, 2, 8, 2);
        inside->addWidget(text);
        button->setFocusPolicy(Qt::StrongFocus);
        m_panels[static_cast<std::size_t>(k)] = panel;
        m_options[static_cast<std::size_t>(k)] = button;
        m_optionTexts[static_cast<std::size_t>(k)] = text;
        answerLayout->addWidget(panel);
        button->installEventFilter(this);
        text->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, k] { chooseOption(k); });
    }
    answerLayout->addStretch();
    qaLayout->addWidget(m_fraAnswer, 1);

    m_fraInstructions = new QGroupBox(QStringLiteral("Instructions"), this);
    m_fraInstructions->setObjectName(QStringLiteral("fraInstructions"));
    m_fraInstructions->resize(grown(kFrameWidth), grown(kFrameHeight));
    auto* instructionLayout = new QVBoxLayout(m_fraInstructions);
    m_txtInstructions = new QPlainTextEdit(m_fraInstructions);
    m_txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    m_txtInstructions->setReadOnly(true);
    m_txtInstructions->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtInstructions->setFont(clientFont);
    m_txtInstructions->setFocusPolicy(Qt::StrongFocus);
    instructionLayout->addWidget(m_txtInstructions);
    m_fraInstructions->hide();

    m_msgPanel = makeMsgPanel(this);

    // Tab order: the question box, then options 1 to 5.
    setTabOrder(m_txtQuestion, m_options[0]);
    for (int k = 1; k < kOptions; ++k) {
        setTabOrder(m_options[static_cast<std::size_t>(k - 1)],
                    m_options[static_cast<std::size_t>(k)]);
    }

    m_txtQuestion->installEventFilter(this);
    m_txtInstructions->installEventFilter(this);

    m_sound = std::make_unique<PresentationSound>(m_state, m_services, this);

    m_keyPreview = std::make_unique<KeyPreview>(
        [this](QObject* receiver, QKeyEvent* key) { return handlePreviewKey(receiver, key); });
    qApp->installEventFilter(m_keyPreview.get());
}

frmPresentQA::~frmPresentQA() {
    qApp->removeEventFilter(m_keyPreview.get());
    m_sound.reset();
}

void frmPresentQA::setQuestions(std::vector<QuestionRow> rows) {
    QuestionSequence::validate(rows, m_language.toStdString());
    m_sequence.emplace(std::move(rows));
}

bool frmPresentQA::isSpanish() const {
    return m_language.toUpper() == QStringLiteral("SPANISH");
}

bool frmPresentQA::instructionsShown() const {
    return !m_fraInstructions->isHidden();
}

int frmPresentQA::item() const {
    return m_sequence ? m_sequence->item() : 0;
}

void frmPresentQA::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    if (!m_sequence) {
        // Nothing to present: the caller checks the table before the test, so this is a
        // programming fault; leave as the abort does, with nothing stored.
        QTimer::singleShot(0, this, [this] { abortTest(); });
        return;
    }
    load();
    activate();
}

void frmPresentQA::load() {
    CenterForm(this);
    m_state.audioAvailable = true;
    GetNextQuestion();
    for (int i = 1; i <= InventoryLayout::kItemCount; ++i) {
        m_state.responses[static_cast<std::size_t>(i)] = 0;
    }
    m_fraInstructions->show();
    m_frQandA->hide();
}

void frmPresentQA::activate() {
    // The help panel keeps the room of the longest help line of the language.
    for (int screen = 0; screen < InstructionTexts::kScreenCount; ++screen) {
        reserveHelpLine(m_msgPanel,
                        QString::fromStdString(InstructionTexts::helpLine(isSpanish(), screen)));
    }
    reserveHelpLine(m_msgPanel, questionHint());
    reserveHelpLine(m_msgPanel, optionHint());
    m_txtQuestion->setAccessibleName(m_fraQuestions->title());
    m_txtQuestion->setAccessibleDescription(questionHint());
    m_txtInstructions->setAccessibleName(m_fraInstructions->title());
    for (QPushButton* option : m_options) {
        option->setAccessibleDescription(optionHint());
    }
    // A wrapped help line at a large font needs more than the room left below the frames.
    const int below = msgPanelRoom(this, m_msgPanel, width()) + twipsToPixels(120);
    const int needed = std::max(m_frQandA->height(), m_fraInstructions->height()) -
                       twipsToPixels(1000) + 2 * below;
    if (needed > height()) {
        resize(width(), needed);
        CenterForm(this);
    }
    placeMsgPanel(this, m_msgPanel);
    CenterFrame(this, m_frQandA);
    CenterFrame(this, m_fraInstructions);
    if (isSpanish()) {
        setWindowTitle(QStringLiteral("Presentación de preguntas"));
    }
    m_sound->prepare();
    m_generalInstructions = true;
    TestInstructions(0);
    Play(QString::fromStdString(InstructionTexts::soundFile(0)));
    ClearHighlights(this, kOptions - 1);
}

void frmPresentQA::GetNextQuestion() {
    const QuestionSequence::Step step = m_sequence->next();
    if (step.finished) {
        finishTest();
        return;
    }
    if (step.sectionInstructions > 0) {
        TestInstructions(step.sectionInstructions);
        Play(QString::fromStdString(InstructionTexts::soundFile(step.sectionInstructions)));
    }
    showCurrentQuestion();
}

void frmPresentQA::showCurrentQuestion() {
    const QScopedValueRollback changing(m_changingItem, true);
    const QuestionRow& row = m_sequence->current();
    m_txtQuestion->setPlainText(QString::number(row.id) + QStringLiteral(". ") +
                                QString::fromStdString(row.testQuestion));
    m_questionAudio = QString::fromStdString(row.questionAudio).trimmed() + QStringLiteral(".wav");
    const int textWidth = twipsToPixels(kFrameWidth) - 60;
    for (int k = 0; k < kOptions; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool present = row.answers[i].has_value();
        m_optionTexts[i]->setText(present ? QString::fromStdString(*row.answers[i]) : QString());
        m_options[i]->setAccessibleName(m_optionTexts[i]->text());
        m_optionAudio[i] =
            present ? QString::fromStdString(row.choiceAudio[i]).trimmed() + QStringLiteral(".wav")
                    : QString();
        m_panels[i]->setVisible(present);
        m_options[i]->setVisible(present);
        m_optionTexts[i]->setVisible(present);
        if (present) {
            const int h = m_optionTexts[i]->heightForWidth(textWidth);
            m_options[i]->setMinimumHeight(std::max(twipsToPixels(375), h + 8));
        }
    }
    QTextCursor cursor = m_txtQuestion->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m_txtQuestion->setTextCursor(cursor);
}

void frmPresentQA::TestInstructions(int section) {
    m_txtInstructions->selectAll();
    m_txtInstructions->clear();
    m_fraInstructions->show();
    m_fraInstructions->raise();
    m_frQandA->hide();
    m_msgPanel->setText(QString::fromStdString(InstructionTexts::helpLine(isSpanish(), section)));
    m_txtInstructions->setAccessibleDescription(m_msgPanel->text());
    const QString text = forDisplay(InstructionTexts::text(isSpanish(), section));
    fitInstructionFont();
    m_txtInstructions->setPlainText(text);
    m_txtInstructions->setFocus();
    for (QLabel* optionText : m_optionTexts) {
        setBold(optionText, false);
    }
}

// The client cannot scroll an instruction screen (its keys only leave it), so the type is made
// smaller until the longest screen of either language fits; every screen of both languages then
// reads in the same size.
void frmPresentQA::fitInstructionFont() {
    if (m_instructionFontFitted) {
        return;
    }
    m_instructionFontFitted = true;
    QFont f = m_txtInstructions->font();
    const int width = m_txtInstructions->viewport()->width() - 12;
    const int height = m_txtInstructions->viewport()->height() - 12;
    const double largest = kClientPointSize * m_growth;
    for (double points = largest; points >= 8; points -= 0.5) {
        f.setPointSizeF(points);
        bool fits = true;
        for (const bool spanish : {false, true}) {
            for (int screen = 0; fits && screen < InstructionTexts::kScreenCount; ++screen) {
                QTextDocument doc;
                doc.setDefaultFont(f);
                doc.setPlainText(forDisplay(InstructionTexts::text(spanish, screen)));
                doc.setTextWidth(width);
                fits = doc.size().height() <= height;
            }
        }
        if (fits) {
            break;
        }
    }
    m_txtInstructions->setFont(f);
}

void frmPresentQA::leaveInstructions() {
    if (m_generalInstructions) {
        m_generalInstructions = false;
        TestInstructions(1);
        Play(QString::fromStdString(InstructionTexts::soundFile(1)));
        return;
    }
    m_fraInstructions->hide();
    m_frQandA->show();
    focusQuestion();
}

void frmPresentQA::focusQuestion() {
    if (m_txtQuestion->hasFocus()) {
        onQuestionFocus();
    } else {
        m_txtQuestion->setFocus();
    }
}

void frmPresentQA::onQuestionFocus() {
    if (m_changingItem) {
        return;
    }
    if (instructionsShown()) {
        m_txtInstructions->setFocus();
        return;
    }
    setColors(m_txtQuestion, Colors::cyan, Colors::black);
    ClearHighlights(this, kOptions - 1);
    m_msgPanel->setText(questionHint());
    Play(m_questionAudio);
}

void frmPresentQA::onOptionFocusIn(int index) {
    if (m_changingItem) {
        return;
    }
    HighlightChoice(this, kOptions - 1, index);
    setBold(m_optionTexts[static_cast<std::size_t>(index)], true);
    m_msgPanel->setText(optionHint());
    Play(m_optionAudio[static_cast<std::size_t>(index)]);
}

void frmPresentQA::onOptionFocusOut(int index) {
    setBold(m_optionTexts[static_cast<std::size_t>(index)], false);
    ClearHighlights(this, kOptions - 1);
}

QString frmPresentQA::questionHint() const {
    return QString::fromStdString(AnswerHints(isSpanish(), m_state.audioAvailable).question());
}

QString frmPresentQA::optionHint() const {
    return QString::fromStdString(AnswerHints(isSpanish(), m_state.audioAvailable).option());
}

int frmPresentQA::optionIndexOf(QObject* o) const {
    for (int k = 0; k < kOptions; ++k) {
        if (m_options[static_cast<std::size_t>(k)] == o) {
            return k;
        }
    }
    return -1;
}

int frmPresentQA::visibleOption(int from, int step) const {
    for (int k = from + step; k >= 0 && k < kOptions; k += step) {
        if (!m_options[static_cast<std::size_t>(k)]->isHidden()) {
            return k;
        }
    }
    return -1;
}

void frmPresentQA::chooseOption(int index) {
    if (m_closing || instructionsShown() || !m_sequence ||
        m_options[static_cast<std::size_t>(index)]->isHidden()) {
        return;
    }
    m_state.responses[static_cast<std::size_t>(m_sequence->current().id)] =
        static_cast<std::int16_t>(index + 1);
    GetNextQuestion();
    if (!m_closing && !instructionsShown()) {
        focusQuestion();
    }
}

void frmPresentQA::goBack() {
    if (instructionsShown() || !m_sequence) {
        return;
    }
    if (m_sequence->back() == QuestionSequence::Back::Beep) {
        m_services.messages->beep();
        return;
    }
    showCurrentQuestion();
    m_options[0]->setFocus();
    focusQuestion();
}

void frmPresentQA::abortTest() {
    m_state.dialogConfirmed = false;
    recordAudit(
        m_state.paths.clientFile, *m_services.messages, this,
        {AuditEvent::TestAborted, std::to_string(m_state.clients.currentClient), "on-screen"});
    m_state.clients.dropNewClient();
    closeForm(QDialog::Rejected);
}

void frmPresentQA::finishTest() {
    const auto tryAgain = [this](const std::string& fault) {
        return m_services.messages->show(
                   this, appTitle(),
                   QStringLiteral("The client's answers could not be saved.\n\n%1\n\nTry again?")
                       .arg(errorText(fault)),
                   MessageService::Icon::Critical,
                   MessageService::Buttons::YesNo) == MessageService::Answer::Yes;
    };
    ClientFile file(m_state.paths.clientFile);
    file.setAuditEvent(AuditEvent::TestStored, "on-screen");
    const auto outcome = EndOfTest::store(
        m_state.clients, InventoryLayout::buildResponseString(m_state.responses), file, tryAgain);
    if (outcome == EndOfTest::Outcome::KeptInMemory) {
        m_services.messages->show(
            this, appTitle(),
            QStringLiteral("The answers are kept in memory with the client until the "
                           "program ends. To save them, choose the client in the list, "
                           "then \"Edit Current Client\", and Save the answers."),
            MessageService::Icon::Information, MessageService::Buttons::Ok);
    }
    m_state.testStored = true;
    closeForm(QDialog::Accepted);
}

void frmPresentQA::Play(const QString& fileName) {
    m_sound->play(fileName, m_language);
}

void frmPresentQA::StopAllPlay() {
    m_sound->stopAll();
}

bool frmPresentQA::handlePreviewKey(QObject* receiver, QKeyEvent* key) {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr || m_closing || !isVisible() ||
        (widget != this && !isAncestorOf(widget))) {
        return false;
    }
    if (key->key() == Qt::Key_F10) {
        const auto mods = key->modifiers();
        if (mods.testFlag(Qt::AltModifier) && mods.testFlag(Qt::ShiftModifier)) {
            abortTest();
        } else {
            goBack();
        }
        return true;
    }
    // The test has no way out for the client: Escape does not close it.
    return key->key() == Qt::Key_Escape;
}

bool frmPresentQA::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_txtInstructions) {
        if (type == QEvent::KeyPress) {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab) {
                leaveInstructions();
            }
            return true;
        }
        if (type == QEvent::FocusIn) {
            for (QLabel* text : m_optionTexts) {
                setBold(text, false);
            }
        }
        return false;
    }
    if (watched == m_txtQuestion) {
        switch (type) {
        case QEvent::FocusIn:
            onQuestionFocus();
            return false;
        case QEvent::FocusOut:
            setColors(m_txtQuestion, Colors::blue, Colors::white);
            return false;
        case QEvent::KeyPress: {
            const int k = static_cast<QKeyEvent*>(event)->key();
            if (k == Qt::Key_Tab || k == Qt::Key_Backtab) {
                return false;
            }
            if (k == Qt::Key_Down) {
                m_options[0]->setFocus();
            }
            return true;
        }
        case QEvent::KeyRelease:
            return true;
        default:
            return false;
        }
    }
    for (int k = 0; k < kOptions; ++k) {
        if (watched == m_optionTexts[static_cast<std::size_t>(k)]) {
            if (type == QEvent::MouseButtonPress &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                chooseOption(k);
                return true;
            }
            return false;
        }
    }
    const int index = optionIndexOf(watched);
    if (index < 0) {
        return QDialog::eventFilter(watched, event);
    }
    switch (type) {
    case QEvent::FocusIn:
        onOptionFocusIn(index);
        return false;
    case QEvent::FocusOut:
        onOptionFocusOut(index);
        return false;
    case QEvent::KeyPress: {
        const int k = static_cast<QKeyEvent*>(event)->key();
        switch (k) {
        case Qt::Key_Space:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            chooseOption(index);
            return true;
        case Qt::Key_Up: {
            const int previous = visibleOption(index, -1);
            if (previous < 0) {
                m_txtQuestion->setFocus();
            } else {
                m_options[static_cast<std::size_t>(previous)]->setFocus();
            }
            return true;
        }
        case Qt::Key_Down: {
            // Down on the last visible option stays there.
            const int next = visibleOption(index, +1);
            if (next >= 0) {
                m_options[static_cast<std::size_t>(next)]->setFocus();
            }
            return true;
        }
        default:
            return true;
        }
    }
    case QEvent::KeyRelease:
        return static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space;
    default:
        return false;
    }
}

void frmPresentQA::closeForm(int result) {
    m_closing = true;
    StopAllPlay();
    QDialog::done(result);
}

// Only the end of the test and the supervisor's abort close the form.
void frmPresentQA::done(int result) {
    if (m_closing) {
        QDialog::done(result);
    }
}

void frmPresentQA::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace orvj
