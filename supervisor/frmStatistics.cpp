#include "supervisor/frmStatistics.h"

#include "core/AppState.h"
#include "scoring/CriticalCases.h"
#include "scoring/QtReportJobs.h"
#include "scoring/Scales.h"
#include "scoring/StatisticsChart.h"
#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/SaveDocument.h"
#include "ui/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvj {

// The stacked-bar chart of the group shown, drawn as the PDF draws it.
class StatisticsChartView : public QWidget {
public:
    explicit StatisticsChartView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("picChart"));
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(QStringLiteral("Risk ranges by scale"));
        const QFontMetrics fm(font());
        setMinimumSize(fm.horizontalAdvance(QString(34, QLatin1Char('M'))), fm.height() * 14);
    }
    void setGroup(const GroupCount* group) {
        m_group = group;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        if (m_group != nullptr) {
            p.setFont(font());
            drawStatisticsChart(p, QRectF(rect()).adjusted(4, 4, -4, -4), *m_group);
        }
    }

private:
    const GroupCount* m_group = nullptr;
};

namespace {

const char* const kColumns[] = {"LOW", "MEDIUM", "PROBLEM", "MAXIMUM", "NOT SCORED", "MEDIAN"};

QString folderHelp() {
    return QStringLiteral("Tick the data folders to count; the current one comes first.");
}

QString dateText(int key) {
    return QStringLiteral("%1/%2/%3")
        .arg(key / 100 % 100, 2, 10, QLatin1Char('0'))
        .arg(key % 100, 2, 10, QLatin1Char('0'))
        .arg(key / 10000);
}

int folderTextWidth(const QWidget* list) {
    return list->fontMetrics().averageCharWidth() * 30;
}

int keyOf(const QDate& date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

} // namespace

frmStatistics::frmStatistics(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("Office Statistics"));
    setModal(true);

    auto* fraFolders = new QGroupBox(QStringLiteral("Data Folders"), this);
    fraFolders->setObjectName(QStringLiteral("fraFolders"));
    m_lstFolders = new QListWidget(fraFolders);
    m_lstFolders->setObjectName(QStringLiteral("lstFolders"));
    m_lstFolders->setMinimumHeight(m_lstFolders->fontMetrics().height() * 4);
    // Long folder names are shortened in the middle to this width; the tip shows them whole.
    m_lstFolders->setMinimumWidth(folderTextWidth(m_lstFolders) + 2 * m_lstFolders->frameWidth() +
                                  m_lstFolders->fontMetrics().height() * 3);
    m_lstFolders->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_cmdAddFolder = new QPushButton(QStringLiteral("&Add Folder..."), fraFolders);
    m_cmdAddFolder->setObjectName(QStringLiteral("cmdAddFolder"));
    m_cmdAddFolder->setAutoDefault(false);
    auto* folderLayout = new QVBoxLayout(fraFolders);
    folderLayout->addWidget(m_lstFolders);
    folderLayout->addWidget(m_cmdAddFolder, 0, Qt::AlignLeft);

    auto* fraDates = new QGroupBox(QStringLiteral("Test Dates"), this);
    fraDates->setObjectName(QStringLiteral("fraDates"));
    m_chkSince = new QCheckBox(QStringLiteral("&From"), fraDates);
    m_chkSince->setObjectName(QStringLiteral("chkSince"));
    m_dteSince = new QDateEdit(QDate::currentDate().addYears(-1), fraDates);
    m_dteSince->setObjectName(QStringLiteral("dteSince"));
    m_chkUntil = new QCheckBox(QStringLiteral("&To"), fraDates);
    m_chkUntil->setObjectName(QStringLiteral("chkUntil"));
    m_dteUntil = new QDateEdit(QDate::currentDate(), fraDates);
    m_dteUntil->setObjectName(QStringLiteral("dteUntil"));
    for (QDateEdit* date : {m_dteSince, m_dteUntil}) {
        date->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
        date->setCalendarPopup(true);
        date->setEnabled(false);
    }
    auto* dateLayout = new QGridLayout(fraDates);
    dateLayout->addWidget(m_chkSince, 0, 0);
    dateLayout->addWidget(m_dteSince, 0, 1);
    dateLayout->addWidget(m_chkUntil, 1, 0);
    dateLayout->addWidget(m_dteUntil, 1, 1);
    dateLayout->setRowStretch(2, 1);

    auto* groupLabel = new QLabel(QStringLiteral("&Group:"), this);
    groupLabel->setObjectName(QStringLiteral("lblGroup"));
    m_cmbGroup = new QComboBox(this);
    m_cmbGroup->setObjectName(QStringLiteral("cmbGroup"));
    groupLabel->setBuddy(m_cmbGroup);
    m_cmbGroup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_lblSummary = new QLabel(this);
    m_lblSummary->setObjectName(QStringLiteral("lblSummary"));
    m_lblSummary->setTextFormat(Qt::PlainText);
    m_lblSummary->setWordWrap(true);

    m_tblCounts = new QTableWidget(Scales::kCount, 6, this);
    m_tblCounts->setObjectName(QStringLiteral("tblCounts"));
    m_tblCounts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblCounts->setTabKeyNavigation(false);
    m_tblCounts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tblCounts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tblCounts->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList columns;
    for (const char* c : kColumns) {
        columns << QString::fromLatin1(c);
    }
    m_tblCounts->setHorizontalHeaderLabels(columns);
    QStringList rows;
    for (int n = 1; n <= Scales::kCount; ++n) {
        rows << QString::fromLatin1(Scales::name(n));
        for (int c = 0; c < 6; ++c) {
            auto* cell = new QTableWidgetItem(QStringLiteral("999.5"));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_tblCounts->setItem(n - 1, c, cell);
        }
    }
    m_tblCounts->setVerticalHeaderLabels(rows);
    m_tblCounts->resizeColumnsToContents();
    m_tblCounts->resizeRowsToContents();
    // The whole table shows without scrolling.
    m_tblCounts->setMinimumSize(
        m_tblCounts->verticalHeader()->sizeHint().width() +
            m_tblCounts->horizontalHeader()->length() + 2 * m_tblCounts->frameWidth() + 2,
        m_tblCounts->horizontalHeader()->sizeHint().height() +
            m_tblCounts->verticalHeader()->length() + 2 * m_tblCounts->frameWidth() + 2);

    m_picChart = new StatisticsChartView(this);

    m_cmdSavePdf = new QPushButton(QStringLiteral("Save as P&DF..."), this);
    m_cmdSavePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    m_cmdSaveCsv = new QPushButton(QStringLiteral("Save as &CSV..."), this);
    m_cmdSaveCsv->setObjectName(QStringLiteral("cmdSaveCsv"));
    m_cmdClose = new QPushButton(QStringLiteral("C&lose"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {m_cmdSavePdf, m_cmdSaveCsv, m_cmdClose}) {
        b->setAutoDefault(false);
    }

    m_msgPanel = makeMsgPanel(this);

    // The table or the chart, one at a time, in the same place.
    auto* showLabel = new QLabel(QStringLiteral("&Show:"), this);
    showLabel->setObjectName(QStringLiteral("lblShow"));
    m_cmbShow = new QComboBox(this);
    m_cmbShow->setObjectName(QStringLiteral("cmbShow"));
    m_cmbShow->addItems({QStringLiteral("Table"), QStringLiteral("Chart")});
    showLabel->setBuddy(m_cmbShow);
    m_figures = new QStackedWidget(this);
    m_figures->setObjectName(QStringLiteral("stkFigures"));
    m_figures->addWidget(m_tblCounts);
    m_figures->addWidget(m_picChart);

    auto* choices = new QGridLayout;
    choices->addWidget(groupLabel, 0, 0);
    choices->addWidget(m_cmbGroup, 0, 1);
    choices->addWidget(showLabel, 1, 0);
    choices->addWidget(m_cmbShow, 1, 1);
    choices->setColumnStretch(2, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(fraFolders, 1);
    left->addWidget(fraDates);
    left->addLayout(choices);
    auto* right = new QVBoxLayout;
    right->addWidget(m_lblSummary);
    right->addWidget(m_figures, 1);
    auto* panes = new QHBoxLayout;
    panes->addLayout(left);
    panes->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdSavePdf);
    buttons->addWidget(m_cmdSaveCsv);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_msgPanel);

    describeControl(m_lstFolders, fraFolders->title(), folderHelp(), m_msgPanel);
    describeControl(m_cmdAddFolder, m_cmdAddFolder->text(),
                    QStringLiteral("Choose another data folder to count."), m_msgPanel);
    describeControl(m_chkSince, QStringLiteral("From test date"),
                    QStringLiteral("Count only tests from this date on."), m_msgPanel);
    describeControl(m_dteSince, QStringLiteral("First test date"),
                    QStringLiteral("The first test date counted (mm/dd/yyyy)."), m_msgPanel);
    describeControl(m_chkUntil, QStringLiteral("To test date"),
                    QStringLiteral("Count only tests up to this date."), m_msgPanel);
    describeControl(m_dteUntil, QStringLiteral("Last test date"),
                    QStringLiteral("The last test date counted (mm/dd/yyyy)."), m_msgPanel);
    describeControl(m_cmbGroup, QStringLiteral("Group"),
                    QStringLiteral("Show all clients, or the clients of one sex or race."),
                    m_msgPanel);
    describeControl(m_cmbShow, QStringLiteral("Show"),
                    QStringLiteral("Show the figures as a table or as a stacked-bar chart."),
                    m_msgPanel);
    describeControl(m_tblCounts, QStringLiteral("Clients by scale and risk range"),
                    QStringLiteral("Clients in each risk range and the median percentile, by "
                                   "scale."),
                    m_msgPanel);
    describeControl(m_cmdSavePdf, m_cmdSavePdf->text(),
                    QStringLiteral("Save the figures and charts of every group as a PDF file."),
                    m_msgPanel);
    describeControl(m_cmdSaveCsv, m_cmdSaveCsv->text(),
                    QStringLiteral("Save the figures of every group as a CSV file."), m_msgPanel);
    describeControl(m_cmdClose, m_cmdClose->text(),
                    QStringLiteral("Close the statistics and return to the main menu."),
                    m_msgPanel);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_lstFolders, m_cmdAddFolder, m_chkSince, m_dteSince, m_chkUntil, m_dteUntil,
             m_cmbGroup, m_cmbShow, m_tblCounts, m_cmdSavePdf, m_cmdSaveCsv, m_cmdClose}) {
        w->installEventFilter(this);
    }
    setTabOrder(m_lstFolders, m_cmdAddFolder);
    setTabOrder(m_cmdAddFolder, m_chkSince);
    setTabOrder(m_chkSince, m_dteSince);
    setTabOrder(m_dteSince, m_chkUntil);
    setTabOrder(m_chkUntil, m_dteUntil);
    setTabOrder(m_dteUntil, m_cmbGroup);
    setTabOrder(m_cmbGroup, m_cmbShow);
    setTabOrder(m_cmbShow, m_tblCounts);
    setTabOrder(m_tblCounts, m_cmdSavePdf);
    setTabOrder(m_cmdSavePdf, m_cmdSaveCsv);
    setTabOrder(m_cmdSaveCsv, m_cmdClose);

    m_pickFile = [](QWidget* owner, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Save the Statistics"), suggested,
                                            filter);
    };
    m_pickFolder = [](QWidget* owner) {
        return QFileDialog::getExistingDirectory(owner, QStringLiteral("An Earlier Data Folder"),
                                                 QDir::homePath());
    };

    try {
        m_inventory = loadInventory(m_state.paths.home);
    } catch (const OrvjError& e) {
        m_inventoryFault = errorText(e);
    }
    addFolder(m_state.paths.dataFolder, true);
    const ConfigFile config(m_state.paths.configFile);
    for (const std::string& name : config.ReadFolders()) {
        addFolder(resolveConfiguredFolder(m_state.paths.home, name), false);
    }

    connect(m_lstFolders, &QListWidget::itemChanged, this, [this] { Recount(); });
    connect(m_cmdAddFolder, &QPushButton::clicked, this, &frmStatistics::chooseFolder);
    connect(m_chkSince, &QCheckBox::toggled, this, [this](bool on) {
        m_dteSince->setEnabled(on);
        Recount();
    });
    connect(m_chkUntil, &QCheckBox::toggled, this, [this](bool on) {
        m_dteUntil->setEnabled(on);
        Recount();
    });
    connect(m_dteSince, &QDateEdit::dateChanged, this, [this] { Recount(); });
    connect(m_dteUntil, &QDateEdit::dateChanged, this, [this] { Recount(); });
    connect(m_cmbGroup, &QComboBox::currentIndexChanged, this, [this] { showGroup(); });
    connect(m_cmbShow, &QComboBox::currentIndexChanged, m_figures,
            &QStackedWidget::setCurrentIndex);
    connect(m_cmdSavePdf, &QPushButton::clicked, this, &frmStatistics::savePdf);
    connect(m_cmdSaveCsv, &QPushButton::clicked, this, &frmStatistics::saveCsv);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    Recount();
    sizeToLayout(this, 10000, 6000);
}

frmStatistics::~frmStatistics() = default;

void frmStatistics::addFolder(const std::filesystem::path& folder, bool checked) {
    if (folder.empty()) {
        return;
    }
    for (int i = 0; i < m_lstFolders->count(); ++i) {
        if (m_lstFolders->item(i)->data(Qt::UserRole).toString() == pathToQString(folder)) {
            return;
        }
    }
    const QString name = pathToQString(folder);
    const QString shown = m_lstFolders->count() == 0 ? name + QStringLiteral(" (current)") : name;
    auto* item = new QListWidgetItem(m_lstFolders->fontMetrics().elidedText(
                                         shown, Qt::ElideMiddle, folderTextWidth(m_lstFolders)),
                                     m_lstFolders);
    item->setToolTip(shown);
    item->setData(Qt::UserRole, name);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void frmStatistics::chooseFolder() {
    const QString folder = m_pickFolder(this);
    if (!folder.isEmpty()) {
        const QSignalBlocker quiet(m_lstFolders);
        addFolder(qStringToPath(folder), true);
        Recount();
    }
}

void frmStatistics::Recount() {
    if (!m_inventory) {
        m_stats.reset();
        m_lblSummary->setText(QStringLiteral("Nothing can be counted: ") + m_inventoryFault);
        showGroup();
        return;
    }
    OfficeStatistics::Filter filter;
    if (m_chkSince->isChecked()) {
        filter.since = keyOf(m_dteSince->date());
    }
    if (m_chkUntil->isChecked()) {
        filter.until = keyOf(m_dteUntil->date());
    }
    const CriticalRule rule = CriticalRule::read(ConfigFile(m_state.paths.configFile));
    auto stats = std::make_unique<OfficeStatistics>(m_inventory->scoring, rule, filter);
    QStringList unread;
    for (int i = 0; i < m_lstFolders->count(); ++i) {
        const QListWidgetItem* item = m_lstFolders->item(i);
        if (item->checkState() != Qt::Checked) {
            continue;
        }
        const std::filesystem::path folder = qStringToPath(item->data(Qt::UserRole).toString());
        if (i == 0) {
            // The current client file as the program holds it.
            stats->addTable(m_state.clients, m_state.paths.clientFile.string());
            continue;
        }
        try {
            const std::filesystem::path file = folder / ClientFile::kFileName;
            std::error_code ec;
            if (!std::filesystem::is_regular_file(file, ec)) {
                throw OrvjError(ErrorCode::FileNotFound, file.string() + ": no client file");
            }
            ClientTable table;
            ClientFile(file).loadReadOnly(table);
            stats->addTable(table, file.string());
        } catch (const OrvjError& e) {
            unread << errorText(e);
        }
    }
    m_stats = std::move(stats);
    const GroupCount& all = m_stats->total();
    QString summary = QStringLiteral("Clients: %1 (complete %2, incomplete %3, invalid %4); "
                                     "critical cases %5")
                          .arg(all.clients)
                          .arg(all.complete)
                          .arg(all.incomplete)
                          .arg(all.invalid)
                          .arg(all.critical);
    if (m_stats->outsideDates() > 0) {
        summary += QStringLiteral("; outside the dates %1").arg(m_stats->outsideDates());
    }
    for (const std::string& note : m_stats->notes()) {
        unread << QString::fromStdString(note);
    }
    if (!unread.isEmpty()) {
        summary += QStringLiteral("\nNot counted: ") + unread.join(QStringLiteral("; "));
    }
    m_lblSummary->setText(summary);

    const QString chosen = m_cmbGroup->currentText();
    {
        const QSignalBlocker quiet(m_cmbGroup);
        m_cmbGroup->clear();
        m_cmbGroup->addItem(QStringLiteral("ALL CLIENTS"), QStringLiteral("all"));
        for (const auto& [code, group] : m_stats->bySex()) {
            m_cmbGroup->addItem(QString::fromStdString(sexGroupName(code)),
                                QStringLiteral("sex:%1").arg(code));
        }
        for (const auto& [code, group] : m_stats->byRace()) {
            m_cmbGroup->addItem(QString::fromStdString(raceGroupName(code)),
                                QStringLiteral("race:%1").arg(code));
        }
        m_cmbGroup->setCurrentIndex(std::max(0, m_cmbGroup->findText(chosen)));
    }
    showGroup();
}

const GroupCount* frmStatistics::chosenGroup() const {
    if (!m_stats) {
        return nullptr;
    }
    const QString key = m_cmbGroup->currentData().toString();
    const int code = key.section(QLatin1Char(':'), 1).toInt();
    const bool sex = key.startsWith(QStringLiteral("sex:"));
    if (!sex && !key.startsWith(QStringLiteral("race:"))) {
        return &m_stats->total();
    }
    const std::map<int, GroupCount>& groups = sex ? m_stats->bySex() : m_stats->byRace();
    const auto it = groups.find(code);
    return it != groups.end() ? &it->second : &m_stats->total();
}

void frmStatistics::showGroup() {
    const GroupCount* group = chosenGroup();
    for (int n = 1; n <= Scales::kCount; ++n) {
        const ScaleCount* s = group ? &group->scales[static_cast<std::size_t>(n)] : nullptr;
        for (int c = 0; c < 6; ++c) {
            QString text;
            if (s != nullptr && c < 4) {
                text = QString::number(s->ranges[static_cast<std::size_t>(c)]);
            } else if (s != nullptr && c == 4) {
                text = QString::number(s->notScored);
            } else if (s != nullptr && s->median()) {
                text = QString::number(*s->median(), 'g', 4);
            }
            m_tblCounts->item(n - 1, c)->setText(text);
        }
    }
    m_picChart->setGroup(group);
    m_cmdSavePdf->setEnabled(m_stats != nullptr);
    m_cmdSaveCsv->setEnabled(m_stats != nullptr);
}

QString frmStatistics::heading() const {
    QStringList folders;
    for (int i = 0; i < m_lstFolders->count(); ++i) {
        if (m_lstFolders->item(i)->checkState() == Qt::Checked) {
            folders << m_lstFolders->item(i)->data(Qt::UserRole).toString();
        }
    }
    QString text = QStringLiteral("ORV-Juvenile office statistics\nFolders: ") +
                   folders.join(QStringLiteral(", "));
    if (m_chkSince->isChecked() || m_chkUntil->isChecked()) {
        text +=
            QStringLiteral("\nTest dates: ") +
            (m_chkSince->isChecked() ? dateText(keyOf(m_dteSince->date()))
                                     : QStringLiteral("any")) +
            QStringLiteral(" to ") +
            (m_chkUntil->isChecked() ? dateText(keyOf(m_dteUntil->date())) : QStringLiteral("any"));
    }
    return text;
}

void frmStatistics::saveCsv() {
    const QString file = m_pickFile(this, inDocuments(QStringLiteral("statistics.csv")),
                                    QStringLiteral("CSV files (*.csv)"));
    if (file.isEmpty() || !m_stats) {
        return;
    }
    try {
        replaceFileContent(qStringToPath(file), statisticsCsv(*m_stats),
                           "The statistics could not be saved");
    } catch (const OrvjError& e) {
        m_services.messages->show(this, appTitle(), errorText(e), MessageService::Icon::Critical);
        return;
    }
    recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                {AuditEvent::CsvExported, "", "statistics"});
}

void frmStatistics::savePdf() {
    const QString file = m_pickFile(this, inDocuments(QStringLiteral("statistics.pdf")),
                                    QStringLiteral("PDF files (*.pdf)"));
    if (!m_stats) {
        return;
    }
    SavePdfDocument(this, *m_services.messages, file,
                    [this] { return statisticsPdf(*m_stats, heading().toStdString()); });
}

bool frmStatistics::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* w = qobject_cast<QWidget*>(watched)) {
            m_msgPanel->setText(w->accessibleDescription());
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvj
