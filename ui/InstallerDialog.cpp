#include "ui/InstallerDialog.h"

#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvj {

InstallerDialog::InstallerDialog(AppState& state, Services& services, QWidget* parent,
                                 const QString& objectName, const QString& title,
                                 const QString& frameCaption, const QString& pickerTitle)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(objectName);
    setWindowTitle(title);
    setModal(true);
    m_pickFolder = [pickerTitle](QWidget* p, const QString& start) {
        return QFileDialog::getExistingDirectory(p, pickerTitle, start);
    };

    m_outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(frameCaption, this);
    frame->setObjectName(QStringLiteral("fraInstall"));
    m_frame = frame;
    m_form = new QFormLayout(frame);
}

void InstallerDialog::addSourceRow() {
    const auto source = FolderFormParts::addFolderRow(
        m_frame, m_form, QStringLiteral("Copy &from:"), QStringLiteral("txtSourceFolder"));
    m_txtSourceFolder = source.field;
    m_cmdBrowse = source.browse;
    connect(m_cmdBrowse, &QPushButton::clicked, this, &InstallerDialog::browse);
}

void InstallerDialog::addTargetRow(QLabel* target) {
    target->setObjectName(QStringLiteral("lblTarget"));
    target->setTextFormat(Qt::PlainText);
    target->setWordWrap(true);
    m_form->addRow(QStringLiteral("Copy into:"), target);
}

void InstallerDialog::addProgressAndMenu(const QString& progressName, const QString& installHelp) {
    m_progress = new QProgressBar(m_frame);
    m_progress->setObjectName(progressName);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_form->addRow(QStringLiteral("Progress:"), m_progress);
    m_outer->addWidget(m_frame);

    m_choices = FolderFormParts::addMenuRow(
        this, m_outer,
        {{kInstall, QStringLiteral("&Install"), installHelp},
         {kClose, QStringLiteral("&Close"), FolderFormParts::closeHelpLine()}},
        m_msgPanel);
    connect(m_choices, &MenuChoices::chosen, this, &InstallerDialog::choose);
}

void InstallerDialog::choose(int index) {
    if (index == kInstall) {
        install();
    } else {
        accept();
    }
}

void InstallerDialog::browse() {
    FolderFormParts::browseInto(this, m_txtSourceFolder, m_pickFolder);
}

QString InstallerDialog::chosenSource(const QString& filesName) {
    const QString source = m_txtSourceFolder->text().trimmed();
    if (source.isEmpty()) {
        m_services.messages->show(
            this, appTitle(),
            QStringLiteral("Choose the folder that holds the %1 first (Browse...).").arg(filesName),
            MessageService::Icon::Critical, MessageService::Buttons::Ok);
        m_txtSourceFolder->setFocus();
    }
    return source;
}

void InstallerDialog::setMenuEnabled(bool on) {
    menuButton(this, kInstall)->setEnabled(on);
    menuButton(this, kClose)->setEnabled(on);
}

void InstallerDialog::runInstall(const std::function<void()>& work) {
    setMenuEnabled(false);
    {
        const WaitCursor wait;
        work();
    }
    setMenuEnabled(true);
}

void InstallerDialog::showProgress(int done, int total) {
    m_progress->setRange(0, total);
    m_progress->setValue(done);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void InstallerDialog::showSummary(const QString& text, bool complete) {
    m_services.messages->show(this, appTitle(), text,
                              complete ? MessageService::Icon::Information
                                       : MessageService::Icon::Critical,
                              MessageService::Buttons::Ok);
}

} // namespace orvj
