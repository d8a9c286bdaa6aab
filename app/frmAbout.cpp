#include "app/frmAbout.h"

#include "core/AppState.h"
#include "ui/FormConventions.h"
#include "ui/PathText.h"
#include "ui/RecordText.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvj {
namespace {

// A strip of veil over the logo: fully opaque at the start of a run, clear at its end.
class FadeBox : public QWidget {
public:
    explicit FadeBox(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setVeil(double veil) {
        m_veil = veil;
        update();
    }
    double veil() const { return m_veil; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_veil <= 0.0) {
            return;
        }
        QPainter p(this);
        QColor c = palette().color(QPalette::Window);
        c.setAlphaF(static_cast<float>(m_veil));
        p.fillRect(rect(), c);
    }

private:
    double m_veil = 1.0;
};

QString decodeLine(const QByteArray& bytes) {
    const std::string raw = bytes.toStdString();
    auto utf8 = QString::fromUtf8(bytes);
    if (!utf8.contains(QChar::ReplacementCharacter)) {
        return utf8;
    }
    return toScreen(raw);
}

} // namespace

frmAbout::frmAbout(AppState& state, Services&, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ORV-Juvenile"));

    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    const int logoSize = twipsToPixels(1800);
    m_imgQLNLogo = new QLabel(this);
    m_imgQLNLogo->setObjectName(QStringLiteral("imgQLNLogo"));
    m_imgQLNLogo->setFixedSize(logoSize, logoSize);
    m_imgQLNLogo->setPixmap(DrawLogo(logoSize));
    QSizePolicy logoPolicy = m_imgQLNLogo->sizePolicy();
    logoPolicy.setRetainSizeWhenHidden(true);
    m_imgQLNLogo->setSizePolicy(logoPolicy);
    m_imgQLNLogo->setVisible(false);
    top->addWidget(m_imgQLNLogo, 0, Qt::AlignTop);

    // The veil boxes lie side by side over the logo.
    for (int i = 0; i < kFadeBoxes; ++i) {
        auto* box = new FadeBox(m_imgQLNLogo);
        box->setObjectName(QStringLiteral("Picture2%1").arg(i));
        const int x0 = logoSize * i / kFadeBoxes;
        const int x1 = logoSize * (i + 1) / kFadeBoxes;
        box->setGeometry(x0, 0, x1 - x0, logoSize);
        m_picture2.append(box);
    }

    auto* text = new QVBoxLayout;
    top->addLayout(text, 1);
    for (int i = 1; i <= 6; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("SSPanel%1").arg(i));
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(twipsToPixels(4200));
        panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->addWidget(panel);
        m_ssPanel.append(panel);
    }
    QFont product = m_ssPanel[0]->font();
    product.setBold(true);
    product.setPointSizeF(product.pointSizeF() * 1.3);
    m_ssPanel[0]->setFont(product);

    m_lblStatus = new QLabel(QStringLiteral("Initializing..."), this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setTextFormat(Qt::PlainText);
    m_lblStatus->setVisible(false);
    outer->addWidget(m_lblStatus);

    m_sspMenuChoice = new QFrame(this);
    m_sspMenuChoice->setObjectName(QStringLiteral("sspMenuChoice"));
    auto* panelLayout = new QHBoxLayout(m_sspMenuChoice);
    const int m = twipsToPixels(60);
    panelLayout->setContentsMargins(m, m, m, m);
    m_cmdOK = new QPushButton(QStringLiteral("OK"), m_sspMenuChoice);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setMinimumSize(twipsToPixels(1200), twipsToPixels(375));
    m_cmdOK->setDefault(true);
    m_cmdOK->setAccessibleName(QStringLiteral("OK"));
    panelLayout->addWidget(m_cmdOK);
    outer->addWidget(m_sspMenuChoice, 0, Qt::AlignHCenter);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer1, &QTimer::timeout, this, &frmAbout::FadeTick);
    setFadeRunMs(m_fadeRunMs);

    // The texts are in place before the box is first shown, so it is sized to hold them.
    FillPanels();
    setSplash(false);
}

void frmAbout::setSplash(bool splash) {
    m_splash = splash;
    setWindowFlags(splash ? Qt::SplashScreen
                          : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_sspMenuChoice->setVisible(!splash);
    m_lblStatus->setVisible(splash);
}

void frmAbout::setFadeRunMs(int ms) {
    m_fadeRunMs = std::max(ms, kFadeSteps);
    m_timer1->setInterval(m_fadeRunMs / kFadeSteps);
}

QStringList frmAbout::PublisherLines(const std::filesystem::path& home) {
    QFile file(pathToQString(home / "PUBLISHER.TXT"));
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly)) {
        return lines;
    }
    // A text file of a few lines; anything past the panels is not read.
    while (!file.atEnd() && lines.size() < 4) {
        const QString line = decodeLine(file.readLine(1024)).trimmed();
        if (!line.isEmpty()) {
            lines.append(line);
        }
    }
    return lines;
}

QPixmap frmAbout::DrawLogo(int size) {
    QPixmap pix(size, size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
    p.setPen(QPen(Colors::navy, size * 0.03));
    p.setBrush(Colors::blue);
    p.drawRoundedRect(r, size * 0.15, size * 0.15);

    // A shield with a rising line: screening that shows where help is needed.
    QPainterPath shield;
    const double cx = size / 2.0;
    shield.moveTo(cx, size * 0.16);
    shield.lineTo(size * 0.78, size * 0.26);
    shield.quadTo(size * 0.78, size * 0.56, cx, size * 0.74);
    shield.quadTo(size * 0.22, size * 0.56, size * 0.22, size * 0.26);
    shield.closeSubpath();
    p.setPen(QPen(Colors::white, size * 0.025));
    p.setBrush(Colors::cyan);
    p.drawPath(shield);

    p.setPen(QPen(Colors::navy, size * 0.05, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath rise;
    rise.moveTo(size * 0.33, size * 0.50);
    rise.lineTo(size * 0.44, size * 0.42);
    rise.lineTo(size * 0.54, size * 0.48);
    rise.lineTo(size * 0.67, size * 0.32);
    p.drawPath(rise);

    QFont f;
    f.setBold(true);
    f.setPixelSize(std::max(6, size / 9));
    p.setFont(f);
    p.setPen(Colors::white);
    p.drawText(QRectF(0, size * 0.76, size, size * 0.16), Qt::AlignCenter, QStringLiteral("ORV-J"));
    return pix;
}

void frmAbout::FillPanels() {
    const QStringList publisher = PublisherLines(m_state.paths.home);
    m_ssPanel[0]->setText(QStringLiteral("ORV-Juvenile v3.01"));
    m_ssPanel[1]->setText(QStringLiteral("All rights reserved."));
    for (int i = 0; i < 4; ++i) {
        QLabel* panel = m_ssPanel[2 + i];
        panel->setText(i < publisher.size() ? publisher[i] : QString());
        panel->setVisible(i < publisher.size());
    }
}

void frmAbout::Load() {
    m_loaded = true;
    if (!m_splash) {
        m_fadeDone = false;
    }
    setColors(m_sspMenuChoice, Colors::cyan, Colors::black);
    m_imgQLNLogo->setVisible(true);
    CenterForm(this);
    StartFade();
}

void frmAbout::showEvent(QShowEvent* event) {
    if (!m_loaded) {
        Load();
    }
    QDialog::showEvent(event);
}

void frmAbout::StartFade() {
    m_fadeDone = false;
    m_step = 0;
    for (QWidget* w : m_picture2) {
        static_cast<FadeBox*>(w)->setVeil(1.0);
    }
    m_timer1->start();
}

void frmAbout::FadeTick() {
    ++m_step;
    const double progress = static_cast<double>(m_step) / kFadeSteps;
    // The veil lifts from left to right: each box starts a little after the one before.
    for (int i = 0; i < m_picture2.size(); ++i) {
        const double lag = static_cast<double>(i) / (kFadeBoxes - 1);
        const double shown = std::clamp(progress * 2.0 - lag, 0.0, 1.0);
        static_cast<FadeBox*>(m_picture2[i])->setVeil(1.0 - shown);
    }
    if (m_step >= kFadeSteps) {
        m_timer1->stop();
        m_fadeDone = true;
        emit fadeFinished();
    }
}

void frmAbout::WaitForFade() {
    if (m_fadeDone) {
        return;
    }
    if (!m_timer1->isActive()) {
        StartFade();
    }
    QEventLoop loop;
    connect(this, &frmAbout::fadeFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void frmAbout::CloseSplash() {
    setFadeRunMs(std::min(m_fadeRunMs, static_cast<int>(kCloseRunMs)));
    if (isVisible()) {
        for (int run = 0; run < 2; ++run) {
            StartFade();
            WaitForFade();
        }
    }
    close();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // The splash cannot be closed by a key; it goes when start-up is done.
    if (m_splash) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace orvj
