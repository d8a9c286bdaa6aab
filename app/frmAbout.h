#pragma once

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QStringList>

#include <filesystem>

class QLabel;
class QPushButton;
class QTimer;

namespace orvj {

struct AppState;
struct Services;

// The about box: product, version, publisher and logo. It serves as the start-up splash
// (Splash set before it is shown: no OK button, "Initializing...") and as the dialog behind
// the main menu's "&About...".
class frmAbout : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool Splash READ Splash WRITE setSplash)
    Q_PROPERTY(bool FadeDone READ FadeDone NOTIFY fadeFinished)
    Q_PROPERTY(int fadeRunMs READ fadeRunMs WRITE setFadeRunMs)

public:
    static constexpr int kFadeSteps = 10;
    static constexpr int kFadeBoxes = 8;
    static constexpr int kCloseRunMs = 1000;

    frmAbout(AppState& state, Services& services, QWidget* parent = nullptr);

    bool Splash() const { return m_splash; }
    void setSplash(bool splash);
    bool FadeDone() const { return m_fadeDone; }

    // Length of one run of the fade. The closing runs of the splash take kCloseRunMs unless
    // a shorter run was set (tests).
    int fadeRunMs() const { return m_fadeRunMs; }
    void setFadeRunMs(int ms);

    // Starts a run of the fade from the beginning; FadeDone is False until it ends.
    void StartFade();
    // Lets window events run until FadeDone is True.
    void WaitForFade();
    // The splash goes: two more runs of the fade, then the box closes.
    void CloseSplash();

    // The publisher's lines: PUBLISHER.TXT of the program folder, one line per panel.
    static QStringList PublisherLines(const std::filesystem::path& home);
    static QPixmap DrawLogo(int size);

signals:
    void fadeFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillPanels();
    void Load();
    void FadeTick();

    AppState& m_state;
    bool m_splash = false;
    bool m_fadeDone = false;
    bool m_loaded = false;
    int m_fadeRunMs = 1000;
    int m_step = 0;

    QLabel* m_imgQLNLogo = nullptr;
    QList<QLabel*> m_ssPanel; // SSPanel1..SSPanel6 at 0..5
    QLabel* m_lblStatus = nullptr;
    QWidget* m_sspMenuChoice = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QList<QWidget*> m_picture2;
    QTimer* m_timer1 = nullptr;
};

} // namespace orvj
