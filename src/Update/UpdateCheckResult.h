#pragma once

#include "Update/UpdateFeed.h"

#include <QString>

// How one update check ended.
struct UpdateCheckResult {
    enum class Outcome {
        upToDate,  // the feed's release is not newer than the running one
        available,  // a newer release; `release` describes it
        failed,  // no answer, an HTTP error, a malformed feed, or a download that did not verify
    };
    Outcome outcome = Outcome::failed;
    UpdateFeed::Release release;  // for upToDate and available
    QString error;  // for failed
    QString downloadedFile;  // a newer release downloaded and verified; "" when not downloaded
    bool userInitiated = false;  // asked for from the menu or the settings
};
