#pragma once

#include "ui/InstallerDialog.h"

#include <functional>
#include <string>

namespace orvj {

// "Install &Inventory Files...": puts the publisher's inventory files of a folder the
// supervisor picks into the program folder, after checking every one of them.
class frmInstallInventory : public InstallerDialog {
    Q_OBJECT
public:
    frmInstallInventory(AppState& state, Services& services, QWidget* parent = nullptr);

    // The backup folder's date; the default is the time now.
    void setStamp(std::function<std::string()> stamp) { m_stamp = std::move(stamp); }

private:
    void install() override;

    std::function<std::string()> m_stamp;
};

} // namespace orvj
