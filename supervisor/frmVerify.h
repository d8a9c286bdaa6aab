#pragma once

#include "core/ClientTable.h"
#include "supervisor/VerifySession.h"

#include <QDialog>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;

// "Test Data Input Verification": the current client's answers keyed a second time and
// compared with the stored ones; differing items are keyed once more and the result stored.
class frmVerify : public QDialog {
    Q_OBJECT
public:
    frmVerify(AppState& state, Services& services, QWidget* parent = nullptr);

    // The caption of the whole frame while the listed questions are keyed again.
    static QString correctionsCaption();

    const VerifySession& session() const { return *m_session; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keyPressed(QKeyEvent* key);
    void refreshLabels();
    void noDifferences();
    void correctionsNeeded();
    void correctionsDone();
    bool writeRecord(const ClientTable::Change& change, const QString& advice,
                     const std::string& auditDetail);

    AppState& m_state;
    Services& m_services;
    std::unique_ptr<VerifySession> m_session;

    QGroupBox* m_frAll;
    QGroupBox* m_frame2;
    QLabel* m_lblCurQuestion;
    QLineEdit* m_txtCurQuestion;
    QGroupBox* m_frame1;
    QLabel* m_lblPrevQuestion;
    QLineEdit* m_txtPrevQuestion;
    QPushButton* m_cmdCancel;
    QLabel* m_pnlMessage;
};

} // namespace orvj
