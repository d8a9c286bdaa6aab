#pragma once

#include <QDialog>
#include <QPalette>

#include <array>

class QLabel;
class QLineEdit;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Options > Change Secret Code...": sets the office's own secret code in place of "K" (or of
// the office's earlier code). The current code, then the new one twice, each masked; the new
// code has 6 to 32 characters. Only a salted hash of it is stored (store/SecretCode).
class frmChangeSecretCode : public QDialog {
    Q_OBJECT
public:
    static constexpr int kChange = 0;
    static constexpr int kCancel = 1;

    frmChangeSecretCode(AppState& state, Services& services, QWidget* parent = nullptr);

    void choose(int index);
    // True once the new code was stored.
    bool changed() const { return m_changed; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Field { Current, New, Repeated };
    QLineEdit* field(Field f) const { return m_fields[static_cast<std::size_t>(f)]; }
    void enterIn(Field f);
    void changeCode();
    // A refusal: the box, then the fields named are emptied and the first takes the focus.
    void refuse(const QString& text, Field focus, bool clearNewCodes);

    AppState& m_state;
    Services& m_services;
    std::array<QLineEdit*, 3> m_fields{};
    QLabel* m_lblComment = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
    QPalette m_fieldPalette; // a field's colours without the focus
    bool m_changed = false;
    bool m_shown = false;
};

} // namespace orvj
