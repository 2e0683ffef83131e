#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// Every message box and input box of the console goes through here, so that
// tests can answer them without a person.
namespace quorvel::prompts {

enum class Kind { Information, Warning, Error, YesNo, YesNoCancel, Input };
enum class Answer { Ok, Cancel, Yes, No };

struct Request {
    Kind kind = Kind::Information;
    QString title;
    QString text;    // the message, or the prompt of an input box
    QString initial; // input boxes: the text the box starts with
};

struct Response {
    Answer answer = Answer::Ok;
    QString text; // input boxes: the text entered
};

using Responder = std::function<Response(const Request&)>;

// With a responder installed, nothing is shown: the responder answers every
// request. An empty responder brings the real dialogs back.
void setResponder(Responder responder);

void information(QWidget* parent, const QString& title, const QString& text);
void warning(QWidget* parent, const QString& title, const QString& text);
void error(QWidget* parent, const QString& title, const QString& text);
// true on Yes.
bool askYesNo(QWidget* parent, const QString& title, const QString& text);
Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& text);
// std::nullopt on Cancel.
std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                 const QString& initial = {});

} // namespace quorvel::prompts
