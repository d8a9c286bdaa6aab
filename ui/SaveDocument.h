#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace orvj {

class MessageService;

// `name` in the user's documents folder (the home folder where there is none): the file a
// save dialog offers first.
QString inDocuments(const QString& name);

// Writes the PDF document `make` gives under `file` (".pdf" added when missing), replacing
// only a PDF or an empty file; a fault is shown in a message box. Nothing for an empty `file`
// (the dialog was cancelled).
void SavePdfDocument(QWidget* owner, MessageService& messages, QString file,
                     const std::function<std::string()>& make);

} // namespace orvj
