#include "session/frmNewEntry.h"

#include "core/AppState.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "store/QuestionBank.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/RecordText.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

namespace orvj {

namespace {

constexpr int kNumColumnTwips = 400;
constexpr int kOptionColumnTwips = 200;
constexpr int kGapTwips = 200;

} // namespace

frmNewEntry::frmNewEntry(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmNewEntry"));
    setWindowTitle(QStringLiteral("Edit Client Responses"));
    setModal(true);

    m_lblClientName = new QLabel(this);
    m_lblClientName->setObjectName(QStringLiteral("lblClientName"));
    m_lblClientName->setTextFormat(Qt::PlainText);
    QFont nameFont = m_lblClientName->font();
    nameFont.setBold(true);
    m_lblClientName->setFont(nameFont);

    m_frEntry = new QFrame(this);
    m_frEntry->setObjectName(QStringLiteral("frEntry"));
    m_frEntry->setFrameShape(QFrame::Box);

    makeMenuChoice(this, kSave, QStringLiteral("Save"));
    makeMenuChoice(this, kCancel, QStringLiteral("Cancel"));
    m_msgPanel = makeMsgPanel(this);
    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kSave, QStringLiteral("SAVE data, close this window and return to Main Menu"));
    m_choices->add(kCancel,
                   QStringLiteral("DISCARD data, close this window and return to Main Menu"));
    connect(m_choices, &MenuChoices::chosen, this, &frmNewEntry::choose);
}

void frmNewEntry::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_built) {
        return;
    }
    m_built = true;
    menuButton(this, kSave)->setEnabled(false);
    ClearHighlights(this, kCancel);
    // The record that Save would write is the one shown.
    m_state.clients.chooseDefaultClient();
    const ClientRecord& record = m_state.clients.current();
    m_lblClientName->setText(toScreen(record.field(ClientRecord::Field::Name)));
    try {
        const auto rows = QuestionBank(m_state.paths.questionBank).rows("English");
        m_grids.emplace(rows, record.field(ClientRecord::Field::Responses));
        if (m_grids->gridCount() == 0) {
            throw OrvjError(ErrorCode::InputPastEnd,
                            "The question table \"English\" holds no questions.");
        }
    } catch (const OrvjError& e) {
        m_grids.reset();
        // Closed once the form is up, with the effects of Cancel.
        QTimer::singleShot(0, this, [this, text = errorText(e)] { fail(text); });
        return;
    }
    buildGrids();
    layOutGrids();
    CenterForm(this);
    menuButton(this, kSave)->setEnabled(true);
    menuButton(this, kCancel)->setEnabled(true);
    focusGridWidget(0);
}

void frmNewEntry::fail(const QString& text) {
    m_services.messages->show(this, appTitle(),
                              text + QStringLiteral("\n\nThe answers cannot be entered."),
                              MessageService::Icon::Critical, MessageService::Buttons::Ok);
    cancel();
}

void frmNewEntry::buildGrids() {
    for (int g = 0; g < m_grids->gridCount(); ++g) {
        const AnswerGrids::Grid& model = m_grids->grid(g);
        auto* table = new QTableWidget(model.rowCount() - 1, model.optionCount + 1, m_frEntry);
        table->setObjectName(QStringLiteral("grdResponses%1").arg(g));
        table->setProperty("format", static_cast<int>(model.format));
        QStringList headers{QStringLiteral("Num")};
        for (int c = 1; c <= model.optionCount; ++c) {
            headers << QString::number(c);
        }
        table->setHorizontalHeaderLabels(headers);
        table->verticalHeader()->hide();
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->horizontalHeader()->setHighlightSections(false);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionMode(QAbstractItemView::NoSelection);
        table->setTabKeyNavigation(false);
        table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        table->setFocusPolicy(Qt::StrongFocus);
        table->setWordWrap(false);
        // The scrolling rule of the grids decides the top row, not the table.
        table->setAutoScroll(false);

        const QFontMetrics fm(table->font());
        table->horizontalHeader()->setMinimumSectionSize(4);
        const int numWidth = std::max(twipsToPixels(kNumColumnTwips),
                                      fm.horizontalAdvance(QStringLiteral("143.")) + 10);
        const int optionWidth = std::max(twipsToPixels(kOptionColumnTwips),
                                         fm.horizontalAdvance(QStringLiteral("5")) + 14);
        table->setColumnWidth(0, numWidth);
        for (int c = 1; c <= model.optionCount; ++c) {
            table->setColumnWidth(c, optionWidth);
        }
        const int rowHeight = fm.height() + 4;
        table->verticalHeader()->setMinimumSectionSize(4);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->verticalHeader()->setDefaultSectionSize(rowHeight);
        for (int r = 1; r < model.rowCount(); ++r) {
            auto* num =
                new QTableWidgetItem(QString::number(model.items[static_cast<std::size_t>(r - 1)]) +
                                     QStringLiteral("."));
            num->setBackground(Colors::white);
            num->setForeground(Colors::navy);
            table->setItem(r - 1, 0, num);
            for (int c = 1; c <= model.optionCount; ++c) {
                table->setItem(r - 1, c, new QTableWidgetItem());
            }
        }
        const int shownRows = std::min(AnswerGrids::kVisibleRows, model.rowCount() - 1);
        const bool scrolls = model.rowCount() - 1 > AnswerGrids::kVisibleRows;
        table->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        int columnsWidth = 0;
        for (int c = 0; c <= model.optionCount; ++c) {
            columnsWidth += table->columnWidth(c);
        }
        const int frame = table->frameWidth() * 2;
        const int scrollBar = scrolls ? table->verticalScrollBar()->sizeHint().width() : 0;
        table->setFixedSize(columnsWidth + scrollBar + frame,
                            table->horizontalHeader()->sizeHint().height() + rowHeight * shownRows +
                                frame);
        table->installEventFilter(this);
        connect(table, &QTableWidget::cellPressed, this, [this, g](int row, int column) {
            m_grids->setCursor(g, row + 1, column);
            paintGrid(g);
            focusGridWidget(g);
        });
        auto* label = new QLabel(QStringLiteral("Section %1").arg(g + 1), m_frEntry);
        describeControl(table, label->text(),
                        QString::fromUtf8(InventoryLayout::formatLegend(model.format)), m_msgPanel);
        label->setObjectName(QStringLiteral("lblSection%1").arg(g));
        m_grdResponses.append(table);
        m_lblSection.append(label);
        paintGrid(g);
        table->show();
        label->show();
    }
    // Tab order: the grids in turn, then the buttons.
    for (int g = 1; g < m_grdResponses.size(); ++g) {
        setTabOrder(m_grdResponses[g - 1], m_grdResponses[g]);
    }
    setTabOrder(m_grdResponses.last(), menuButton(this, kSave));
    setTabOrder(menuButton(this, kSave), menuButton(this, kCancel));
}

void frmNewEntry::layOutGrids() {
    const int gap = twipsToPixels(kGapTwips);
    const int labelHeight = fontMetrics().height() + 4;
    int left = gap;
    int tallest = 0;
    for (int g = 0; g < m_grdResponses.size(); ++g) {
        QTableWidget* table = m_grdResponses[g];
        table->move(left, gap + labelHeight);
        left += table->width() + gap;
        tallest = std::max(tallest, table->height());
    }
    const int frameWidth = left + gap;
    m_frEntry->resize(frameWidth, gap + labelHeight + tallest + gap);
    // The row of grids centred in the frame, each label over its grid.
    const QTableWidget* last = m_grdResponses.last();
    const int shift = m_frEntry->width() / 2 - (last->x() + last->width() + gap) / 2;
    for (int g = 0; g < m_grdResponses.size(); ++g) {
        QTableWidget* table = m_grdResponses[g];
        table->move(table->x() + shift, table->y());
        m_lblSection[g]->setGeometry(table->x(), gap, table->width() + gap, labelHeight);
    }

    const int margin = twipsToPixels(240);
    m_lblClientName->setGeometry(margin, margin / 2, m_frEntry->width(), labelHeight);
    QWidget* savePanel = menuPanel(this, kSave);
    QWidget* cancelPanel = menuPanel(this, kCancel);
    savePanel->adjustSize();
    cancelPanel->adjustSize();
    const int formWidth = std::max(m_frEntry->width() + 2 * margin,
                                   savePanel->width() + cancelPanel->width() + 3 * margin);
    const int panelHeight = msgPanelRoom(this, m_msgPanel, formWidth);
    const int framesTop = margin / 2 + labelHeight + margin / 2;
    const int buttonsTop = framesTop + m_frEntry->height() + margin / 2;
    const int formHeight = buttonsTop + savePanel->height() + margin / 2 + panelHeight;
    resize(formWidth, formHeight);
    m_frEntry->move(formWidth / 2 - m_frEntry->width() / 2, framesTop);
    const int buttonsLeft =
        formWidth / 2 - (savePanel->width() + margin + cancelPanel->width()) / 2;
    savePanel->move(buttonsLeft, buttonsTop);
    cancelPanel->move(buttonsLeft + savePanel->width() + margin, buttonsTop);
    placeMsgPanel(this, m_msgPanel);
}

void frmNewEntry::paintRow(int g, int row) {
    QTableWidget* table = m_grdResponses[g];
    const int optionCount = m_grids->grid(g).optionCount;
    for (int c = 1; c <= optionCount; ++c) {
        QTableWidgetItem* item = table->item(row - 1, c);
        AnswerGrids::Cell cell = m_grids->cell(g, row, c);
        // Only the grid that holds the focus shows its cursor row.
        if (!m_gridHasFocus) {
            cell = cell == AnswerGrids::Cell::CursorChosen ? AnswerGrids::Cell::Chosen
                   : cell == AnswerGrids::Cell::Cursor     ? AnswerGrids::Cell::Plain
                                                           : cell;
        }
        switch (cell) {
        case AnswerGrids::Cell::Plain:
            item->setBackground(Colors::white);
            item->setForeground(Colors::navy);
            item->setText(QString());
            break;
        case AnswerGrids::Cell::Chosen:
            item->setBackground(Colors::green);
            item->setForeground(Colors::black);
            item->setText(QStringLiteral("X"));
            break;
        case AnswerGrids::Cell::Cursor:
            item->setBackground(Colors::cyan);
            item->setForeground(Colors::black);
            item->setText(QString());
            break;
        case AnswerGrids::Cell::CursorChosen:
            item->setBackground(Colors::cyan);
            item->setForeground(Colors::black);
            item->setText(QStringLiteral("X"));
            break;
        }
        item->setTextAlignment(Qt::AlignCenter);
    }
}

void frmNewEntry::paintGrid(int g) {
    for (int r = 1; r < m_grids->grid(g).rowCount(); ++r) {
        paintRow(g, r);
    }
    applyCursor(g);
}

void frmNewEntry::applyCursor(int g) {
    QTableWidget* table = m_grdResponses[g];
    const AnswerGrids::Grid& model = m_grids->grid(g);
    // The table's own current cell goes with the cursor row, so no second mark is left behind.
    table->setCurrentCell(model.cursorRow - 1, 0, QItemSelectionModel::NoUpdate);
    table->verticalScrollBar()->setValue(model.topRow - 1);
}

void frmNewEntry::focusGridWidget(int g) {
    QTableWidget* table = m_grdResponses.value(g);
    if (table == nullptr) {
        return;
    }
    if (table->hasFocus()) {
        m_grids->focusGrid(g);
        m_msgPanel->setText(
            QString::fromUtf8(InventoryLayout::formatLegend(m_grids->grid(g).format)));
        return;
    }
    table->setFocus();
}

int frmNewEntry::gridIndexOf(QObject* o) const {
    for (int g = 0; g < m_grdResponses.size(); ++g) {
        if (m_grdResponses[g] == o) {
            return g;
        }
    }
    return -1;
}

void frmNewEntry::afterMove(int fromGrid, int fromRow, const AnswerGrids::Result& r) {
    paintRow(fromGrid, fromRow);
    const int g = m_grids->currentGrid();
    paintRow(g, m_grids->grid(g).cursorRow);
    applyCursor(g);
    if (r.gridChanged) {
        focusGridWidget(g);
    }
    if (r.beep) {
        m_services.messages->beep();
    }
}

bool frmNewEntry::eventFilter(QObject* watched, QEvent* event) {
    const int g = gridIndexOf(watched);
    if (g < 0 || !m_grids) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::FocusOut:
        m_gridHasFocus = false;
        paintRow(g, m_grids->grid(g).cursorRow);
        return false;
    case QEvent::FocusIn: {
        m_gridHasFocus = true;
        const int before = m_grids->currentGrid();
        m_grids->focusGrid(g);
        if (before != g) {
            paintRow(before, m_grids->grid(before).cursorRow);
        }
        paintRow(g, m_grids->grid(g).cursorRow);
        applyCursor(g);
        m_msgPanel->setText(
            QString::fromUtf8(InventoryLayout::formatLegend(m_grids->grid(g).format)));
        return false;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        m_grids->focusGrid(g);
        const int fromRow = m_grids->grid(g).cursorRow;
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;
        case Qt::Key_Down:
            afterMove(g, fromRow, m_grids->down());
            return true;
        case Qt::Key_Up:
            afterMove(g, fromRow, m_grids->up());
            return true;
        default:
            break;
        }
        const QString text = key->text();
        if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            return true; // Left, Right and the other keys without a character do nothing
        }
        const QChar ch = text.at(0);
        const char c = ch.unicode() < 128 ? static_cast<char>(ch.unicode()) : '\0';
        afterMove(g, fromRow, m_grids->type(c));
        return true;
    }
    case QEvent::KeyRelease:
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void frmNewEntry::choose(int index) {
    if (index == kSave) {
        save();
    } else {
        cancel();
    }
}

void frmNewEntry::save() {
    if (!m_grids || m_closing) {
        return;
    }
    menuButton(this, kSave)->setEnabled(false);
    menuButton(this, kCancel)->setEnabled(false);
    m_state.clients.chooseDefaultClient();
    const std::string responses = m_grids->responseString();
    ClientFile file(m_state.paths.clientFile);
    file.setAuditEvent(AuditEvent::TestStored, "answer sheet");
    const RecordSave save = m_state.clients.saveCurrent(
        [&](ClientRecord& record) { record.set(ClientRecord::Field::Responses, responses); }, file);
    if (!save.saved) {
        // The typed answers stay in the grids; Save can be chosen again.
        m_services.messages->show(
            this, appTitle(),
            QStringLiteral("The answers could not be saved.\n\n%1\n\nThey are still in the "
                           "grids: correct the cause and choose Save again.")
                .arg(errorText(save.fault)),
            MessageService::Icon::Critical, MessageService::Buttons::Ok);
        menuButton(this, kSave)->setEnabled(true);
        menuButton(this, kCancel)->setEnabled(true);
        return;
    }
    if (!m_state.editMode) {
        m_state.clients.countNewTest();
    }
    m_state.testStored = true;
    m_state.editMode = false;
    m_closing = true;
    QDialog::accept();
}

void frmNewEntry::cancel() {
    menuButton(this, kSave)->setEnabled(false);
    menuButton(this, kCancel)->setEnabled(false);
    if (!m_state.editMode) {
        recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                    {AuditEvent::TestAborted, std::to_string(m_state.clients.currentClient),
                     "answer sheet"});
        m_state.clients.dropNewClient();
    }
    m_state.editMode = false;
    m_closing = true;
    QDialog::reject();
}

// Escape is a refused key in the grids; the window's close box asks before typed answers are
// thrown away, then acts as Cancel.
void frmNewEntry::reject() {
    if (m_closing) {
        return;
    }
    if (m_grids && m_grids->answersChanged()) {
        const auto answer = m_services.messages->show(
            this, appTitle(), QStringLiteral("Discard the answers typed in the grids?"),
            MessageService::Icon::Question, MessageService::Buttons::YesNo);
        if (answer != MessageService::Answer::Yes) {
            return;
        }
    }
    cancel();
}

} // namespace orvj
