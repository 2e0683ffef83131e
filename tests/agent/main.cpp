#include <QCoreApplication>
#include <gtest/gtest.h>

// Executors are QObjects with timers, and the clock-command and power tests
// start processes: both want an application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
