#pragma once

#include <QList>
#include <QString>

// A speaker the speaker classifier tells apart in the minutes.
struct Speaker {
    int id = 0;  // the classifier's own number; minutes use 0 for "no speaker"
    QString label;
    QList<float> embedding;
    int utteranceCount = 0;
    bool isEnrolled = false;

    friend bool operator==(const Speaker&, const Speaker&) = default;
};
