#pragma once

#include "scoring/ProfileData.h"

#include <QWidget>

#include <optional>

namespace orvj {

// One or more profile pictures side by side on the screen, drawn as the PDF and the printer
// draw them. A screen reader reads the percentiles and risk ranges from its description.
class ProfileView : public QWidget {
    Q_OBJECT
public:
    explicit ProfileView(QWidget* parent = nullptr);

    void setProfiles(std::vector<ProfileData> profiles);
    // Shown instead of a picture when there is none, such as why it could not be drawn.
    void setNote(const QString& note);
    const std::vector<ProfileData>& profiles() const { return m_profiles; }

    // The scales of a profile as text: "TRUTHFULNESS 34 LOW; ANXIETY 6 LOW; ...".
    static QString describe(const ProfileData& profile);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ProfileData> m_profiles;
    QString m_note;
};

} // namespace orvj
