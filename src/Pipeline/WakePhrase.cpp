#include "Pipeline/WakePhrase.h"

#include "Support/Text.h"

#include <QStringList>
#include <QTextBoundaryFinder>

namespace {

const QString kWakeWord = QStringLiteral("당근");
const QStringList kWakeVerbs{QStringLiteral("일어나"), QStringLiteral("깨"),   QStringLiteral("시작"),
                             QStringLiteral("출근"),   QStringLiteral("돌아"), QStringLiteral("복귀"),
                             QStringLiteral("끝났")};

}  // namespace

bool WakePhrase::isWakeWord(const QString& text)
{
    const QString heard = text.normalized(QString::NormalizationForm_C).toLower();
    const qsizetype first = heard.indexOf(kWakeWord);
    if (first < 0)
        return false;
    if (heard.indexOf(kWakeWord, first + kWakeWord.size()) >= 0)
        return true;
    for (const QString& verb : kWakeVerbs)
        if (heard.contains(verb))
            return true;
    return false;
}

QString WakePhrase::recentPart(const QString& transcript)
{
    const qsizetype count = Text::graphemeCount(transcript);
    if (count <= kHeardChars)
        return transcript;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, transcript);
    boundaries.toEnd();
    for (qsizetype i = 0; i < kHeardChars; ++i)
        boundaries.toPreviousBoundary();
    return transcript.mid(boundaries.position());
}
