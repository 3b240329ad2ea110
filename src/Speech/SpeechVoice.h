#pragma once

#include "Speech/VoiceGender.h"

#include <QString>

// One installed synthesizer voice.
struct SpeechVoice {
    QString identifier;  // stable across runs; what the voice setting stores
    QString name;  // for people
    QString language;  // BCP-47 style tag: "ko", "en-US", "zh-CN"
    VoiceGender gender = VoiceGender::unspecified;

    bool operator==(const SpeechVoice&) const = default;
};
