#include "STT/TranscriptMerger.h"

#include "Support/Text.h"

#include <QList>

#include <algorithm>

namespace {

struct Word {
    qsizetype begin;
    qsizetype end;
};

QList<Word> words(const QString& text)
{
    QList<Word> result;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        const qsizetype begin = i;
        while (i < text.size() && !text.at(i).isSpace())
            ++i;
        if (i > begin)
            result.append({begin, i});
    }
    return result;
}

bool sameWords(const QString& a, const QList<Word>& aWords, qsizetype aFrom, const QString& b,
               const QList<Word>& bWords, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        const Word& x = aWords[aFrom + i];
        const Word& y = bWords[i];
        if (QStringView(a).mid(x.begin, x.end - x.begin) != QStringView(b).mid(y.begin, y.end - y.begin))
            return false;
    }
    return true;
}

}  // namespace

namespace TranscriptMerger {

QString separator(const QString& localeID)
{
    const QString language = localeID.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
    const bool unspaced =
        language == QLatin1String("ja") || language == QLatin1String("zh") || language == QLatin1String("yue");
    return unspaced ? QString() : QStringLiteral(" ");
}

QString join(const QString& first, const QString& second, const QString& localeID)
{
    const QString a = Text::trimmed(first);
    const QString b = Text::trimmed(second);
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + separator(localeID) + b;
}

QString merge(const QString& accumulated, const QString& segment, const QString& localeID)
{
    const QString a = Text::trimmed(accumulated).normalized(QString::NormalizationForm_C);
    const QString b = Text::trimmed(segment).normalized(QString::NormalizationForm_C);
    if (a.isEmpty() || b.isEmpty() || separator(localeID).isEmpty())
        return join(a, b, localeID);
    const QList<Word> aWords = words(a);
    const QList<Word> bWords = words(b);
    for (qsizetype overlap = std::min(aWords.size(), bWords.size()); overlap > 0; --overlap) {
        if (sameWords(a, aWords, aWords.size() - overlap, b, bWords, overlap))
            return join(a, b.mid(bWords[overlap - 1].end), localeID);
    }
    return join(a, b, localeID);
}

}  // namespace TranscriptMerger
