#pragma once

#include "Pipeline/GazeLoop.h"
#include "Pipeline/MinutesSession.h"
#include "Pipeline/RestWindow.h"

#include <memory>

// The engine's collaborators that add behaviour to a session; the engine works without any
// of them, and each, once made, is reached only through its interface.
struct EngineExtensions {
    std::unique_ptr<GazeLoop> gaze;
    std::unique_ptr<MinutesSession> minutes;
    std::unique_ptr<RestWindow> rest;
};
