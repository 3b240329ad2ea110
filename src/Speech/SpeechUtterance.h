#pragma once

#include "Speech/SpeechVoice.h"

#include <QString>
#include <QtGlobal>

// One text handed to the synthesizer, with the voice that speaks it.
struct SpeechUtterance {
    quint64 id = 0;  // tells the synthesizer's reports about different utterances apart
    QString text;
    SpeechVoice voice;
    double preUtteranceDelay = 0;  // seconds of silence before the speech
    double postUtteranceDelay = 0;  // and after it
};
