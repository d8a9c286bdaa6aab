// Guards over every form of the program, in each of its modes and languages:
// - at application font scales 1.0, 1.25, 1.5 and 2.0 every label, button, option, list line,
//   grid cell and text field shows its whole text, every control lies inside its window, and
//   nothing moves when the focus moves from control to control;
// - every focusable control has an accessible name, and its accessible description is the help
//   line the form shows while it has the focus;
// - Tab from the first control visits the controls in the form's order and comes back.

#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "clients/frmClientInfo.h"
#include "clients/frmDataFolder.h"
#include "clients/frmInstallInventory.h"
#include "clients/frmPrintSelected.h"
#include "clients/frmSupervisorOptions.h"
#include "clients/frmVerify.h"
#include "clients/frmViewReport.h"
#include "scoring/ReportJobs.h"
#include "store/OrvjError.h"
#include "testing/frmInstallVoiceFiles.h"
#include "testing/frmNewEntry.h"
#include "testing/frmPresentQA.h"
#include "testing/frmSelectEntryMethod.h"
#include "testing/frmSelectLanguage.h"
#include "tests/testing/TestHome.h"
#include "ui/FormConventions.h"
#include "ui/frmMyInputBox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace orvj::test {
namespace {

// Reports of a fixed width: the widest line is 80 columns, as in a composed report.
struct WideReportJobs : ReportJobs {
    void compose(const ClientTable&, int, ReportOption) override {}
    std::string readReportText() override {
        std::string text;
        for (int line = 0; line < 70; ++line) {
            text += std::string(80, static_cast<char>('A' + line % 26)) + "\r\n";
        }
        return text;
    }
    void printReportFile() override {}
    void saveReportPdf(const std::filesystem::path&) override {}
};

using F = ClientRecord::Field;

// Names as long as a record holds them.
const char* const kLongNames[] = {"Maximilian Wolfgang Moore", "Guadalupe Montserrat Wood",
                                  "Bartholomew Washington Mm"};

void registerClients(AppState& state, int count) {
    for (int k = 1; k <= count; ++k) {
        ClientRecord& r = state.clients.at(k);
        r.set(F::Name, kLongNames[(k - 1) % 3]);
        r.set(F::SSN, "123-45-6789");
        r.set(F::Age, "15");
        r.set(F::Gender, "2");
        r.set(F::Race, "5");
        r.set(F::Education, "7");
        r.set(F::TestDate, "01/02/2025");
        r.set(F::Responses, std::string(143, '1'));
        r.set(F::EditCount, "0");
        r.set(F::NameDeleted, "0");
        ClientFile(state.paths.clientFile).writeRecord(state.clients, k);
    }
    state.clients.clientCount = static_cast<std::int16_t>(count);
    state.clients.currentClient = 1;
    state.testStored = true;
}

// One form in one of its modes, with the order its controls take the focus in.
struct Scene {
    const char* name;
    std::function<QWidget*(TestHome&)> open;
    QStringList tabOrder; // object names; empty: the form takes no Tab walk
};

template <typename T> QWidget* make(TestHome& h) {
    return new T(h.state, h.services);
}

QWidget* presentation(TestHome& h, const char* language) {
    h.registerNewClient();
    auto* form = new frmPresentQA(h.state, h.services);
    form->setLanguage(QString::fromLatin1(language));
    form->setQuestions(standardRows(language));
    return form;
}

std::vector<Scene> scenes() {
    const QStringList menuOrder = {u"lbNameDisplay"_s, u"cmdMenuChoice1"_s, u"cmdMenuChoice2"_s,
                                   u"cmdMenuChoice3"_s};
    const QStringList clientOrder = {u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s, u"txtName"_s,
                                     u"txtSSN"_s,         u"txtAge"_s,         u"cmbGender"_s,
                                     u"cmbRace"_s,        u"cmbEducation"_s};
    return {
        {"main menu without clients",
         [](TestHome& h) { return new frmMainMenu(h.state, h.services); },
         {u"cmdMenuChoice1"_s, u"cmdMenuChoice2"_s, u"cmdMenuChoice3"_s}},
        {"main menu with clients",
         [](TestHome& h) {
             registerClients(h.state, 12);
             auto* menu = new frmMainMenu(h.state, h.services);
             menu->Activation();
             return menu;
         },
         menuOrder},
        {"new client", make<frmClientInfo>, {}},
        {"client edited",
         [](TestHome& h) {
             registerClients(h.state, 2);
             h.state.editMode = true;
             return make<frmClientInfo>(h);
         },
         clientOrder},
        {"client at its edit limit",
         [](TestHome& h) {
             registerClients(h.state, 2);
             h.state.clients.at(1).set(F::EditCount, "3");
             h.state.editMode = true;
             return make<frmClientInfo>(h);
         },
         {u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s}},
        {"entry method",
         make<frmSelectEntryMethod>,
         {u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s, u"cmdMenuChoice4"_s}},
        {"language choice",
         [](TestHome& h) {
             h.writeBank(
                 {{"English", standardRows("English")}, {"Spanish", standardRows("Spanish")}});
             auto* form = new frmSelectLanguage(h.state, h.services);
             form->LanguageCount();
             return form;
         },
         {u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s, u"cmdMenuChoice3"_s}},
        {"presentation in English", [](TestHome& h) { return presentation(h, "English"); }, {}},
        {"presentation in Spanish", [](TestHome& h) { return presentation(h, "Spanish"); }, {}},
        {"answer grids",
         [](TestHome& h) {
             h.writeBank({{"English", standardRows("English")}});
             h.registerNewClient();
             return make<frmNewEntry>(h);
         },
         {u"grdResponses0"_s, u"grdResponses1"_s, u"grdResponses2"_s, u"grdResponses3"_s,
          u"grdResponses4"_s, u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s}},
        {"supervisor options, reports",
         [](TestHome& h) {
             registerClients(h.state, 3);
             return make<frmSupervisorOptions>(h);
         },
         {u"qt_tabwidget_tabbar"_s, u"optPrintOption0"_s, u"optReportOption0"_s, u"chkPdfFolder"_s,
          u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s}},
        {"supervisor options, verify data",
         [](TestHome& h) {
             registerClients(h.state, 3);
             auto* form = new frmSupervisorOptions(h.state, h.services);
             form->findChild<QTabWidget*>()->setCurrentIndex(1);
             return form;
         },
         {u"qt_tabwidget_tabbar"_s, u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s}},
        {"supervisor options, delete names",
         [](TestHome& h) {
             registerClients(h.state, 3);
             auto* form = new frmSupervisorOptions(h.state, h.services);
             form->findChild<QTabWidget*>()->setCurrentIndex(2);
             return form;
         },
         {u"qt_tabwidget_tabbar"_s, u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s}},
        {"report selection",
         [](TestHome& h) {
             registerClients(h.state, 12);
             return make<frmPrintSelected>(h);
         },
         {u"lbNameDisplay"_s, u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s, u"cmdMenuChoice2"_s}},
        {"report viewer",
         [](TestHome& h) {
             registerClients(h.state, 1);
             return make<frmViewReport>(h);
         },
         {u"Text1"_s, u"cmdPrintReport"_s, u"cmdSavePdf"_s, u"cmdCancel"_s}},
        {"verification",
         [](TestHome& h) {
             registerClients(h.state, 1);
             return make<frmVerify>(h);
         },
         {u"txtCurQuestion"_s, u"cmdCancel"_s}},
        {"verification, correction pass",
         [](TestHome& h) {
             registerClients(h.state, 1);
             h.state.clients.at(1).set(F::Responses, std::string(143, ' '));
             auto* form = new frmVerify(h.state, h.services);
             form->show();
             QApplication::setActiveWindow(form);
             for (int item = 1; item <= 143; ++item) {
                 QTest::keyClick(form->findChild<QLineEdit*>(u"txtCurQuestion"_s), Qt::Key_1);
             }
             return static_cast<QWidget*>(form);
         },
         {}},
        {"secret code",
         [](TestHome& h) {
             auto* box = new frmMyInputBox(h.messages);
             box->setWindowTitle(u"Secret Code"_s);
             box->setHelpMessage(u"Enter the Secret Code to continue.  For security, asterisks "
                                 u"(*) will show as you type."_s);
             box->setInputLength(8);
             box->setPasswordInput(true);
             return static_cast<QWidget*>(box);
         },
         {u"txtInput"_s, u"cmdMenuChoice0"_s, u"cmdMenuChoice1"_s}},
        {"about box", make<frmAbout>, {}},
        {"data folder",
         [](TestHome& h) {
             registerClients(h.state, 3);
             return make<frmDataFolder>(h);
         },
         {}},
        {"install inventory files", make<frmInstallInventory>, {}},
        {"install voice files",
         make<frmInstallVoiceFiles>,
         {u"cmbLanguage"_s, u"txtSourceFolder"_s, u"cmdBrowse"_s, u"cmdMenuChoice0"_s,
          u"cmdMenuChoice1"_s}},
    };
}

// The form's help panel, if it has one.
QLabel* helpPanel(QWidget* form) {
    if (auto* panel = form->findChild<QLabel*>(u"MsgPanel"_s)) {
        return panel;
    }
    return form->findChild<QLabel*>(u"pnlMessage"_s);
}

QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// Every text the widget shows that does not fit in it; empty when all fit.
QStringList clippedTexts(QWidget* w) {
    QStringList out;
    auto fail = [&out, w](const QString& what) { out << nameOf(w) + u": "_s + what; };
    const QFontMetrics fm = w->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText) {
            return out;
        }
        if (label->wordWrap()) {
            if (label->heightForWidth(label->width()) > label->height()) {
                fail(u"wrapped text taller than the label: "_s + label->text());
            }
        } else if (label->sizeHint().width() > label->width() ||
                   fm.lineSpacing() * (label->text().count(u'\n') + 1) >
                       label->contentsRect().height()) {
            fail(u"\""_s + label->text() + u"\" needs "_s +
                 QString::number(label->sizeHint().width()) + u" px, has "_s +
                 QString::number(label->width()));
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (!button->text().isEmpty() &&
            (button->sizeHint().width() > button->width() || fm.height() > button->height())) {
            fail(u"\""_s + button->text() + u"\" needs "_s +
                 QStringLiteral("%1x%2 px, has %3x%4")
                     .arg(button->sizeHint().width())
                     .arg(fm.height())
                     .arg(button->width())
                     .arg(button->height()));
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        if (fm.horizontalAdvance(group->title()) + fm.height() > group->width()) {
            fail(u"caption \""_s + group->title() + u"\" wider than its frame"_s);
        }
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        QStyleOptionFrame option;
        option.initFrom(line);
        option.lineWidth = line->hasFrame() ? 1 : 0;
        const QRect contents =
            line->style()->subElementRect(QStyle::SE_LineEditContents, &option, line);
        const int room =
            contents.width() - line->textMargins().left() - line->textMargins().right() - 4;
        if (fm.horizontalAdvance(line->displayText()) > room) {
            fail(u"\""_s + line->displayText() + u"\" wider than the field"_s);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i) {
            if (fm.horizontalAdvance(combo->itemText(i)) + 4 > field.width()) {
                fail(u"entry \""_s + combo->itemText(i) + u"\" wider than the box"_s);
            }
        }
    } else if (auto* editable = qobject_cast<QComboBox*>(w); editable && editable->lineEdit()) {
        const int room = editable->lineEdit()->width() - 4;
        for (int i = 0; i < editable->count(); ++i) {
            if (fm.horizontalAdvance(editable->itemText(i)) > room) {
                fail(u"entry \""_s + editable->itemText(i) + u"\" wider than the box"_s);
            }
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        const QFontMetrics lfm(list->font());
        for (int i = 0; i < list->count(); ++i) {
            if (lfm.horizontalAdvance(list->item(i)->text()) + 8 > list->viewport()->width()) {
                fail(u"line \""_s + list->item(i)->text() + u"\" wider than the list "_s +
                     QStringLiteral("(%1 in %2)")
                         .arg(lfm.horizontalAdvance(list->item(i)->text()))
                         .arg(list->viewport()->width()));
            }
        }
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const QString header = table->horizontalHeaderItem(c) != nullptr
                                       ? table->horizontalHeaderItem(c)->text()
                                       : QString();
            int widest = table->horizontalHeader()->fontMetrics().horizontalAdvance(header);
            for (int r = 0; r < table->rowCount(); ++r) {
                if (const QTableWidgetItem* item = table->item(r, c)) {
                    widest = std::max(widest, fm.horizontalAdvance(item->text()));
                }
            }
            if (widest + 4 > table->columnWidth(c)) {
                fail(u"column "_s + QString::number(c) + u" narrower than its text"_s);
            }
        }
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (plain->horizontalScrollBar()->maximum() > 0) {
            fail(u"text wider than the box"_s);
        }
        if (plain->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOn &&
            plain->verticalScrollBar()->maximum() > 0) {
            fail(u"text taller than the box"_s);
        }
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
        if (text->horizontalScrollBar()->maximum() > 0) {
            fail(u"text wider than the box"_s);
        }
        if (text->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOn &&
            text->verticalScrollBar()->maximum() > 0) {
            fail(u"text taller than the box"_s);
        }
    } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < bar->count(); ++i) {
            if (fm.horizontalAdvance(plainCaption(bar->tabText(i))) + 8 > bar->tabRect(i).width()) {
                fail(u"tab \""_s + bar->tabText(i) + u"\" cut"_s);
            }
        }
    }
    return out;
}

// Widgets the user sees: shown, and not parts of another control.
QList<QWidget*> shownWidgets(QWidget* form) {
    QList<QWidget*> out;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(form) || w->isWindow()) {
            continue;
        }
        bool part = false;
        for (QWidget* p = w->parentWidget(); p != nullptr && p != form; p = p->parentWidget()) {
            if (qobject_cast<QAbstractScrollArea*>(p) != nullptr) {
                part = true;
            }
        }
        if (!part) {
            out << w;
        }
    }
    return out;
}

// Everything wrong with the form as it stands.
QStringList faults(QWidget* form) {
    QStringList out;
    const QRect window = form->rect();
    for (QWidget* w : shownWidgets(form)) {
        out << clippedTexts(w);
        const QRect r(w->mapTo(form, QPoint(0, 0)), w->size());
        if (!window.contains(r)) {
            out << nameOf(w) + u" lies outside the window "_s +
                       QStringLiteral("(%1,%2 %3x%4 in %5x%6)")
                           .arg(r.x())
                           .arg(r.y())
                           .arg(r.width())
                           .arg(r.height())
                           .arg(window.width())
                           .arg(window.height());
        }
    }
    return out;
}

std::map<QWidget*, QRect> geometries(QWidget* form) {
    std::map<QWidget*, QRect> out;
    for (QWidget* w : shownWidgets(form)) {
        out[w] = QRect(w->mapTo(form, QPoint(0, 0)), w->size());
    }
    return out;
}

// The controls Tab can reach, in the form's focus chain from `first`.
QList<QWidget*> focusChain(QWidget* form) {
    QList<QWidget*> out;
    QWidget* w = form;
    for (int guard = 0; guard < 500; ++guard) {
        w = w->nextInFocusChain();
        if (w == form) {
            break;
        }
        if (w->isVisibleTo(form) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            w->focusProxy() == nullptr && !out.contains(w)) {
            out << w;
        }
    }
    return out;
}

class FormGuards : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override {
        m_font = QApplication::font();
        QFont scaled = m_font;
        scaled.setPointSizeF(m_font.pointSizeF() * GetParam());
        QApplication::setFont(scaled);
    }
    void TearDown() override { QApplication::setFont(m_font); }

private:
    QFont m_font;
};

TEST_P(FormGuards, EveryTextFitsAndNothingMovesWithTheFocus) {
    for (const Scene& scene : scenes()) {
        SCOPED_TRACE(scene.name);
        TestHome home;
        WideReportJobs reports;
        home.services.reports = &reports;
        std::unique_ptr<QWidget> form(scene.open(home));
        showActive(form.get());
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        // Each fault once, with the control that had the focus when it was first seen.
        QStringList problems;
        auto note = [&problems](const QStringList& found, const QString& when) {
            for (const QString& f : found) {
                if (!problems.contains(f) &&
                    !std::any_of(problems.begin(), problems.end(),
                                 [&f](const QString& p) { return p.startsWith(f + u" ("_s); })) {
                    problems << f + u" ("_s + when + u")"_s;
                }
            }
        };
        note(faults(form.get()), u"as opened"_s);
        const auto before = geometries(form.get());
        for (QWidget* control : focusChain(form.get())) {
            control->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            const QString when = u"focus on "_s + nameOf(control);
            note(faults(form.get()), when);
            QStringList moved;
            for (const auto& [w, rect] : geometries(form.get())) {
                const auto was = before.find(w);
                if (was != before.end() && was->second != rect) {
                    moved << nameOf(w) + u" moves"_s;
                }
            }
            note(moved, when);
        }
        EXPECT_EQ(problems.join(u'\n').toStdString(), "");
        // ORVJ_SCREENSHOTS=<folder> keeps a picture of every form at every scale, to look at.
        if (const QString folder = qEnvironmentVariable("ORVJ_SCREENSHOTS"); !folder.isEmpty()) {
            form->grab().save(QStringLiteral("%1/%2-%3.png")
                                  .arg(folder, QString::fromLatin1(scene.name))
                                  .arg(GetParam()));
        }
        form->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(FontScales, FormGuards, ::testing::Values(1.0, 1.25, 1.5, 2.0));

TEST(FormAccessibility, EveryFocusableControlHasANameAndItsHelpLine) {
    for (const Scene& scene : scenes()) {
        SCOPED_TRACE(scene.name);
        TestHome home;
        WideReportJobs reports;
        home.services.reports = &reports;
        std::unique_ptr<QWidget> form(scene.open(home));
        showActive(form.get());
        QApplication::processEvents();
        QLabel* panel = helpPanel(form.get());
        for (QWidget* control : focusChain(form.get())) {
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << nameOf(control).toStdString() << " has no accessible name";
            control->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            // The focus may move on by itself (the empty client list passes it on).
            QWidget* focused = QApplication::focusWidget();
            if (panel != nullptr && focused != nullptr) {
                EXPECT_EQ(focused->accessibleDescription().toStdString(),
                          panel->text().toStdString())
                    << nameOf(focused).toStdString();
            }
        }
        form->hide();
    }
}

TEST(FormTabOrder, TabVisitsTheControlsInOrderAndComesBack) {
    for (const Scene& scene : scenes()) {
        if (scene.tabOrder.isEmpty()) {
            continue;
        }
        SCOPED_TRACE(scene.name);
        TestHome home;
        WideReportJobs reports;
        home.services.reports = &reports;
        std::unique_ptr<QWidget> form(scene.open(home));
        showActive(form.get());
        QApplication::processEvents();
        auto* first = form->findChild<QWidget*>(scene.tabOrder.first());
        ASSERT_NE(first, nullptr);
        first->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        const auto boxesBefore = home.messages.shown.size();
        QStringList visited;
        for (qsizetype step = 0; step <= scene.tabOrder.size(); ++step) {
            QWidget* at = QApplication::focusWidget();
            ASSERT_NE(at, nullptr);
            visited << at->objectName();
            QTest::keyClick(at, Qt::Key_Tab);
            QApplication::processEvents();
        }
        EXPECT_EQ(visited.join(u' ').toStdString(),
                  (scene.tabOrder + QStringList{scene.tabOrder.first()}).join(u' ').toStdString());
        EXPECT_EQ(home.messages.shown.size(), boxesBefore) << "Tab raised a message box";
        form->hide();
    }
}

} // namespace
} // namespace orvj::test
