#pragma once

#include <QSplashScreen>

namespace quorvel {

// The 475 x 300 picture shown, without border or caption, while the console
// starts.
class TSplashForm : public QSplashScreen {
    Q_OBJECT
public:
    TSplashForm();
};

} // namespace quorvel
