#pragma once

#include "ui/InstallerDialog.h"

#include <QPalette>
#include <QString>

class QComboBox;
class QLabel;

namespace orvj {

// "&Install Voice Files...": copies the wave files of a folder the supervisor picks into the
// sound folder of a language.
class frmInstallVoiceFiles : public InstallerDialog {
    Q_OBJECT
public:
    frmInstallVoiceFiles(AppState& state, Services& services, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void install() override;
    void showTarget();
    QString targetFolder() const;

    QComboBox* m_cmbLanguage = nullptr;
    QLabel* m_lblTarget = nullptr;
    QPalette m_fieldPalette; // a field's colours without the focus
};

} // namespace orvj
