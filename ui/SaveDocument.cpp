#include "ui/SaveDocument.h"

#include "scoring/QtReportJobs.h"
#include "store/OrvjError.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"

#include <QDir>
#include <QStandardPaths>

namespace orvj {

QString inDocuments(const QString& name) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents.isEmpty() ? QDir::homePath() : documents).filePath(name);
}

void SavePdfDocument(QWidget* owner, MessageService& messages, QString file,
                     const std::function<std::string()>& make) {
    if (file.isEmpty()) {
        return;
    }
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        file += QStringLiteral(".pdf");
    }
    try {
        const WaitCursor wait;
        QtReportJobs::checkPdfTarget(qStringToPath(file));
        QtReportJobs::writePdfFile(qStringToPath(file), make());
    } catch (const OrvjError& e) {
        messages.show(owner, appTitle(), errorText(e), MessageService::Icon::Critical);
    }
}

} // namespace orvj
