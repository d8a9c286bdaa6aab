#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QEvent;
class QLabel;
class QLineEdit;
class QWidget;

namespace orvj {

// Colours shared by every form.
namespace Colors {
inline constexpr QColor blue{0, 0, 255};
inline constexpr QColor cyan{0, 255, 255};
inline constexpr QColor green{0, 255, 0};
inline constexpr QColor navy{0, 0, 128};
inline constexpr QColor white{255, 255, 255};
inline constexpr QColor black{0, 0, 0};
} // namespace Colors

// Positions and sizes of the forms are given in twips (1/1440 inch).
int twipsToPixels(int twips);

// Background and text colour of a panel, frame or text box.
void setColors(QWidget* w, const QColor& background, const QColor& text);
QColor backgroundOf(const QWidget* w);
QColor textColorOf(const QWidget* w);
void setBold(QWidget* w, bool bold);
bool isBold(const QWidget* w);

// Choice i of a menu-style form is the button "cmdMenuChoice<i>" on the panel
// "sspMenuChoice<i>". These find them among the form's children.
QAbstractButton* menuButton(QWidget* form, int index);
QWidget* menuPanel(QWidget* form, int index);

// Clears the highlight of choices 0..lastIndex, then makes the panel of `index` cyan and
// its caption bold.
void HighlightChoice(QWidget* form, int lastIndex, int index);
// Every panel 0..lastIndex blue, every caption normal weight.
void ClearHighlights(QWidget* form, int lastIndex);
// Places the form in the middle of the screen, unless it is maximised.
void CenterForm(QWidget* form);
// Places a form's main frame in the middle of the form, 500 twips above the true centre.
void CenterFrame(QWidget* form, QWidget* frame);
// Caret to the start and the whole text selected in the focused control, if it has text.
void SelectAllText();
// Hourglass pointer / default pointer, each letting pending window events run.
void MOUSEWAIT();
void MOUSEDEFAULT();

// Watches a form's activation changes for the forms that load their content anew when they
// come back in front after another window was in front.
class ReturnToFront {
public:
    // Called from changeEvent. True when the form is active again after it lost the front;
    // changes while `ignore` holds (the form is busy or not yet shown) count for nothing.
    bool cameBack(const QEvent* event, const QWidget* form, bool ignore);
    // The form's content is fresh: an earlier loss of the front no longer counts.
    void reset() { m_away = false; }

private:
    bool m_away = false;
};

// The hourglass while the object lives: MOUSEWAIT when it is made, and when it goes, however the
// scope is left, its own hourglass ends (letting pending window events run, as MOUSEDEFAULT
// does). A guard inside another ends only its own: the outer hourglass shows until the outer
// guard goes.
class WaitCursor {
public:
    WaitCursor() { MOUSEWAIT(); }
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The "Client List" frame of a client list: cyan with black bold caption and the list's help
// line while the list has the focus, blue with white normal caption and no help otherwise.
void ShowClientListFocus(QWidget* frame, QLabel* msgPanel, bool focused);
// The page tabs of a window are lit cyan while they have the focus, as every focused control
// is, and take the window's colours back when they lose it. Called from an event filter on the
// tab bar; does nothing for other events.
void ShowTabFocus(QWidget* tabBar, const QEvent* event);
inline QString clientListHelpLine() {
    return QStringLiteral("Use up or down arrow keys or mouse to select client.");
}

// Creates choice `index` of a menu-style form: a panel "sspMenuChoice<index>" holding a
// button "cmdMenuChoice<index>" with the caption. The panel is returned; the button is its
// only child.
QWidget* makeMenuChoice(QWidget* parent, int index, const QString& caption);
// The help panel: one line while its help lines fit the form's width, two or more (wrapped)
// when the longest does not, so the panel never widens the form. Every help line it may show
// is reserved with reserveHelpLine, so its height does not change as the focus moves.
QLabel* makeMsgPanel(QWidget* parent, const QString& objectName = QStringLiteral("MsgPanel"));
void reserveHelpLine(QLabel* msgPanel, const QString& helpLine);
// For forms placed by hand: the height the help panel takes at the bottom of a form that wide,
// its margin included, and the panel placed there inside the form's content margins at the
// full content width.
int msgPanelRoom(const QWidget* form, QLabel* msgPanel, int formWidth);
void placeMsgPanel(QWidget* form, QLabel* msgPanel);
// The help panels made by makeMsgPanel in the window of `w`; none when `w` is null.
QList<QLabel*> msgPanelsOf(QWidget* w);

// A masked field shows "*" for every character, whatever the platform's own mask is (the
// field's echo mode decides whether it is masked).
void useAsteriskMask(QLineEdit* field);

// The width of a text of so many of the font's widest letters: room for any name that long.
int widestText(const QFontMetrics& fm, int characters);

// A form laid out by its layout: at least as large as the layout needs, and at first as large
// as its design size when that is larger.
void sizeToLayout(QWidget* form, int widthTwips, int heightTwips);

// A control whose caption turns bold with the focus keeps the room of its bold caption, so
// neither it nor anything beside it moves when the focus comes or goes. A frame is measured
// with its contents, so it is called once they are in place.
void keepBoldRoom(QWidget* w);

// What a screen reader says of a control: its caption or label text, and its help line. The
// help line is reserved on the help panel when one is given.
void describeControl(QWidget* control, const QString& name, const QString& helpLine,
                     QLabel* msgPanel = nullptr);
// A caption without its "&" mnemonic marks.
QString plainCaption(const QString& caption);

// The key and focus rules of menu-choice buttons, the same on every form:
// - every key except Space (and the Tab keys of the focus chain) is discarded;
// - Enter runs the choice exactly as a click does;
// - getting the focus highlights the choice and shows its help line;
// - losing the focus clears all highlights when the form asks for it.
class MenuChoices : public QObject {
    Q_OBJECT
public:
    MenuChoices(QWidget* form, QLabel* msgPanel, bool clearOnFocusOut);

    // Registers choice `index` (its button and panel must exist) with its help line.
    void add(int index, const QString& helpLine);
    void setHelpLine(int index, const QString& helpLine);
    int lastIndex() const { return m_lastIndex; }
    QAbstractButton* button(int index) const;
    // Lights the choice that holds the focus and shows its help line; nothing when none does.
    void showFocus();

signals:
    void chosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(QObject* o) const;

    QWidget* m_form;
    QLabel* m_msgPanel;
    bool m_clearOnFocusOut;
    int m_lastIndex = -1;
    QList<QAbstractButton*> m_buttons;
    QList<int> m_indexes;
    QStringList m_help;
};

} // namespace orvj
