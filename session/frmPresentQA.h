#pragma once

#include "session/QuestionSequence.h"
#include "store/QuestionBank.h"

#include <QDialog>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;
class PresentationSound;

// The on-screen test: the instruction screens, the 143 questions one at a time with their
// options, the sounds, F10 to go back, Alt+Shift+F10 for the supervisor's abort, and the
// response string stored after the last item.
class frmPresentQA : public QDialog {
    Q_OBJECT
public:
    static constexpr int kOptions = 5;

    frmPresentQA(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmPresentQA() override;

    void setLanguage(const QString& language) { m_language = language; }
    QString Language() const { return m_language; }
    // The rows of the language's question table, in stored order.
    void setQuestions(std::vector<QuestionRow> rows);

    void GetNextQuestion();
    void TestInstructions(int section);
    // Plays one file of the sound folder without waiting for its end.
    void Play(const QString& fileName);
    void StopAllPlay();

    bool instructionsShown() const;
    int item() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isSpanish() const;
    void load();
    void activate();
    void showCurrentQuestion();
    void focusQuestion();
    void onQuestionFocus();
    void onOptionFocusIn(int index);
    void onOptionFocusOut(int index);
    void leaveInstructions();
    void fitInstructionFont();
    void chooseOption(int index);
    void goBack();
    void abortTest();
    void finishTest();
    void closeForm(int result);
    bool handlePreviewKey(QObject* receiver, QKeyEvent* key);
    int optionIndexOf(QObject* o) const;
    // The nearest shown option before (step -1) or after (step +1) `from`; -1 when none.
    int visibleOption(int from, int step) const;
    QString questionHint() const;
    QString optionHint() const;

    AppState& m_state;
    Services& m_services;
    QString m_language;
    std::optional<QuestionSequence> m_sequence;
    std::unique_ptr<PresentationSound> m_sound;
    std::unique_ptr<QObject> m_keyPreview;

    QGroupBox* m_fraInstructions = nullptr;
    QPlainTextEdit* m_txtInstructions = nullptr;
    QWidget* m_frQandA = nullptr;
    QGroupBox* m_fraQuestions = nullptr;
    QPlainTextEdit* m_txtQuestion = nullptr;
    QGroupBox* m_fraAnswer = nullptr;
    std::array<QPushButton*, kOptions> m_options{};
    std::array<QLabel*, kOptions> m_optionTexts{};
    std::array<QWidget*, kOptions> m_panels{};
    QLabel* m_msgPanel = nullptr;

    QString m_questionAudio;
    std::array<QString, kOptions> m_optionAudio;
    bool m_loaded = false;
    bool m_generalInstructions = false;
    bool m_closing = false;
    // While the next item's texts go in: hiding the focused option moves the focus on, and that
    // move must neither play a sound nor light a control before the item is complete.
    bool m_changingItem = false;
    bool m_instructionFontFitted = false;
    double m_growth = 1.0;
};

} // namespace orvj
