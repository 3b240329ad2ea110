#pragma once

#include "STT/SpeechDecoder.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What the recognizers decode with: the language models on this machine and a way to make
// a decoder. Tests hand recognizers an engine of their own.
struct SpeechEngine {
    QList<SpeechModel> models;
    std::function<std::unique_ptr<SpeechDecoder>()> makeDecoder;

    // pocketsphinx with the models installed on this machine.
    static SpeechEngine installed();

    // The model for a locale identifier ("en-US", "en_US", "EN-us" all name the same one).
    std::optional<SpeechModel> model(const QString& localeID) const;
    QStringList localeIDs() const;
};
