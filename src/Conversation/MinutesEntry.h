#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

// One line of the minutes: who said what, and when it was written down.
struct MinutesEntry {
    // The speaker id and label of an utterance that could not be attributed.
    static constexpr int kUnattributedSpeakerID = 0;
    static QString unknownSpeakerLabel();

    // A new entry with a fresh id.
    static MinutesEntry make(QDateTime timestamp, int speakerID, QString speakerLabel, QString text);

    QUuid id;
    QDateTime timestamp;
    int speakerID = kUnattributedSpeakerID;
    QString speakerLabel;  // the only field a rename changes
    QString text;

    friend bool operator==(const MinutesEntry&, const MinutesEntry&) = default;
};

size_t qHash(const MinutesEntry& entry, size_t seed = 0) noexcept;
