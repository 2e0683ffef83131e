#pragma once

#include <QByteArray>
#include <QString>

namespace quorvel {

// Text crosses the edges of the programs (files, the wire) in GB18030, a
// superset of GB2312 and GBK; inside, text is QString.
QByteArray toGb18030(QStringView text);
QString fromGb18030(QByteArrayView bytes);

// The longest prefix of `text` whose GB18030 form fits in `maxBytes`, never
// cutting a character in two.
QString truncateToGb18030Bytes(const QString& text, qsizetype maxBytes);

} // namespace quorvel
