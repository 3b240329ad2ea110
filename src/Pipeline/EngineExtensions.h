#pragma once

#include "Pipeline/GazeLoop.h"
#include "Pipeline/MinutesSession.h"
#include "Pipeline/RestWindow.h"

#include <memory>

// The engine's collaborators that add behaviour to a session, each reached only through its
// interface: the rest window and the minutes capture always, the gaze loop only when there is
// a camera.
struct EngineExtensions {
    std::unique_ptr<GazeLoop> gaze;
    std::unique_ptr<MinutesSession> minutes;
    std::unique_ptr<RestWindow> rest;
};
