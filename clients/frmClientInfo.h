#pragma once

#include "clients/ClientInfoRules.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Client Information": registers a new client (record ClientCount + 1, in memory only) or
// corrects the identification data of the current client, writing it at once.
class frmClientInfo : public QDialog {
    Q_OBJECT
public:
    frmClientInfo(AppState& state, Services& services, QWidget* parent = nullptr);

    bool EditMode() const;
    void setEditMode(bool on);
    bool ScanEditMode() const;
    void setScanEditMode(bool on);

    void RecordToScreen();
    void RecordToDB();
    void EditLimitMessage();

    // How often a combo's list was dropped down because its text matched no entry.
    int dropDownCount() const { return m_dropDowns; }

public slots:
    // Closing the window counts as "Cancel Input".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using FieldKey = ClientInfo::FieldKey;
    using Combo = ClientInfo::Combo;

    // The construction steps, in this order.
    void buildFields();
    void buildLayout();
    void buildChoices();
    void setFocusOrder();

    void load();
    void activate();
    void choose(int index);
    void informationOk();
    bool saveEdit(const ClientInfo::Fields& fields);

    // Focus-order index 0..5 of a field widget, -1 for anything else.
    int orderOf(QObject* o) const;
    QWidget* fieldAt(int order) const;
    QWidget* fieldOf(FieldKey k) const;
    QComboBox* comboAt(int order) const;

    bool textKey(int order, QKeyEvent* key);
    bool ageKey(QKeyEvent* key);
    bool comboKey(int order, QKeyEvent* key);
    void enterIn(int order);
    void focusNext(int order);
    void fieldError(FieldKey k);
    void focusIn(int order);
    void focusOut(int order);
    void applyEntryRule(int order);
    int comboPosition(int order) const;
    QString currentValue(int order) const;
    ClientInfo::Fields collect() const;
    void lockFields();
    QString okHelpLine() const;

    AppState& m_state;
    Services& m_services;

    QFrame* m_frClient;
    std::array<QLabel*, 6> m_lblInfo{};
    QLineEdit* m_txtName;
    QLineEdit* m_txtSSN;
    QLineEdit* m_txtAge;
    QComboBox* m_cmbGender;
    QComboBox* m_cmbRace;
    QComboBox* m_cmbEducation;
    QLabel* m_lblLocked;
    QLabel* m_msgPanel;
    MenuChoices* m_choices;

    ClientInfo::LoadedValues m_loaded;
    bool m_loadedOnce = false;
    bool m_fieldsLocked = false;
    bool m_applyingRule = false;
    int m_dropDowns = 0;
};

} // namespace orvj
