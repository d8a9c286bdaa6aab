#include "app/AppState.h"
#include "app/frmAbout.h"
#include "tests/support/FakeMessageService.h"
#include "ui/FormConventions.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>

using namespace orvj;

namespace {

struct AboutFixture {
    QTemporaryDir dir;
    AppState state;
    test::FakeMessageService messages;
    Services services;

    AboutFixture() {
        state.paths.home = dir.path().toStdString();
        services.messages = &messages;
    }
    void publisher(const std::string& text) {
        std::ofstream(state.paths.home / "PUBLISHER.TXT", std::ios::binary) << text;
    }
};

QLabel* panel(frmAbout& box, int i) {
    return box.findChild<QLabel*>(QStringLiteral("SSPanel%1").arg(i));
}

TEST(AboutBox, SplashHidesOkShowsInitializingAndFades) {
    AboutFixture f;
    frmAbout box(f.state, f.services);
    box.setSplash(true);
    box.setFadeRunMs(40);
    QSignalSpy fades(&box, &frmAbout::fadeFinished);
    box.show();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About ORV-Juvenile"));
    EXPECT_TRUE(box.isWindow());
    EXPECT_FALSE(box.findChild<QAbstractButton*>(QStringLiteral("cmdOK"))->isVisible());
    EXPECT_FALSE(box.findChild<QWidget*>(QStringLiteral("sspMenuChoice"))->isVisible());
    auto* status = box.findChild<QLabel*>(QStringLiteral("lblStatus"));
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->text(), QStringLiteral("Initializing..."));
    EXPECT_TRUE(box.findChild<QLabel*>(QStringLiteral("imgQLNLogo"))->isVisible());
    EXPECT_EQ(panel(box, 1)->text(), QStringLiteral("ORV-Juvenile v3.01"));

    EXPECT_FALSE(box.FadeDone());
    box.WaitForFade();
    EXPECT_TRUE(box.FadeDone());
    EXPECT_EQ(fades.count(), 1);

    // A key does not close the splash.
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());

    // Closing runs the fade twice more before the box goes.
    box.CloseSplash();
    EXPECT_EQ(fades.count(), 3);
    EXPECT_FALSE(box.isVisible());
}

TEST(AboutBox, FadeLiftsTheVeilBoxByBox) {
    AboutFixture f;
    frmAbout box(f.state, f.services);
    box.setFadeRunMs(2000); // slow enough to look at it half way
    box.show();
    auto* timer = box.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    for (int i = 0; i < frmAbout::kFadeBoxes; ++i) {
        EXPECT_NE(box.findChild<QWidget*>(QStringLiteral("Picture2%1").arg(i)), nullptr) << i;
    }
    // Drive the ticks by hand: after the last one the fade is done and the timer stops.
    for (int step = 1; step <= frmAbout::kFadeSteps; ++step) {
        EXPECT_FALSE(box.FadeDone());
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    }
    EXPECT_TRUE(box.FadeDone());
    EXPECT_FALSE(timer->isActive());
}

TEST(AboutBox, DialogHasOkOnACyanPanelAndCloses) {
    AboutFixture f;
    auto* box = new frmAbout(f.state, f.services);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<frmAbout> guard(box);
    box->setFadeRunMs(20);
    box->show();
    EXPECT_FALSE(box->Splash());
    EXPECT_TRUE(box->isWindow());
    EXPECT_FALSE(box->FadeDone());
    auto* ok = box->findChild<QAbstractButton*>(QStringLiteral("cmdOK"));
    EXPECT_TRUE(ok->isVisible());
    EXPECT_EQ(backgroundOf(box->findChild<QWidget*>(QStringLiteral("sspMenuChoice"))),
              Colors::cyan());
    EXPECT_FALSE(box->findChild<QLabel*>(QStringLiteral("lblStatus"))->isVisible());
    QTRY_VERIFY(box->FadeDone());
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST(AboutBox, PublisherLinesComeFromTheProgramFolder) {
    AboutFixture f;
    {
        frmAbout box(f.state, f.services);
        box.show();
        for (int i = 3; i <= 6; ++i) {
            EXPECT_FALSE(panel(box, i)->isVisible()) << i;
        }
    }
    // Windows-1252 text from an office PC, with blank lines and CR LF endings.
    f.publisher("Harbor Screening Press, 12 Quay Street, Portsmouth\r\n\r\n"
                "Tel. 555-0100  Fax 555-0101\r\nwww.example.org\r\nbureau@example.org\r\n"
                "extra line\r\n");
    frmAbout box(f.state, f.services);
    box.show();
    EXPECT_EQ(panel(box, 3)->text(),
              QStringLiteral("Harbor Screening Press, 12 Quay Street, Portsmouth"));
    EXPECT_EQ(panel(box, 4)->text(), QStringLiteral("Tel. 555-0100  Fax 555-0101"));
    EXPECT_EQ(panel(box, 5)->text(), QStringLiteral("www.example.org"));
    EXPECT_EQ(panel(box, 6)->text(), QStringLiteral("bureau@example.org"));

    f.publisher("Caf\xE9 Press\n");
    EXPECT_EQ(frmAbout::PublisherLines(f.state.paths.home),
              QStringList{QStringLiteral("Caf\u00E9 Press")});
}

} // namespace
