// The Qt message boxes: what they show and what closing them answers.
#include "ui/MessageService.h"

#include "tests/support/FormDriving.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace orvj;

namespace {

// A text from a file (a lock holder's description, a file or client name) holding tags is shown
// as typed: the box and its label take it as plain text, so no image or link is fetched or
// drawn. Closing a Yes/No box with Escape answers No.
TEST(QtMessageService, TagsInATextAreShownAsTypedAndEscapeAnswersNo) {
    QtMessageService service;
    const QString text =
        QStringLiteral("DATA301.LCK is held by <b>PC-7</b><img src=\"file:///etc/x.png\"> &amp;");
    Qt::TextFormat boxFormat = Qt::AutoText;
    Qt::TextFormat labelFormat = Qt::AutoText;
    QString shown;
    test::whenModal<QMessageBox>([&](QMessageBox* box) {
        boxFormat = box->textFormat();
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            labelFormat = label->textFormat();
            shown = label->text();
        }
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(service.show(nullptr, appTitle(), text, MessageService::Icon::Critical,
                           MessageService::Buttons::Ok),
              MessageService::Answer::Ok);
    EXPECT_EQ(boxFormat, Qt::PlainText);
    EXPECT_EQ(labelFormat, Qt::PlainText);
    EXPECT_EQ(shown, text);

    test::whenModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(service.show(nullptr, appTitle(), QStringLiteral("<i>Delete?</i>"),
                           MessageService::Icon::Warning, MessageService::Buttons::YesNo),
              MessageService::Answer::No);
}

} // namespace
