#include "Speech/SpeechDiag.h"

SpeechDiag SpeechDiag::queued(int chars, const QString& voice, double watchdog)
{
    return {Kind::queued, chars, voice, watchdog, 0, {}};
}

SpeechDiag SpeechDiag::started(int chars, const QString& voice)
{
    return {Kind::started, chars, voice, 0, 0, {}};
}

SpeechDiag SpeechDiag::finished(int chars, int elapsedMs)
{
    return {Kind::finished, chars, {}, 0, elapsedMs, {}};
}

SpeechDiag SpeechDiag::cancelled(int chars, int elapsedMs)
{
    return {Kind::cancelled, chars, {}, 0, elapsedMs, {}};
}

SpeechDiag SpeechDiag::aborted(const QString& reason, int chars)
{
    return {Kind::aborted, chars, {}, 0, 0, reason};
}

QString SpeechDiag::summary() const
{
    switch (kind) {
    case Kind::queued:
        // Texts from outside (voice names, reasons) go in with one multi-argument pass, so a
        // "%1" inside them is never substituted again.
        return QStringLiteral("queued %1 chars · voice=%2 · watchdog=%3s")
            .arg(QString::number(chars), voice, QString::number(static_cast<long long>(watchdog)));
    case Kind::started:
        return QStringLiteral("started %1 chars · voice=%2").arg(QString::number(chars), voice);
    case Kind::finished:
        return QStringLiteral("finished %1 chars in %2 ms").arg(chars).arg(elapsedMs);
    case Kind::cancelled:
        return QStringLiteral("cancelled %1 chars after %2 ms").arg(chars).arg(elapsedMs);
    case Kind::aborted:
        return QStringLiteral("aborted (%1) for %2 chars").arg(reason, QString::number(chars));
    }
    return {};
}
