#pragma once

#include <QString>
#include <stdexcept>

namespace quorvel {

// A value in a template that cannot be converted (a font spec, a rectangle,
// a play mode). The operator sees message() as it stands.
class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace quorvel
