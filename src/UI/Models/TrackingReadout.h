#pragma once

#include "Endpointing/GazeStatus.h"
#include "Persistence/AppLanguage.h"
#include "Persistence/ConversationPhase.h"
#include "UI/Models/TextTint.h"

#include <QString>

#include <cstdint>

// The tracking panel's read-outs: each value's text and colour. Words (the phase, the gaze,
// yes and no, on and off) are in the interface language; figures and units are not.
namespace TrackingReadout {

struct Value {
    QString text;
    TextTint tint;
};

// The microphone level clamped to 0…1 ("0.00"), the share of the bar it fills, and its
// colours: green from 0.05 on, else secondary text and a gray fill.
struct Meter {
    double fraction;
    QString text;
    TextTint textTint;
    TextTint fillTint;
};

Value phase(ConversationPhase phase, AppLanguage language);
Meter micLevel(double level);
Value angle(double radians);  // "+0.12 rad", sign always shown
Value gaze(GazeStatus status, AppLanguage language);
Value transcriptLength(const QString& transcript);  // in user-perceived characters
Value spoke(bool hasStartedSpeaking, AppLanguage language);
Value camera(bool gazeEnabled, AppLanguage language);
Value faceProcessing(double ms);  // "%.1f ms", graded 0/12/25/50
Value memory(std::int64_t residentBytes);  // 1024-based, "123.4 MB"
// "15.0% · 1.2/8 cores": the machine's share, cores' worth in use, cores; graded 10/25/50.
Value cpu(double percent, double percentOfOneCore, int cores);

}  // namespace TrackingReadout
