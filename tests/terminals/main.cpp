#include <QCoreApplication>
#include <gtest/gtest.h>

// The agent's executors are QObjects with timers: they want an application
// object, as does QProcess for the command-line client.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
