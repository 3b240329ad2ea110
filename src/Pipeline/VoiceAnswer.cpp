#include "Pipeline/VoiceAnswer.h"

#include "Support/Text.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

constexpr qsizetype kMaxAnswerChars = 12;

const QSet<QString> kApproveWords{
    QStringLiteral("진행"),   QStringLiteral("진행해"), QStringLiteral("진행해줘"), QStringLiteral("진행하자"),
    QStringLiteral("해"),     QStringLiteral("해줘"),   QStringLiteral("응"),       QStringLiteral("네"),
    QStringLiteral("예"),     QStringLiteral("그래"),   QStringLiteral("맞아"),     QStringLiteral("확인"),
    QStringLiteral("오케이"), QStringLiteral("ok"),     QStringLiteral("okay"),     QStringLiteral("yes"),
    QStringLiteral("yeah"),   QStringLiteral("yep"),    QStringLiteral("go"),       QStringLiteral("sure"),
};

const QSet<QString> kCancelWords{
    QStringLiteral("취소"),   QStringLiteral("취소해"), QStringLiteral("취소해줘"), QStringLiteral("취소하자"),
    QStringLiteral("그만"),   QStringLiteral("그만해"), QStringLiteral("아니"),     QStringLiteral("아니야"),
    QStringLiteral("하지마"), QStringLiteral("관둬"),   QStringLiteral("no"),       QStringLiteral("nope"),
    QStringLiteral("cancel"), QStringLiteral("stop"),   QStringLiteral("abort"),
};

const QStringList kApprovePrefixes{QStringLiteral("진행"), QStringLiteral("확인")};
const QStringList kCancelPrefixes{QStringLiteral("취소"), QStringLiteral("그만")};

// Korean negations, found anywhere: "-지 마", "-지 말고", "안 ...", "-지 않다", "못 ...", "싫다",
// and the cancel words themselves. No approve word holds one.
const QStringList kKoreanNegations{
    QStringLiteral("지마"), QStringLiteral("지 마"), QStringLiteral("말아"), QStringLiteral("말고"),
    QStringLiteral("말자"), QStringLiteral("안"),    QStringLiteral("않"),   QStringLiteral("못"),
    QStringLiteral("싫"),   QStringLiteral("아니"),  QStringLiteral("취소"), QStringLiteral("그만"),
};
// English negations, found as whole words.
const QSet<QString> kEnglishNegations{
    QStringLiteral("no"),    QStringLiteral("not"),    QStringLiteral("don't"), QStringLiteral("dont"),
    QStringLiteral("never"), QStringLiteral("cancel"), QStringLiteral("stop"),  QStringLiteral("wait"),
};

QString normalized(const QString& transcript)
{
    static const QString kEndMarks = QStringLiteral(".!?。！？…");
    QString text = Text::trimmed(transcript);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && kEndMarks.contains(text.at(begin)))
        ++begin;
    while (end > begin && kEndMarks.contains(text.at(end - 1)))
        --end;
    return Text::trimmed(text.mid(begin, end - begin)).toLower().replace(QChar(0x2019), QLatin1Char('\''));
}

bool holdsNegation(const QString& answer)
{
    if (std::any_of(kKoreanNegations.begin(), kKoreanNegations.end(),
                    [&](const QString& cue) { return answer.contains(cue); }))
        return true;
    static const QRegularExpression kWords(QStringLiteral("[a-z']+"));
    for (auto words = kWords.globalMatch(answer); words.hasNext();)
        if (kEnglishNegations.contains(words.next().captured()))
            return true;
    return false;
}

bool startsWithAny(const QString& answer, const QStringList& prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const QString& prefix) { return answer.startsWith(prefix); });
}

}  // namespace

namespace VoiceAnswer {

Kind classify(const QString& transcript)
{
    const QString answer = normalized(transcript);
    if (answer.isEmpty() || Text::graphemeCount(answer) > kMaxAnswerChars)
        return Kind::none;
    if ((kApproveWords.contains(answer) || startsWithAny(answer, kApprovePrefixes)) && !holdsNegation(answer))
        return Kind::approve;
    if (kCancelWords.contains(answer) || startsWithAny(answer, kCancelPrefixes))
        return Kind::cancel;
    return Kind::none;
}

}  // namespace VoiceAnswer
