#include "console/common/prompts.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QMutex>

namespace quorvel::prompts {
namespace {

QMutex responderMutex;
Responder currentResponder;

std::optional<Response> answerByResponder(const Request& request)
{
    Responder responder;
    {
        QMutexLocker lock(&responderMutex);
        responder = currentResponder;
    }
    if (!responder)
        return std::nullopt;
    return responder(request);
}

} // namespace

void setResponder(Responder responder)
{
    QMutexLocker lock(&responderMutex);
    currentResponder = std::move(responder);
}

void information(QWidget* parent, const QString& title, const QString& text)
{
    if (answerByResponder({Kind::Information, title, text, {}}))
        return;
    QMessageBox::information(parent, title, text);
}

void warning(QWidget* parent, const QString& title, const QString& text)
{
    if (answerByResponder({Kind::Warning, title, text, {}}))
        return;
    QMessageBox::warning(parent, title, text);
}

void error(QWidget* parent, const QString& title, const QString& text)
{
    if (answerByResponder({Kind::Error, title, text, {}}))
        return;
    QMessageBox::critical(parent, title, text);
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    if (auto response = answerByResponder({Kind::YesNo, title, text, {}}))
        return response->answer == Answer::Yes;
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

Answer askYesNoCancel(QWidget* parent, const QString& title, const QString& text)
{
    if (auto response = answerByResponder({Kind::YesNoCancel, title, text, {}}))
        return response->answer;
    switch (QMessageBox::question(parent, title, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                 const QString& initial)
{
    if (auto response = answerByResponder({Kind::Input, title, prompt, initial})) {
        if (response->answer == Answer::Cancel)
            return std::nullopt;
        return response->text;
    }
    bool ok = false;
    QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace quorvel::prompts
