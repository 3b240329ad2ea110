#pragma once

#include "STT/StreamingSpeechRecognizer.h"

#include <QTest>

#include <gtest/gtest.h>

// Starts a recognizer and waits for its answer: nothing, or why it could not start.
inline std::optional<QString> startAndWait(StreamingSpeechRecognizer& recognizer, const QString& locale,
                                           AudioFormat format)
{
    bool finished = false;
    std::optional<QString> result;
    recognizer.start(locale, format, [&](std::optional<QString> error) {
        finished = true;
        result = error;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 10000));
    return result;
}
