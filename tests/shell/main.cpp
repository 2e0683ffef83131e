#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // The frame's logic needs no screen; the same run works with or without
    // an X server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
