#include "ui/FormConventions.h"

#include "ui/FormStyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace orvj {

int twipsToPixels(int twips) {
    int dpi = 96;
    if (auto* screen = QGuiApplication::primaryScreen()) {
        dpi = static_cast<int>(screen->logicalDotsPerInch());
    }
    return twips * dpi / 1440;
}

void ShowTabFocus(QWidget* tabBar, const QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        setColors(tabBar, Colors::cyan, Colors::black);
    } else if (event->type() == QEvent::FocusOut) {
        tabBar->setPalette(QPalette());
        tabBar->setAutoFillBackground(false);
    }
}

void setColors(QWidget* w, const QColor& background, const QColor& text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Button, background);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

namespace {

// A highlight panel paints only its own background: the button on it keeps its own colours,
// so a disabled choice still looks disabled.
void setPanelColor(QWidget* panel, const QColor& background) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, background);
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
}

} // namespace

QColor backgroundOf(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}
QColor textColorOf(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

void setBold(QWidget* w, bool bold) {
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

bool isBold(const QWidget* w) {
    return w->font().bold();
}

QAbstractButton* menuButton(QWidget* form, int index) {
    return form->findChild<QAbstractButton*>(QStringLiteral("cmdMenuChoice%1").arg(index));
}

QWidget* menuPanel(QWidget* form, int index) {
    return form->findChild<QWidget*>(QStringLiteral("sspMenuChoice%1").arg(index));
}

void ClearHighlights(QWidget* form, int lastIndex) {
    for (int i = 0; i <= lastIndex; ++i) {
        if (auto* panel = menuPanel(form, i)) {
            setPanelColor(panel, Colors::blue);
        }
        if (auto* button = menuButton(form, i)) {
            setBold(button, false);
        }
    }
}

void HighlightChoice(QWidget* form, int lastIndex, int index) {
    ClearHighlights(form, lastIndex);
    if (auto* panel = menuPanel(form, index)) {
        setPanelColor(panel, Colors::cyan);
    }
    if (auto* button = menuButton(form, index)) {
        setBold(button, true);
    }
}

void CenterForm(QWidget* form) {
    if (form->isMaximized()) {
        return;
    }
    QScreen* screen = form->screen() != nullptr ? form->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect s = screen->geometry();
    const QSize size = form->frameGeometry().size();
    form->move(s.x() + s.width() / 2 - size.width() / 2,
               s.y() + s.height() / 2 - size.height() / 2);
}

void CenterFrame(QWidget* form, QWidget* frame) {
    const int left = form->width() / 2 - frame->width() / 2;
    const int top = form->height() / 2 - (frame->height() + twipsToPixels(1000)) / 2;
    frame->move(left, top);
}

void SelectAllText() {
    QWidget* w = QApplication::focusWidget();
    if (w == nullptr) {
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        line->setCursorPosition(0);
        line->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) {
        combo->lineEdit()->setCursorPosition(0);
        combo->lineEdit()->selectAll();
    } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
        text->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->selectAll();
    }
}

bool ReturnToFront::cameBack(const QEvent* event, const QWidget* form, bool ignore) {
    if (event->type() != QEvent::ActivationChange || ignore) {
        return false;
    }
    if (!form->isActiveWindow()) {
        m_away = true;
        return false;
    }
    return std::exchange(m_away, false);
}

void MOUSEWAIT() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
}

void MOUSEDEFAULT() {
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
    QApplication::processEvents();
}

WaitCursor::~WaitCursor() {
    // Nothing to end when MOUSEDEFAULT already put the default pointer back.
    QApplication::restoreOverrideCursor();
    QApplication::processEvents();
}

void ShowClientListFocus(QWidget* frame, QLabel* msgPanel, bool focused) {
    if (focused) {
        setColors(frame, Colors::cyan, Colors::black);
        msgPanel->setText(clientListHelpLine());
    } else {
        setColors(frame, Colors::blue, Colors::white);
        msgPanel->clear();
    }
    setBold(frame, focused);
}

QWidget* makeMenuChoice(QWidget* parent, int index, const QString& caption) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("sspMenuChoice%1").arg(index));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    auto* layout = new QHBoxLayout(panel);
    const int m = twipsToPixels(60);
    layout->setContentsMargins(m, m, m, m);
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(QStringLiteral("cmdMenuChoice%1").arg(index));
    button->setAutoDefault(false);
    button->setMinimumSize(twipsToPixels(2235),
                           std::max(twipsToPixels(375), button->sizeHint().height()));
    keepBoldRoom(button);
    button->setAccessibleName(plainCaption(caption));
    layout->addWidget(button);
    setPanelColor(panel, Colors::blue);
    return panel;
}

namespace {

class HelpPanel : public QLabel {
public:
    explicit HelpPanel(QWidget* parent) : QLabel(parent) {}

    void reserve(const QString& line) {
        if (!m_lines.contains(line)) {
            m_lines << line;
        }
    }

    int heightFor(int width) const {
        const QFontMetrics fm = fontMetrics();
        const int room =
            width - 2 * (frameWidth() + margin()) - fm.horizontalAdvance(QLatin1Char('x')) - 4;
        int text = fm.height();
        for (const QString& line : m_lines + QStringList{this->text()}) {
            text = std::max(text, fm.boundingRect(QRect(0, 0, std::max(room, 1), 100000),
                                                  Qt::TextWordWrap, line)
                                      .height());
        }
        return std::max(twipsToPixels(375), text + 2 * frameWidth() + 4);
    }

    void fitHeight(int width) {
        // Fixing the height resizes the panel at its old width: that resize must not fit again.
        if (m_fitting) {
            return;
        }
        m_fitting = true;
        const int h = heightFor(width);
        if (minimumHeight() != h || maximumHeight() != h) {
            setFixedHeight(h);
        }
        m_fitting = false;
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fitHeight(width());
    }

private:
    QStringList m_lines;
    bool m_fitting = false;
};

int contentMargin(const QWidget* form) {
    return form->style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, form);
}

} // namespace

QLabel* makeMsgPanel(QWidget* parent, const QString& objectName) {
    auto* label = new HelpPanel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setWordWrap(true);
    // Its width comes from the form, never the other way round.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    const int line = label->fontMetrics().height() + 2 * label->frameWidth() + 4;
    label->setFixedHeight(std::max(twipsToPixels(375), line));
    return label;
}

void reserveHelpLine(QLabel* msgPanel, const QString& helpLine) {
    if (auto* panel = dynamic_cast<HelpPanel*>(msgPanel)) {
        panel->reserve(helpLine);
        if (panel->isVisible()) {
            panel->fitHeight(panel->width());
        }
    }
}

int msgPanelRoom(const QWidget* form, QLabel* msgPanel, int formWidth) {
    const int m = contentMargin(form);
    const auto* panel = dynamic_cast<const HelpPanel*>(msgPanel);
    return (panel != nullptr ? panel->heightFor(formWidth - 2 * m) : msgPanel->height()) + m;
}

void placeMsgPanel(QWidget* form, QLabel* msgPanel) {
    const int m = contentMargin(form);
    const int width = form->width() - 2 * m;
    if (auto* panel = dynamic_cast<HelpPanel*>(msgPanel)) {
        panel->fitHeight(width);
    }
    msgPanel->setGeometry(m, form->height() - m - msgPanel->height(), width, msgPanel->height());
}

QList<QLabel*> msgPanelsOf(QWidget* w) {
    QList<QLabel*> panels;
    if (w == nullptr) {
        return panels;
    }
    for (auto* label : w->window()->findChildren<QLabel*>()) {
        if (dynamic_cast<HelpPanel*>(label) != nullptr) {
            panels.append(label);
        }
    }
    return panels;
}

namespace {

// On top of the shared look, so a masked field shows its focus as every other field does.
class AsteriskMaskStyle : public FormStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return FormStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void useAsteriskMask(QLineEdit* field) {
    auto* mask = new AsteriskMaskStyle;
    mask->setParent(field);
    field->setStyle(mask);
}

int widestText(const QFontMetrics& fm, int characters) {
    return std::max(fm.horizontalAdvance(QString(characters, QLatin1Char('M'))),
                    fm.horizontalAdvance(QString(characters, QLatin1Char('W'))));
}

void sizeToLayout(QWidget* form, int widthTwips, int heightTwips) {
    QLayout* layout = form->layout();
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->activate();
    form->resize(QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips))
                     .expandedTo(layout->totalMinimumSize()));
}

void keepBoldRoom(QWidget* w) {
    const bool wasBold = w->font().bold();
    setBold(w, true);
    // Half an em each side beyond the bold caption, so it never touches the button's edge.
    const int bold = std::max(w->sizeHint().width(), w->minimumSizeHint().width()) +
                     w->fontMetrics().height() / 2;
    setBold(w, wasBold);
    w->setMinimumWidth(std::max(w->minimumWidth(), bold));
}

QString plainCaption(const QString& caption) {
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i; // "&&" is a literal ampersand, "&x" marks x
        }
        plain += caption[i];
    }
    return plain;
}

void describeControl(QWidget* control, const QString& name, const QString& helpLine,
                     QLabel* msgPanel) {
    control->setAccessibleName(plainCaption(name));
    control->setAccessibleDescription(helpLine);
    reserveHelpLine(msgPanel, helpLine);
}

MenuChoices::MenuChoices(QWidget* form, QLabel* msgPanel, bool clearOnFocusOut)
    : QObject(form), m_form(form), m_msgPanel(msgPanel), m_clearOnFocusOut(clearOnFocusOut) {
    form->installEventFilter(this);
}

void MenuChoices::showFocus() {
    // A box opened over the form since the form came to the front has the focus and its own
    // help: the form's choice is not to claim the help panel under it.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != m_form->window()) {
        return;
    }
    const int i = indexOf(m_form->focusWidget());
    if (i < 0 || !m_buttons[i]->hasFocus()) {
        return;
    }
    HighlightChoice(m_form, m_lastIndex, m_indexes[i]);
    if (m_msgPanel != nullptr) {
        m_msgPanel->setText(m_help[i]);
    }
}

void MenuChoices::add(int index, const QString& helpLine) {
    QAbstractButton* b = menuButton(m_form, index);
    Q_ASSERT(b != nullptr);
    m_buttons.append(b);
    m_indexes.append(index);
    m_help.append(helpLine);
    m_lastIndex = std::max(m_lastIndex, index);
    describeControl(b, b->text(), helpLine, m_msgPanel);
    b->installEventFilter(this);
    connect(b, &QAbstractButton::clicked, this, [this, index] { emit chosen(index); });
}

void MenuChoices::setHelpLine(int index, const QString& helpLine) {
    int i = m_indexes.indexOf(index);
    if (i >= 0) {
        m_help[i] = helpLine;
        describeControl(m_buttons[i], m_buttons[i]->text(), helpLine, m_msgPanel);
    }
}

QAbstractButton* MenuChoices::button(int index) const {
    int i = m_indexes.indexOf(index);
    return i >= 0 ? m_buttons[i] : nullptr;
}

int MenuChoices::indexOf(QObject* o) const {
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i] == o) {
            return i;
        }
    }
    return -1;
}

bool MenuChoices::eventFilter(QObject* watched, QEvent* event) {
    // Forms clear their highlights when they come back in front, but a choice that kept the
    // focus while a dialog was up gets no new focus event: it is lit again once the form is done.
    if (watched == m_form && event->type() == QEvent::WindowActivate) {
        QTimer::singleShot(0, this, &MenuChoices::showFocus);
        return false;
    }
    const int i = indexOf(watched);
    if (i < 0) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Space:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_buttons[i]->isEnabled()) {
                m_buttons[i]->click();
            }
            return true;
        default:
            return true;
        }
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        return key->key() != Qt::Key_Space;
    }
    case QEvent::FocusIn:
        HighlightChoice(m_form, m_lastIndex, m_indexes[i]);
        if (m_msgPanel != nullptr) {
            m_msgPanel->setText(m_help[i]);
        }
        return false;
    case QEvent::FocusOut:
        // A hidden form needs no repainting, and a form being destroyed (hidden first) must
        // not be searched: its children are going away while the focused button loses focus.
        if (m_clearOnFocusOut && m_form->isVisible()) {
            ClearHighlights(m_form, m_lastIndex);
        }
        return false;
    default:
        return false;
    }
}

} // namespace orvj
