#pragma once

#include <QString>

#include <exception>
#include <string_view>

class QWidget;

namespace orvj {

// The caption of message boxes that carry the application's title.
inline QString appTitle() {
    return QStringLiteral("ORV-Juvenile");
}

// The text a message box shows for a fault: the error's message, which names the file and
// what was wrong. Every form turns errors into text here.
inline QString errorText(std::string_view message) {
    return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
}
inline QString errorText(const std::exception& e) {
    return errorText(std::string_view(e.what()));
}

// Message boxes and the beep, behind an interface so tests can assert the exact titles and
// texts and answer without a modal loop.
class MessageService {
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    // YesNo has Yes as its default button (the one Enter presses), YesNoDefaultNo has No: the
    // box of an operation that cannot be undone.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~MessageService() = default;
    virtual Answer show(QWidget* parent, const QString& title, const QString& text, Icon icon,
                        Buttons buttons = Buttons::Ok) = 0;
    virtual void beep() = 0;
};

class QtMessageService : public MessageService {
public:
    Answer show(QWidget* parent, const QString& title, const QString& text, Icon icon,
                Buttons buttons) override;
    void beep() override;
};

} // namespace orvj
