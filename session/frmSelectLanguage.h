#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QGroupBox;
class QLabel;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// One button per question table named exactly "English" or "Spanish", in the database's
// table order, and "Cancel Presentation".
class frmSelectLanguage : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLanguageButtons = 3;
    static constexpr int kCancel = 3;

    frmSelectLanguage(AppState& state, Services& services, QWidget* parent = nullptr);

    // Reads the table names of the question bank and shows a button per language table.
    // Throws OrvjError when the question bank cannot be read.
    std::int16_t LanguageCount();

    // Caption of language button `index` (empty while it has no language).
    QString languageCaption(int index) const;
    // The language chosen, empty when the presentation was cancelled.
    QString Language() const { return m_language; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void choose(int index);

    AppState& m_state;
    Services& m_services;
    QGroupBox* m_fraSelectLanguage = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
    QString m_language;
    std::int16_t m_count = 0;
};

} // namespace orvj
