#pragma once

#include "STT/SpeechDecoder.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What the recognizers decode with: the language models on this machine and a way to make
// a decoder. The composition root hands in the machine's; tests hand in their own.
struct SpeechEngine {
    QList<SpeechModel> models;
    std::function<std::unique_ptr<SpeechDecoder>()> makeDecoder;

    // The model for a locale identifier ("en-US", "en_US", "EN-us" all name the same one).
    std::optional<SpeechModel> model(const QString& localeID) const;
    QStringList localeIDs() const;
};
