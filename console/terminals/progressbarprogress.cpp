#include "console/terminals/progressbarprogress.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace quorvel {

void ProgressBarProgress::setProgress(int position)
{
    if (m_bar)
        m_bar->setValue(position);
    QCoreApplication::processEvents();
}

} // namespace quorvel
