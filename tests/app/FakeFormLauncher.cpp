#include "tests/app/FakeFormLauncher.h"

#include <QWidget>

namespace orvj::test {

void FakeFormLauncher::run(const QString& form, QWidget* parent) {
    const QWidget* frame =
        parent != nullptr ? parent->findChild<QWidget*>(QStringLiteral("frMainMenu")) : nullptr;
    calls.append({form, m_state.editMode, m_state.scanEditMode, m_state.testStored,
                  m_state.dialogConfirmed, m_state.workingEditCount,
                  frame != nullptr && frame->isVisible()});
    if (auto it = actions.find(form); it != actions.end() && it->second) {
        it->second(parent);
    }
}

} // namespace orvj::test
