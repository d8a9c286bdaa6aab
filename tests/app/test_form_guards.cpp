// Guards over every form of the program, in each of its modes and languages, each scene at
// each application font scale (1.0, 1.25, 1.5 and 2.0) a case of its own:
// - every label, button, option, list line, grid cell and text field shows its whole text,
//   every control lies inside its window, and nothing moves when the focus moves from control
//   to control;
// - every focusable control has an accessible name, and its accessible description is the help
//   line the form shows while it has the focus;
// - the window fits the screen used at that scale, and the control with the focus shows it;
// - Tab from the first control visits the controls in the form's order and comes back.

#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "clients/frmClientInfo.h"
#include "clients/frmCompare.h"
#include "clients/frmPrintSelected.h"
#include "clients/frmViewReport.h"
#include "session/frmNewEntry.h"
#include "session/frmPresentQA.h"
#include "session/frmSelectEntryMethod.h"
#include "session/frmSelectLanguage.h"
#include "supervisor/frmAuditTrail.h"
#include "supervisor/frmChangeSecretCode.h"
#include "supervisor/frmDataFolder.h"
#include "supervisor/frmInstallInventory.h"
#include "supervisor/frmInstallVoiceFiles.h"
#include "supervisor/frmRestoreBackup.h"
#include "supervisor/frmStatistics.h"
#include "supervisor/frmSupervisorOptions.h"
#include "supervisor/frmVerify.h"
#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/ProgramHome.h"
#include "ui/FormConventions.h"
#include "ui/frmMyInputBox.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace orvj::test {
namespace {

using F = ClientRecord::Field;
using Open = std::function<QWidget*(ProgramHome&)>;

// Names as long as a record holds them.
const char* const kLongNames[] = {"Maximilian Wolfgang Moore", "Guadalupe Montserrat Wood",
                                  "Bartholomew Washington Mm"};

// Complete records with every text as long as the form shows it: a long name, a full SSN and
// the longest gender, race and education names.
void registerClients(AppState& state, int count) {
    for (int k = 1; k <= count; ++k) {
        ClientRecord& r = state.clients.at(k) = makeClient(kLongNames[(k - 1) % 3], "123-45-6789");
        r.set(F::Gender, "2");
        r.set(F::Race, "5");
        r.set(F::Education, "7");
        ClientFile(state.paths.clientFile).writeRecord(state.clients, k);
    }
    state.clients.clientCount = static_cast<std::int16_t>(count);
    state.clients.currentClient = 1;
    state.testStored = true;
}

// One form in one of its modes, with the order its controls take the focus in.
struct Scene {
    const char* name;
    Open open;
    const char* tabOrder; // object names; empty: the form takes no Tab walk
};

// Form T over `clients` registered clients, then `after` on the new form.
template <typename T> Open form(int clients = 0, std::function<void(T&)> after = {}) {
    return [clients, after](ProgramHome& h) {
        if (clients > 0) {
            registerClients(h.state, clients);
        }
        auto* made = new T(h.state, h.services);
        if (after) {
            after(*made);
        }
        return made;
    };
}

Open supervisorTab(int tab) {
    return form<frmSupervisorOptions>(
        3, [tab](frmSupervisorOptions& f) { f.findChild<QTabWidget*>()->setCurrentIndex(tab); });
}

Open presentation(const char* language) {
    return [language](ProgramHome& h) {
        h.registerNewClient();
        auto* form = new frmPresentQA(h.state, h.services);
        form->setLanguage(QString::fromLatin1(language));
        form->setQuestions(standardRows(language));
        return form;
    };
}

// The client form while editing record 1 after `edits` edits.
Open clientEdited(const char* edits) {
    return [edits](ProgramHome& h) {
        registerClients(h.state, 2);
        h.state.clients.at(1).set(F::EditCount, edits);
        h.state.editMode = true;
        return new frmClientInfo(h.state, h.services);
    };
}

// The audit trail window over three clients, each saved twice: a copy and six lines.
Open auditTrail() {
    return [](ProgramHome& h) {
        registerClients(h.state, 3);
        registerClients(h.state, 3);
        return new frmAuditTrail(h.state, h.services);
    };
}

// The restore window with the copy the day's first change made.
Open restoreBackup() {
    return [](ProgramHome& h) {
        registerClients(h.state, 3);
        registerClients(h.state, 3);
        return new frmRestoreBackup(h.state, h.services);
    };
}

std::vector<Scene> scenes() {
    return {
        {"main menu without clients", form<frmMainMenu>(),
         "cmdMenuChoice1 cmdMenuChoice2 cmdMenuChoice3"},
        {"main menu with clients", form<frmMainMenu>(12, [](frmMainMenu& m) { m.Activation(); }),
         "lbNameDisplay cmdMenuChoice1 cmdMenuChoice2 cmdMenuChoice3"},
        {"new client", form<frmClientInfo>(), ""},
        {"client edited", clientEdited("0"),
         "cmdMenuChoice0 cmdMenuChoice1 txtName txtSSN txtAge cmbGender cmbRace cmbEducation"},
        {"client at its edit limit", clientEdited("3"), "cmdMenuChoice0 cmdMenuChoice1"},
        {"entry method", form<frmSelectEntryMethod>(),
         "cmdMenuChoice0 cmdMenuChoice1 cmdMenuChoice4"},
        {"language choice",
         [](ProgramHome& h) {
             h.writeBank(
                 {{"English", standardRows("English")}, {"Spanish", standardRows("Spanish")}});
             auto* form = new frmSelectLanguage(h.state, h.services);
             form->LanguageCount();
             return form;
         },
         "cmdMenuChoice0 cmdMenuChoice1 cmdMenuChoice3"},
        {"presentation in English", presentation("English"), ""},
        {"presentation in Spanish", presentation("Spanish"), ""},
        {"answer grids",
         [](ProgramHome& h) {
             h.writeBank({{"English", standardRows("English")}});
             h.registerNewClient();
             return new frmNewEntry(h.state, h.services);
         },
         "grdResponses0 grdResponses1 grdResponses2 grdResponses3 grdResponses4 cmdMenuChoice0 "
         "cmdMenuChoice1"},
        {"supervisor options, reports", supervisorTab(0),
         "qt_tabwidget_tabbar optPrintOption0 optReportOption0 chkPdfFolder chkAddProfileChart "
         "cmdMenuChoice0 cmdMenuChoice1"},
        {"supervisor options, verify data", supervisorTab(1),
         "qt_tabwidget_tabbar cmdMenuChoice0 cmdMenuChoice1"},
        {"supervisor options, delete names", supervisorTab(2),
         "qt_tabwidget_tabbar cmdMenuChoice0 cmdMenuChoice1"},
        {"supervisor options, critical cases", supervisorTab(3),
         "qt_tabwidget_tabbar spnMaximumScales spnProblemScales chkInvalidTruthfulness "
         "cmdMenuChoice0 cmdMenuChoice1"},
        {"report selection", form<frmPrintSelected>(12),
         "lbNameDisplay cmdMenuChoice0 cmdMenuChoice1 cmdMenuChoice2"},
        {"report viewer",
         [](ProgramHome& h) {
             // A report of the full width: 70 lines of 80 columns, as a composed report.
             h.fakes.reports.home = h.dir;
             for (int line = 0; line < 70; ++line) {
                 h.fakes.reports.readBack +=
                     std::string(80, static_cast<char>('A' + line % 26)) + "\r\n";
             }
             registerClients(h.state, 1);
             return new frmViewReport(h.state, h.services);
         },
         "qt_tabwidget_tabbar Text1 chkAddProfileChart cmdPrintReport cmdSavePdf cmdCancel"},
        {"report viewer, profile page",
         [](ProgramHome& h) {
             h.copySampleInventory();
             h.fakes.reports.home = h.dir;
             h.fakes.reports.readBack = "report\r\n";
             registerClients(h.state, 1);
             auto* form = new frmViewReport(h.state, h.services);
             form->findChild<QTabWidget*>()->setCurrentIndex(1);
             return form;
         },
         "qt_tabwidget_tabbar chkAddProfileChart cmdPrintReport cmdSavePdf cmdCancel"},
        {"verification", form<frmVerify>(1), "txtCurQuestion cmdCancel"},
        {"verification, correction pass",
         [](ProgramHome& h) {
             registerClients(h.state, 1);
             h.state.clients.at(1).set(F::Responses, std::string(143, ' '));
             auto* form = new frmVerify(h.state, h.services);
             showActive(form);
             QTest::keyClicks(form->findChild<QLineEdit*>(u"txtCurQuestion"_s), QString(143, u'1'));
             return form;
         },
         ""},
        {"secret code",
         [](ProgramHome& h) {
             auto* box = new frmMyInputBox(h.messages);
             box->setWindowTitle(u"Secret Code"_s);
             box->setHelpMessage(u"Enter the Secret Code to continue.  For security, asterisks "
                                 u"(*) will show as you type."_s);
             box->setInputLength(32);
             box->setPasswordInput(true);
             return box;
         },
         "txtInput cmdMenuChoice0 cmdMenuChoice1"},
        {"about box", form<frmAbout>(), ""},
        {"data folder", form<frmDataFolder>(3), ""},
        {"audit trail", auditTrail(),
         "txtRecord txtSince grdAuditTrail cmdMenuChoice0 cmdMenuChoice1"},
        {"restore backup", restoreBackup(), "grdBackups cmdMenuChoice0 cmdMenuChoice1"},
        {"retest comparison",
         [](ProgramHome& h) {
             h.copySampleInventory();
             registerClients(h.state, 3);
             return new frmCompare(h.state, h.services);
         },
         "cmbShow tblCompare cmdSavePdf cmdClose"},
        {"retest comparison, profiles",
         [](ProgramHome& h) {
             h.copySampleInventory();
             registerClients(h.state, 3);
             auto* form = new frmCompare(h.state, h.services);
             form->findChild<QComboBox*>(u"cmbShow"_s)->setCurrentIndex(1);
             return form;
         },
         "cmbShow cmdSavePdf cmdClose"},
        {"statistics",
         [](ProgramHome& h) {
             h.copySampleInventory();
             registerClients(h.state, 12);
             return new frmStatistics(h.state, h.services);
         },
         "lstFolders cmdAddFolder chkSince chkUntil cmbGroup cmbShow tblCounts cmdSavePdf "
         "cmdSaveCsv cmdClose"},
        {"statistics chart",
         [](ProgramHome& h) {
             h.copySampleInventory();
             registerClients(h.state, 12);
             auto* form = new frmStatistics(h.state, h.services);
             form->findChild<QComboBox*>(u"cmbShow"_s)->setCurrentIndex(1);
             return form;
         },
         "lstFolders cmdAddFolder chkSince chkUntil cmbGroup cmbShow cmdSavePdf cmdSaveCsv "
         "cmdClose"},
        {"change secret code", form<frmChangeSecretCode>(),
         "txtCurrentCode txtNewCode txtRepeatCode cmdMenuChoice0 cmdMenuChoice1"},
        {"install inventory files", form<frmInstallInventory>(), ""},
        {"install voice files", form<frmInstallVoiceFiles>(),
         "cmbLanguage txtSourceFolder cmdBrowse cmdMenuChoice0 cmdMenuChoice1"},
    };
}

QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

QString sizeText(QSize s) {
    return u"%1x%2"_s.arg(s.width()).arg(s.height());
}

// Every text the widget shows that does not fit in it; empty when all fit.
QStringList clippedTexts(QWidget* w) {
    QStringList out;
    const QFontMetrics fm = w->fontMetrics();
    // A text that needs `need` pixels where it has `has`.
    auto check = [&out, w](const QString& text, QSize need, QSize has) {
        if (need.width() > has.width() || need.height() > has.height()) {
            out << nameOf(w) +
                       u": \"%1\" needs %2 px, has %3"_s.arg(text, sizeText(need), sizeText(has));
        }
    };
    // One line of text in `room` pixels.
    auto fit = [&check](const QFontMetrics& metrics, const QString& text, int room) {
        check(text, {metrics.horizontalAdvance(text), 0}, {room, 0});
    };
    auto* label = qobject_cast<QLabel*>(w);
    if (label != nullptr && (label->text().isEmpty() || label->textFormat() == Qt::RichText)) {
        return out;
    }
    if (label != nullptr && label->wordWrap()) {
        check(label->text(), {label->width(), label->heightForWidth(label->width())},
              label->size());
    } else if (label != nullptr) {
        const int lines = static_cast<int>(label->text().count(u'\n')) + 1;
        check(label->text(), {label->sizeHint().width(), fm.lineSpacing() * lines},
              {label->width(), label->contentsRect().height()});
    } else if (auto* button = qobject_cast<QAbstractButton*>(w);
               button != nullptr && !button->text().isEmpty()) {
        check(button->text(), {button->sizeHint().width(), fm.height()}, button->size());
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        fit(fm, group->title(), group->width() - fm.height());
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        QStyleOptionFrame option;
        option.initFrom(line);
        option.lineWidth = line->hasFrame() ? 1 : 0;
        const QRect contents =
            line->style()->subElementRect(QStyle::SE_LineEditContents, &option, line);
        fit(fm, line->displayText(),
            contents.width() - line->textMargins().left() - line->textMargins().right() - 4);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const int room = combo->isEditable()
                             ? combo->lineEdit()->width()
                             : combo->style()
                                   ->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, combo)
                                   .width();
        for (int i = 0; i < combo->count(); ++i) {
            fit(fm, combo->itemText(i), room - 4);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        for (int i = 0; i < list->count(); ++i) {
            fit(fm, list->item(i)->text(), list->viewport()->width() - 8);
        }
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const int room = table->columnWidth(c) - 4;
            if (const QTableWidgetItem* header = table->horizontalHeaderItem(c)) {
                fit(table->horizontalHeader()->fontMetrics(), header->text(), room);
            }
            for (int r = 0; r < table->rowCount(); ++r) {
                if (const QTableWidgetItem* item = table->item(r, c)) {
                    fit(fm, item->text(), room);
                }
            }
        }
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        const bool tall = text->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOn &&
                          text->verticalScrollBar()->maximum() > 0;
        if (tall || text->horizontalScrollBar()->maximum() > 0) {
            out << nameOf(w) + u": text larger than the box"_s;
        }
    } else if (auto* bar = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < bar->count(); ++i) {
            fit(fm, plainCaption(bar->tabText(i)), bar->tabRect(i).width() - 8);
        }
    }
    return out;
}

// Where each widget the user sees lies in the form: shown, and not part of another control.
std::map<QWidget*, QRect> geometries(QWidget* form) {
    std::map<QWidget*, QRect> out;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        bool part = false;
        for (QWidget* p = w->parentWidget(); p != nullptr && p != form; p = p->parentWidget()) {
            part = part || qobject_cast<QAbstractScrollArea*>(p) != nullptr;
        }
        if (w->isVisibleTo(form) && !w->isWindow() && !part) {
            out[w] = QRect(w->mapTo(form, QPoint(0, 0)), w->size());
        }
    }
    return out;
}

// Everything wrong with the form as it stands.
QStringList faults(QWidget* form) {
    QStringList out;
    const QRect window = form->rect();
    for (const auto& [w, r] : geometries(form)) {
        out << clippedTexts(w);
        if (!window.contains(r)) {
            out << nameOf(w) +
                       u" lies outside the window (%1,%2 %3 in %4)"_s.arg(r.x()).arg(r.y()).arg(
                           sizeText(r.size()), sizeText(window.size()));
        }
    }
    return out;
}

// What is wrong with the form as opened and as the focus moves through its controls, each
// fault once, with the control that had the focus when it was first seen: texts that do not
// fit, controls outside the window or that move with the focus, and a help line that is not the
// accessible description of the control with the focus.
QStringList problemsOf(QWidget* form) {
    QStringList problems;
    QStringList seen;
    auto note = [&problems, &seen](const QStringList& found, const QString& when) {
        for (const QString& f : found) {
            if (!seen.contains(f)) {
                seen << f;
                problems << f + u" ("_s + when + u")"_s;
            }
        }
    };
    note(faults(form), u"as opened"_s);
    const auto before = geometries(form);
    const QLabel* panel =
        form->findChildren<QLabel*>(QRegularExpression(u"^(MsgPanel|pnlMessage)$"_s)).value(0);
    for (QWidget* control : form->findChildren<QWidget*>()) {
        // Only the controls Tab can reach.
        if (!control->isVisibleTo(form) || !control->isEnabled() ||
            !(control->focusPolicy() & Qt::TabFocus) || control->focusProxy() != nullptr) {
            continue;
        }
        control->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QStringList found = faults(form);
        for (const auto& [w, rect] : geometries(form)) {
            if (const auto was = before.find(w); was != before.end() && was->second != rect) {
                found << nameOf(w) + u" moves"_s;
            }
        }
        if (control->accessibleName().isEmpty()) {
            found << nameOf(control) + u" has no accessible name"_s;
        }
        // The focus may move on by itself (the empty client list passes it on).
        const QWidget* focused = QApplication::focusWidget();
        if (panel != nullptr && focused != nullptr &&
            focused->accessibleDescription() != panel->text()) {
            found << nameOf(focused) + u" is described as \""_s + focused->accessibleDescription() +
                         u"\", the help line is \""_s + panel->text() + u"\""_s;
        }
        note(found, u"focus on "_s + nameOf(control));
    }
    return problems;
}

// Contrast ratio of two colours by their relative luminance, 1 to 21.
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast any pixel of `area` in the picture has against `background`.
double strongestContrast(const QImage& picture, QRect area, const QColor& background) {
    double best = 1;
    area &= picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            best = std::max(best, contrast(picture.pixelColor(x, y), background));
        }
    }
    return best;
}

// The focus mark of a control: a cyan area (a highlight panel, a coloured field or frame, a
// focus band) on the control or within a line's height around it.
bool showsFocus(QWidget* form, const QWidget* control) {
    const QImage picture = form->grab().toImage();
    const int around = control->fontMetrics().height();
    const QRect area = QRect(control->mapTo(form, QPoint(0, 0)), control->size())
                           .adjusted(-around, -around, around, around) &
                       picture.rect();
    int cyan = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            cyan += c.red() < 64 && c.green() > 192 && c.blue() > 192 ? 1 : 0;
        }
    }
    return cyan >= std::min(control->width(), control->height()) * 2;
}

// The screen the form must fit at a scale: the smallest a supervisor uses that large a font on.
QSize screenFor(double scale) {
    return scale >= 2.0 ? QSize(1920, 1080) : scale >= 1.5 ? QSize(1280, 1024) : QSize(1024, 768);
}

// What the supervisor cannot see: a window larger than its screen, a help panel outside the
// form's content margins, a control holding the focus without a cyan mark, an indicator or
// frame of the blue tab area that does not stand out from it.
QStringList unseen(QWidget* form, double scale) {
    QStringList out;
    const QSize screen = screenFor(scale);
    if (form->width() > screen.width() || form->height() > screen.height()) {
        out << u"the window is "_s + sizeText(form->size()) + u", the screen "_s + sizeText(screen);
    }
    if (const QLabel* panel =
            form->findChildren<QLabel*>(QRegularExpression(u"^(MsgPanel|pnlMessage)$"_s))
                .value(0)) {
        const int m = form->style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, form);
        const QRect r(panel->mapTo(form, QPoint(0, 0)), panel->size());
        if (!form->rect().adjusted(m, m, -m, -m).contains(r)) {
            out << u"the help panel lies at %1,%2 %3, outside the margins of %4"_s.arg(r.x())
                       .arg(r.y())
                       .arg(sizeText(r.size()), sizeText(form->size()));
        }
    }
    for (QWidget* control : form->findChildren<QWidget*>()) {
        // A control with a focus proxy (a spin box's field) is checked through its proxy.
        if (!control->isVisibleTo(form) || !control->isEnabled() ||
            !(control->focusPolicy() & Qt::TabFocus)) {
            continue;
        }
        control->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        const QWidget* focused = QApplication::focusWidget();
        if (focused != nullptr && !showsFocus(form, focused)) {
            out << nameOf(focused) + u" holds the focus without a mark"_s;
        }
    }
    // Unchecked options and check boxes show only their ring or box: it alone must stand out.
    if (auto* tabs = form->findChild<QTabWidget*>()) {
        form->setFocus();
        QApplication::processEvents();
        const QImage picture = form->grab().toImage();
        const QColor area = tabs->palette().color(QPalette::Window);
        for (QAbstractButton* option : tabs->currentWidget()->findChildren<QAbstractButton*>()) {
            if (option->isChecked() || !option->isVisible()) {
                continue;
            }
            QStyleOptionButton styleOption;
            styleOption.initFrom(option);
            const bool box = qobject_cast<QCheckBox*>(option) != nullptr;
            const QRect indicator = option->style()->subElementRect(
                box ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator, &styleOption,
                option);
            const QRect inForm(option->mapTo(form, indicator.topLeft()), indicator.size());
            const double c = strongestContrast(picture, inForm, area);
            if (c < 3.0) {
                out << nameOf(option) + u" stands out %1:1 from the tab area"_s.arg(c, 0, 'f', 1);
            }
            if (indicator.height() < option->fontMetrics().height() * 3 / 4) {
                out << nameOf(option) + u" has a %1 px indicator"_s.arg(indicator.height());
            }
        }
        for (QGroupBox* group : tabs->currentWidget()->findChildren<QGroupBox*>()) {
            // The left edge of the frame, below the title.
            const QPoint at = group->mapTo(form, QPoint(0, group->height() / 2));
            const double c = strongestContrast(picture, QRect(at, QSize(4, 1)), area);
            if (c < 3.0) {
                out << nameOf(group) + u" frame stands out %1:1"_s.arg(c, 0, 'f', 1);
            }
        }
    }
    return out;
}

// Where Tab takes the focus from the first control of `order` on: one step past the last.
std::string tabWalk(QWidget* form, const QStringList& order) {
    QStringList visited;
    QWidget* at = form->findChild<QWidget*>(order.first());
    for (qsizetype step = 0; at != nullptr && step <= order.size(); ++step) {
        if (step == 0) {
            at->setFocus(Qt::TabFocusReason);
        } else {
            QTest::keyClick(at, Qt::Key_Tab);
        }
        QApplication::processEvents();
        at = QApplication::focusWidget();
        visited << (at != nullptr ? at->objectName() : u"(no focus)"_s);
    }
    return visited.join(u' ').toStdString();
}

// The application font scales the forms are checked at.
constexpr double kScales[] = {1.0, 1.25, 1.5, 2.0};

// One scene at one scale: the scene's place in scenes() and the scale.
using SceneAtScale = std::tuple<std::size_t, double>;

// "main menu, with clients" at 1.25 is "MainMenuWithClients_At125".
std::string caseName(const ::testing::TestParamInfo<SceneAtScale>& info) {
    std::string name;
    bool upper = true;
    for (const char c : std::string(scenes()[std::get<0>(info.param)].name)) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        }
        upper = std::isalnum(static_cast<unsigned char>(c)) == 0;
    }
    return name + "_At" + std::to_string(std::lround(std::get<1>(info.param) * 100));
}

// The scene opened as the active window with the application font at the scale; the font is
// put back afterwards.
class FormGuards : public ::testing::TestWithParam<SceneAtScale> {
protected:
    void SetUp() override {
        QFont scaled = m_font;
        scaled.setPointSizeF(m_font.pointSizeF() * scale());
        QApplication::setFont(scaled);
        form.reset(scene().open(home));
        showActive(form.get());
        QTest::qWait(10); // the layouts settle
    }
    void TearDown() override {
        form.reset();
        QApplication::setFont(m_font);
    }
    const Scene& scene() const { return m_scenes[std::get<0>(GetParam())]; }
    double scale() const { return std::get<1>(GetParam()); }

    const std::vector<Scene> m_scenes = scenes();
    const QFont m_font = QApplication::font();
    ProgramHome home;
    std::unique_ptr<QWidget> form;
};

// The scene as opened and with the focus on each of its controls in turn, then as the
// supervisor sees it on the smallest screen used at that scale (the window within the screen,
// the help panel within the margins, the focus marked, the options and frames of a tab area
// standing out from it); then Tab from the first control visits the controls in the form's
// order, back to the first, without raising a message box. One case opens the form once for
// all of it. ORVJ_SCREENSHOTS=<folder> keeps a picture of the form, to look at.
TEST_P(FormGuards, EveryControlReadsWholeOnTheScreenAndTabKeepsTheOrder) {
    EXPECT_EQ(problemsOf(form.get()).join(u'\n').toStdString(), "");
    EXPECT_EQ(unseen(form.get(), scale()).join(u'\n').toStdString(), "");
    if (const QString shots = qEnvironmentVariable("ORVJ_SCREENSHOTS"); !shots.isEmpty()) {
        form->grab().save(
            u"%1/%2-%3.png"_s.arg(shots, QString::fromLatin1(scene().name)).arg(scale()));
    }
    const auto order = QString::fromLatin1(scene().tabOrder).split(u' ', Qt::SkipEmptyParts);
    if (!order.isEmpty()) {
        const auto boxesBefore = home.messages.shown.size();
        EXPECT_EQ(tabWalk(form.get(), order),
                  (order + QStringList{order.first()}).join(u' ').toStdString());
        EXPECT_EQ(home.messages.shown.size(), boxesBefore) << "Tab raised a message box";
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, FormGuards,
                         ::testing::Combine(::testing::Range(std::size_t{0}, scenes().size()),
                                            ::testing::ValuesIn(kScales)),
                         caseName);

// The instruction text reads in the same type and paragraph spacing in both languages, and the
// type grows with the font scale.
TEST(PresentationType, FollowsTheScaleAlikeInBothLanguages) {
    const QFont font = QApplication::font();
    int smallest = 0;
    int largest = 0;
    for (const double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        QFont scaled = font;
        scaled.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(scaled);
        std::map<std::string, int> lineHeight;
        for (const char* language : {"English", "Spanish"}) {
            SCOPED_TRACE(language);
            ProgramHome home;
            std::unique_ptr<QWidget> form(presentation(language)(home));
            showActive(form.get());
            QTest::qWait(10);
            const auto* text = form->findChild<QPlainTextEdit*>(u"txtInstructions"_s);
            ASSERT_NE(text, nullptr);
            lineHeight[language] = text->fontMetrics().lineSpacing();
            // The heading, then paragraphs each after a blank line.
            const QStringList lines = text->toPlainText().split(u'\n');
            ASSERT_GT(lines.size(), 2);
            EXPECT_TRUE(lines[1].trimmed().isEmpty()) << lines.join(u'|').toStdString();
            for (qsizetype i = 2; i < lines.size(); ++i) {
                if (lines[i].startsWith(u' ') && !lines[i].trimmed().isEmpty()) {
                    EXPECT_TRUE(lines[i - 1].trimmed().isEmpty()) << lines[i].toStdString();
                }
            }
        }
        EXPECT_EQ(lineHeight["English"], lineHeight["Spanish"]);
        (scale == 1.0 ? smallest : largest) = lineHeight["Spanish"];
    }
    QApplication::setFont(font);
    EXPECT_GT(largest, smallest * 3 / 2);
}

} // namespace
} // namespace orvj::test
