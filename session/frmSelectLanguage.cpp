#include "session/frmSelectLanguage.h"

#include "core/AppState.h"
#include "store/QuestionBank.h"
#include "ui/FormConventions.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

namespace orvj {

frmSelectLanguage::frmSelectLanguage(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmSelectLanguage"));
    setWindowTitle(QStringLiteral("Select Presentation Language"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    m_fraSelectLanguage = new QGroupBox(QStringLiteral("Select Language to Present"), this);
    m_fraSelectLanguage->setObjectName(QStringLiteral("fraSelectLanguage"));
    auto* column = new QVBoxLayout(m_fraSelectLanguage);
    for (int i = 0; i < kLanguageButtons; ++i) {
        QWidget* panel = makeMenuChoice(m_fraSelectLanguage, i, QString());
        panel->setVisible(false);
        column->addWidget(panel);
    }
    column->addWidget(
        makeMenuChoice(m_fraSelectLanguage, kCancel, QStringLiteral("Cancel Presentation")));
    outer->addWidget(m_fraSelectLanguage, 0, Qt::AlignCenter);
    m_msgPanel = makeMsgPanel(this);
    outer->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    for (int i = 0; i < kLanguageButtons; ++i) {
        m_choices->add(i, QString());
    }
    m_choices->add(kCancel, QStringLiteral("Cancel presentation"));
    connect(m_choices, &MenuChoices::chosen, this, &frmSelectLanguage::choose);
    resize(twipsToPixels(5000), twipsToPixels(3600));
}

std::int16_t frmSelectLanguage::LanguageCount() {
    const QuestionBank bank(m_state.paths.questionBank);
    m_count = 0;
    for (int i = 0; i < kLanguageButtons; ++i) {
        menuButton(this, i)->setText(QString());
        menuPanel(this, i)->setVisible(false);
    }
    for (const auto& name : bank.tableNames()) {
        if ((name == "English" || name == "Spanish") && m_count < kLanguageButtons) {
            const QString caption = QString::fromStdString(name);
            menuButton(this, m_count)->setText(caption);
            menuPanel(this, m_count)->setVisible(true);
            m_choices->setHelpLine(m_count, QStringLiteral("Present in ") + caption);
            ++m_count;
        }
    }
    return m_count;
}

QString frmSelectLanguage::languageCaption(int index) const {
    auto* self = const_cast<frmSelectLanguage*>(this);
    QAbstractButton* b = menuButton(self, index);
    return b != nullptr ? b->text() : QString();
}

void frmSelectLanguage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterForm(this);
    ClearHighlights(this, kCancel);
    if (m_msgPanel != nullptr) {
        m_msgPanel->clear();
    }
    menuButton(this, m_count > 0 ? 0 : kCancel)->setFocus();
}

void frmSelectLanguage::choose(int index) {
    if (index == kCancel) {
        if (!m_state.editMode) {
            m_state.clients.clearCurrent();
            m_state.clients.currentClient = 1;
        }
        m_state.dialogConfirmed = false;
        m_language.clear();
        QDialog::reject();
        return;
    }
    m_language = languageCaption(index);
    m_state.dialogConfirmed = true;
    accept();
}

// Closing the window counts as "Cancel Presentation".
void frmSelectLanguage::reject() {
    choose(kCancel);
}

} // namespace orvj
