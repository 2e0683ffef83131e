#include "console/shell/tsplashform.h"

#include <QGuiApplication>
#include <QScreen>

namespace quorvel {

TSplashForm::TSplashForm()
    : QSplashScreen(QPixmap(QStringLiteral(":/shell/splash.jpg")))
{
    setObjectName(QStringLiteral("SplashForm"));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), pixmap().deviceIndependentSize().toSize());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace quorvel
