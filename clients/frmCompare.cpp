#include "clients/frmCompare.h"

#include "core/AppState.h"
#include "scoring/ComparisonPdf.h"
#include "scoring/InventoryLoader.h"
#include "scoring/OfficeStatistics.h"
#include "scoring/QtReportJobs.h"
#include "scoring/Scales.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/ProfileView.h"
#include "ui/RecordText.h"
#include "ui/SaveDocument.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <list>

namespace orvj {
namespace {

// The client files searched: the current one as the program holds it, then the earlier data
// folders' (read only; one that cannot be read is passed by).
struct Searched {
    std::list<ClientTable> earlier;
    std::vector<SearchedTable> files;
};

Searched searchedFiles(const AppState& state) {
    Searched s;
    s.files.push_back({state.paths.clientFile, &state.clients});
    for (const auto& folder : rememberedDataFolders(state.paths.home, state.paths.configFile)) {
        try {
            ClientTable& table = s.earlier.emplace_back();
            ClientFile(folder / ClientFile::kFileName).loadReadOnly(table);
            s.files.push_back({folder / ClientFile::kFileName, &table});
        } catch (const OrvjError&) {
            s.earlier.pop_back();
        }
    }
    return s;
}

std::string chosenId(const AppState& state) {
    const int current = state.clients.currentClient;
    if (current < 1 || current > state.clients.clientCount) {
        return {};
    }
    return state.clients.at(current).trimmed(ClientRecord::Field::SSN);
}

} // namespace

int frmCompare::TestCount(const AppState& state) {
    const std::string id = chosenId(state);
    if (!comparableId(id)) {
        return 0;
    }
    const Searched s = searchedFiles(state);
    return static_cast<int>(findTests(s.files, id).size());
}

frmCompare::frmCompare(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Retest Comparison"));
    setModal(true);

    m_lblClient = new QLabel(this);
    m_lblClient->setObjectName(QStringLiteral("lblClient"));
    m_lblClient->setTextFormat(Qt::PlainText);
    m_lblClient->setWordWrap(true);
    // The table or the pictures, one at a time in the same place.
    auto* showLabel = new QLabel(QStringLiteral("&Show:"), this);
    showLabel->setObjectName(QStringLiteral("lblShow"));
    m_cmbShow = new QComboBox(this);
    m_cmbShow->setObjectName(QStringLiteral("cmbShow"));
    m_cmbShow->addItems({QStringLiteral("Table"), QStringLiteral("Profile charts")});
    m_cmbShow->setAccessibleName(QStringLiteral("Show"));
    showLabel->setBuddy(m_cmbShow);
    m_figures = new QStackedWidget(this);
    m_figures->setObjectName(QStringLiteral("stkFigures"));
    m_tblCompare = new QTableWidget;
    m_tblCompare->setObjectName(QStringLiteral("tblCompare"));
    m_tblCompare->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblCompare->setTabKeyNavigation(false);
    m_tblCompare->setAccessibleName(QStringLiteral("Tests compared"));
    m_tblCompare->setCornerButtonEnabled(false);
    m_picProfiles = new ProfileView;
    m_figures->addWidget(m_tblCompare);
    m_figures->addWidget(m_picProfiles);
    connect(m_cmbShow, &QComboBox::currentIndexChanged, m_figures,
            &QStackedWidget::setCurrentIndex);

    m_cmdSavePdf = new QPushButton(QStringLiteral("Save as P&DF..."), this);
    m_cmdSavePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    m_cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {m_cmdSavePdf, m_cmdClose}) {
        b->setAutoDefault(false);
        b->setAccessibleName(plainCaption(b->text()));
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdSavePdf);
    buttons->addWidget(m_cmdClose);
    auto* showRow = new QHBoxLayout;
    showRow->addWidget(showLabel);
    showRow->addWidget(m_cmbShow);
    showRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblClient);
    layout->addLayout(showRow);
    layout->addWidget(m_figures, 1);
    layout->addLayout(buttons);

    setTabOrder(m_cmbShow, m_tblCompare);
    setTabOrder(m_tblCompare, m_cmdSavePdf);
    setTabOrder(m_cmdSavePdf, m_cmdClose);
    connect(m_cmdSavePdf, &QPushButton::clicked, this, &frmCompare::savePdf);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    m_pickPdfFile = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Save Comparison as PDF"),
                                            suggested, QStringLiteral("PDF files (*.pdf)"));
    };
    fill();
    sizeToLayout(this, 10500, 7000);
}

void frmCompare::fill() {
    const std::string id = chosenId(m_state);
    try {
        const Searched s = searchedFiles(m_state);
        m_comparison = compareRetests(s.files, id, loadInventory(m_state.paths.home).scoring);
    } catch (const OrvjError& e) {
        m_comparison = {};
        m_lblClient->setText(QStringLiteral("The tests cannot be compared.\n") + errorText(e));
        m_cmdSavePdf->setEnabled(false);
        m_picProfiles->setNote(m_lblClient->text());
        return;
    }
    const auto& tests = m_comparison.tests;
    QString heading = QStringLiteral("ID: ") + toScreen(m_comparison.id);
    if (!tests.empty()) {
        heading += QStringLiteral("    Name: ") + toScreen(tests.back().profile.name) +
                   QStringLiteral("    Tests: %1").arg(tests.size());
    }
    for (const std::string& note : m_comparison.notes) {
        heading += QStringLiteral("\nNot compared: ") + QString::fromStdString(note);
    }
    m_lblClient->setText(heading);

    const int columns = static_cast<int>(tests.size()) + 1;
    m_tblCompare->setColumnCount(columns);
    m_tblCompare->setRowCount(Scales::kCount + 2);
    QStringList header;
    for (std::size_t t = 0; t < tests.size(); ++t) {
        header << QStringLiteral("Test %1").arg(t + 1);
    }
    header << QStringLiteral("Change");
    m_tblCompare->setHorizontalHeaderLabels(header);
    QStringList rows{QStringLiteral("Test date"), QStringLiteral("Record")};
    for (int n = 1; n <= Scales::kCount; ++n) {
        rows << QLatin1String(Scales::name(n));
    }
    m_tblCompare->setVerticalHeaderLabels(rows);
    auto put = [this](int row, int column, const QString& text) {
        m_tblCompare->setItem(row, column, new QTableWidgetItem(text));
    };
    std::vector<ProfileData> profiles;
    for (std::size_t t = 0; t < tests.size(); ++t) {
        const int c = static_cast<int>(t);
        const ProfileData& p = tests[t].profile;
        profiles.push_back(p);
        put(0, c, toScreen(p.testDate));
        put(1, c,
            QStringLiteral("%1 in %2")
                .arg(p.record)
                .arg(pathToQString(tests[t].file.parent_path().filename())));
        for (int n = 1; n <= Scales::kCount; ++n) {
            put(n + 1, c,
                p.scores.notScorable(n) ? QStringLiteral("NOT SCORED")
                                        : QStringLiteral("%1 %2")
                                              .arg(p.scores.pct(n))
                                              .arg(QString::fromStdString(riskOf(p.scores, n))));
        }
    }
    put(0, columns - 1, QString());
    put(1, columns - 1, QString());
    for (int n = 1; n <= Scales::kCount; ++n) {
        const int d = m_comparison.change(n);
        put(n + 1, columns - 1,
            m_comparison.changeKnown(n)
                ? (d > 0 ? QStringLiteral("+%1").arg(d) : QString::number(d))
                : QStringLiteral("-"));
    }
    m_tblCompare->resizeColumnsToContents();
    m_tblCompare->resizeRowsToContents();
    m_picProfiles->setProfiles(std::move(profiles));
    m_cmdSavePdf->setEnabled(tests.size() >= 2);
}

void frmCompare::savePdf() {
    SavePdfDocument(this, *m_services.messages,
                    m_pickPdfFile(this, inDocuments(QStringLiteral("comparison.pdf"))),
                    [this] { return comparisonPdf(m_comparison); });
}

} // namespace orvj
