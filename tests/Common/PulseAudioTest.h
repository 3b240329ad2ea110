#pragma once

#include "Common/PulseAudioServer.h"

#include <gtest/gtest.h>

// Fixture for tests that run real audio through PulseAudio: every test of it shares the
// process-wide private server and is skipped, saying why, when that server cannot start.
class PulseAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pulse().isRunning())
            GTEST_SKIP() << "needs a private PulseAudio server, which cannot start here: "
                         << pulse().error().toStdString();
    }

    static PulseAudioServer& pulse() { return PulseAudioServer::shared(); }
};
