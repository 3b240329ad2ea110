#include "Pipeline/VoiceAnswer.h"

#include "Support/Text.h"

#include <QSet>
#include <QStringList>

namespace {

constexpr qsizetype kMaxAnswerChars = 12;

const QSet<QString>& approveWords()
{
    static const QSet<QString> kWords{
        QStringLiteral("진행"),   QStringLiteral("진행해"), QStringLiteral("진행해줘"), QStringLiteral("진행하자"),
        QStringLiteral("해"),     QStringLiteral("해줘"),   QStringLiteral("응"),       QStringLiteral("네"),
        QStringLiteral("예"),     QStringLiteral("그래"),   QStringLiteral("맞아"),     QStringLiteral("확인"),
        QStringLiteral("오케이"), QStringLiteral("ok"),     QStringLiteral("okay"),     QStringLiteral("yes"),
        QStringLiteral("yeah"),   QStringLiteral("yep"),    QStringLiteral("go"),       QStringLiteral("sure"),
    };
    return kWords;
}

const QSet<QString>& cancelWords()
{
    static const QSet<QString> kWords{
        QStringLiteral("취소"),   QStringLiteral("취소해"), QStringLiteral("취소해줘"), QStringLiteral("취소하자"),
        QStringLiteral("그만"),   QStringLiteral("그만해"), QStringLiteral("아니"),     QStringLiteral("아니야"),
        QStringLiteral("하지마"), QStringLiteral("관둬"),   QStringLiteral("no"),       QStringLiteral("nope"),
        QStringLiteral("cancel"), QStringLiteral("stop"),   QStringLiteral("abort"),
    };
    return kWords;
}

// Words that turn any answer into something other than a yes.
const QStringList& negationCues()
{
    static const QStringList kCues{
        QStringLiteral("지 마"), QStringLiteral("지마"),  QStringLiteral("안 "),  QStringLiteral("말아"),
        QStringLiteral("취소"),  QStringLiteral("그만"),  QStringLiteral("아니"), QStringLiteral("no"),
        QStringLiteral("not"),   QStringLiteral("don't"), QStringLiteral("stop"),
    };
    return kCues;
}

const QStringList& approvePrefixes()
{
    static const QStringList kPrefixes{QStringLiteral("진행"), QStringLiteral("확인")};
    return kPrefixes;
}

const QSet<QString>& politeEndings()
{
    static const QSet<QString> kEndings{QStringLiteral("해"), QStringLiteral("해요"), QStringLiteral("해줘"),
                                        QStringLiteral("해주세요"), QStringLiteral("할게")};
    return kEndings;
}

const QStringList& cancelPrefixes()
{
    static const QStringList kPrefixes{QStringLiteral("취소"), QStringLiteral("그만")};
    return kPrefixes;
}

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
    return Text::trimmed(text.mid(begin, end - begin)).toLower();
}

bool isApproval(const QString& answer)
{
    for (const QString& cue : negationCues()) {
        if (answer.contains(cue))
            return false;
    }
    if (approveWords().contains(answer))
        return true;
    for (const QString& prefix : approvePrefixes()) {
        if (answer.startsWith(prefix)) {
            const QString ending = Text::trimmed(answer.mid(prefix.size()));
            return ending.isEmpty() || politeEndings().contains(ending);
        }
    }
    return false;
}

bool isCancel(const QString& answer)
{
    return cancelWords().contains(answer) ||
           std::any_of(cancelPrefixes().begin(), cancelPrefixes().end(),
                       [&](const QString& prefix) { return answer.startsWith(prefix); });
}

}  // namespace

namespace VoiceAnswer {

Kind classify(const QString& transcript)
{
    const QString answer = normalized(transcript);
    if (answer.isEmpty() || Text::graphemeCount(answer) > kMaxAnswerChars)
        return Kind::none;
    if (isApproval(answer))
        return Kind::approve;
    if (isCancel(answer))
        return Kind::cancel;
    return Kind::none;
}

}  // namespace VoiceAnswer
