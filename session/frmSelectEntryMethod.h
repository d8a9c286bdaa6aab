#pragma once

#include <QDialog>

#include <functional>

class QFrame;
class QGroupBox;
class QLabel;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;
class frmPresentQA;

// How a new client's answers are obtained: the on-screen test or the answer-sheet grids.
class frmSelectEntryMethod : public QDialog {
    Q_OBJECT
public:
    static constexpr int kOnScreen = 0;
    static constexpr int kAnswerSheet = 1;
    static constexpr int kCancel = 4;

    frmSelectEntryMethod(AppState& state, Services& services, QWidget* parent = nullptr);

    // Runs one choice as Enter or a click on its button does.
    void choose(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void administerTest();
    void abandonNewClient(const QString& why);

    AppState& m_state;
    Services& m_services;
    QGroupBox* m_fraSelectMethod = nullptr;
    QFrame* m_frBlank = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
    bool m_busy = false; // a path is running: the window cannot be closed under it
};

} // namespace orvj
