#include "console/shell/consolestartup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    return quorvel::runConsole(application, QCoreApplication::applicationDirPath());
}
