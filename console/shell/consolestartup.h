#pragma once

#include <QString>

class QApplication;

namespace quorvel {

// The console from its splash to the end of its main window: reads the
// settings beside `programDir`, shows the frame with the terminal list and
// runs the event loop. Returns the program's exit code.
int runConsole(QApplication& application, const QString& programDir);

} // namespace quorvel
