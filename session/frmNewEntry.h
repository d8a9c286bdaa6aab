#pragma once

#include "session/AnswerGrids.h"

#include <QDialog>
#include <QList>

#include <optional>

class QFrame;
class QLabel;
class QTableWidget;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// The answer-sheet grids: the supervisor types the option number of every item, one grid per
// answer format; Save stores the 143 codes in the current client's record.
class frmNewEntry : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSave = 0;
    static constexpr int kCancel = 1;

    frmNewEntry(AppState& state, Services& services, QWidget* parent = nullptr);

    // The grid logic, once the grids are built (after the form was first shown).
    const AnswerGrids* grids() const { return m_grids ? &*m_grids : nullptr; }
    QTableWidget* grid(int index) const { return m_grdResponses.value(index); }

    void choose(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrids();
    void layOutGrids();
    void paintRow(int g, int row);
    void paintGrid(int g);
    void applyCursor(int g);
    void focusGridWidget(int g);
    void afterMove(int fromGrid, int fromRow, const AnswerGrids::Result& r);
    int gridIndexOf(QObject* o) const;
    void save();
    void cancel();
    void fail(const QString& text);

    AppState& m_state;
    Services& m_services;
    std::optional<AnswerGrids> m_grids;
    QLabel* m_lblClientName = nullptr;
    QFrame* m_frEntry = nullptr;
    QList<QTableWidget*> m_grdResponses;
    QList<QLabel*> m_lblSection;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
    bool m_built = false;
    bool m_closing = false;
    bool m_gridHasFocus = false;
};

} // namespace orvj
