// Test entry shared by every test program: a Qt application object for event loops and a
// private HOME and XDG directories, so no test can touch the real user's files; no screen needed.
#include "Common/TestEnvironment.h"

#include <QGuiApplication>

#include <gmock/gmock.h>

int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
