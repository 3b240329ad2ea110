#pragma once

#include "Common/TestEnvironment.h"

#include <gmock/gmock.h>

// Runs every test of the program inside one Qt application object of the given kind, with a
// private HOME and XDG directories (no test can touch the real user's files) and, unless the
// caller chose a platform, the offscreen one, so no screen is needed.
template <typename Application>
int runAllTests(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
