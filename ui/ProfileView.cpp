#include "ui/ProfileView.h"

#include "scoring/OfficeStatistics.h"
#include "scoring/ProfileChart.h"
#include "scoring/Scales.h"

#include <QPainter>

namespace orvj {

ProfileView::ProfileView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picProfile"));
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Profile chart"));
    const QFontMetrics fm(font());
    setMinimumSize(fm.horizontalAdvance(QString(60, QLatin1Char('x'))), fm.lineSpacing() * 20);
}

void ProfileView::setProfiles(std::vector<ProfileData> profiles) {
    m_profiles = std::move(profiles);
    m_note.clear();
    QStringList text;
    for (const ProfileData& p : m_profiles) {
        text << describe(p);
    }
    setAccessibleDescription(text.join(QStringLiteral(" | ")));
    update();
}

void ProfileView::setNote(const QString& note) {
    m_profiles.clear();
    m_note = note;
    setAccessibleDescription(note);
    update();
}

QString ProfileView::describe(const ProfileData& profile) {
    QStringList parts = ProfileChart::headerLines(profile);
    for (int n = 1; n <= Scales::kCount; ++n) {
        parts << QLatin1String(Scales::name(n)) + QLatin1Char(' ') +
                     (profile.scores.notScorable(n)
                          ? QStringLiteral("not scored")
                          : QString::number(profile.scores.pct(n)) + QLatin1Char(' ') +
                                QString::fromStdString(riskOf(profile.scores, n)));
    }
    return parts.join(QStringLiteral("; "));
}

void ProfileView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    if (m_profiles.empty()) {
        p.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_note);
        return;
    }
    const double each = static_cast<double>(width() - 8) / static_cast<double>(m_profiles.size());
    for (std::size_t i = 0; i < m_profiles.size(); ++i) {
        ProfileChart::draw(p, QRectF(4 + each * static_cast<double>(i), 4, each - 8, height() - 8),
                           m_profiles[i]);
    }
}

} // namespace orvj
