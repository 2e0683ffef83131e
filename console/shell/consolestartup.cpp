#include "console/shell/consolestartup.h"

#include "console/common/consolesettings.h"
#include "console/shell/tmainform.h"
#include "console/shell/tsplashform.h"
#include "console/terminals/powertasks.h"
#include "console/terminals/ttermsform.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>

namespace quorvel {

int runConsole(QApplication& application, const QString& programDir)
{
    auto splash = std::make_unique<TSplashForm>();
    splash->show();
    application.processEvents();

    const ConsoleSettings settings = ConsoleSettings::load(programDir);
    // Lives until after the main window and its terminal list are gone: the
    // list's monitor runs the tasks until its last pass.
    PowerTaskList powerTasks;

    // The splash stays a second, painting and answering the window system
    // meanwhile.
    QEventLoop pause;
    QTimer::singleShot(1000, &pause, &QEventLoop::quit);
    pause.exec();
    splash.reset();

    int exitCode = 0;
    {
        TMainForm mainForm(settings.programDir);
        mainForm.showMaximized();
        mainForm.addChild(new TTermsForm(settings, powerTasks, &mainForm));
        exitCode = application.exec();
    }
    powerTasks.clear();
    return exitCode;
}

} // namespace quorvel
