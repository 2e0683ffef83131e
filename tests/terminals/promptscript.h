#pragma once

#include "console/common/prompts.h"

#include <QList>
#include <QMutex>

namespace quorvel::test {

// Answers every message and input box while it lives, from a queue of
// answers (Ok when the queue is empty), and keeps what was asked.
class PromptScript {
public:
    PromptScript()
    {
        prompts::setResponder([this](const prompts::Request& request) {
            QMutexLocker lock(&m_mutex);
            m_asked.append(request);
            return m_answers.isEmpty() ? prompts::Response{} : m_answers.takeFirst();
        });
    }
    ~PromptScript() { prompts::setResponder({}); }
    PromptScript(const PromptScript&) = delete;
    PromptScript& operator=(const PromptScript&) = delete;

    void answer(prompts::Answer answer, const QString& text = {})
    {
        QMutexLocker lock(&m_mutex);
        m_answers.append({answer, text});
    }
    QList<prompts::Request> asked() const
    {
        QMutexLocker lock(&m_mutex);
        return m_asked;
    }
    QStringList texts() const
    {
        QStringList texts;
        for (const prompts::Request& request : asked())
            texts << request.text;
        return texts;
    }
    void forget()
    {
        QMutexLocker lock(&m_mutex);
        m_asked.clear();
    }

private:
    mutable QMutex m_mutex;
    QList<prompts::Response> m_answers;
    QList<prompts::Request> m_asked;
};

} // namespace quorvel::test
