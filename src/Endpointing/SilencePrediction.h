#pragma once

#include "Endpointing/GazeMachineState.h"

#include <QString>

#include <optional>
#include <span>

// How long to wait in silence before a turn ends, predicted afresh at every speech end
// from the user's own pauses in this turn, the last word, the speaking rate and the gaze.
struct SilencePrediction {
    int initialSilenceMs = 0;  // before any pause was measured
    int minSilenceMs = 0;
    int maxSilenceMs = 0;  // wins when the bounds cross
    std::span<const int> pauseSamplesMs{};
    QString transcript{};  // the whole transcript, untrimmed
    std::optional<double> secondsSinceTurnStart{};  // none before the turn's first onset
    GazeMachineState gaze = GazeMachineState::noFace;
    double gazeConfidence = 0.0;  // of the latest raw estimate

    int predictedMs() const;

    // The last word: split at spaces and line feeds only, punctuation kept; "" if none.
    static QString trailingToken(const QString& transcript);
    // Korean hesitations and connective endings mean more is coming, sentence-final
    // endings that the user is done: +1500, +1200, -400, else 0.
    static int particleBias(const QString& tail);
};
