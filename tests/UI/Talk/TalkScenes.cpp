#include "UI/Talk/TalkScenes.h"

#include "Pipeline/MinutesStore.h"
#include "UI/UiTestContext.h"

namespace TalkScenes {

namespace {
class ExampleSkill final : public Skill {
public:
    explicit ExampleSkill(const char* id) : Skill(QLatin1String(id), QString()) {}
    QString summary(const SkillArgs&, AppLanguage) const override { return {}; }
    void run(const SkillArgs&, AppLanguage, Completion done) override { done(QString()); }
};
}  // namespace

const SkillRegistry& skills()
{
    static const SkillRegistry registry = [] {
        SkillRegistry made;
        for (const char* id : {"system.rest", "calendar.list_today", "memory.add"})
            made.add(std::make_shared<ExampleSkill>(id));
        return made;
    }();
    return registry;
}

CameraFrame portrait()
{
    CameraFrame frame;
    frame.pixels = QImage(QStringLiteral("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg"))
                       .convertToFormat(QImage::Format_ARGB32);
    return frame;
}

QList<ConversationTurn> turns(int count, int firstNumber)
{
    const QDateTime start(QDate(2026, 1, 5), QTime(9, 0));
    QList<ConversationTurn> result;
    for (int i = 0; i < count; ++i) {
        const int number = firstNumber + i;
        const bool user = number % 2 == 1;
        const QString text = user ? QStringLiteral("Question %1: what is on my calendar today?").arg(number)
                                  : QStringLiteral("Answer %1: you have a <b>stand-up</b> at 10:00 and lunch with "
                                                   "Mina at 12:30.")
                                        .arg(number);
        result << ConversationTurn::make(user ? ConversationTurn::Role::user : ConversationTurn::Role::assistant, text,
                                         start.addSecs(number * 30));
    }
    return result;
}

void busy(UiTestContext& ui)
{
    ui.engine.setEnabled(true);
    ui.engine.setPhase(ConversationPhase::listening);
    ui.engine.setLastTurns(turns(4));
    ui.engine.setLiveTranscript(QStringLiteral("Remind me to call Mina about the slides"));
    ui.engine.setPendingSkill(
        PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail the notes to Mina"), {}));
    ui.engine.setErrorMessage(QStringLiteral("Speech recognizer unavailable for locale ko-KR (installed: en-US)"));
}

void fillMinutes(UiTestContext& ui)
{
    ui.engine.setCurrentRecordingURL(
        QUrl::fromLocalFile(QStringLiteral("/tmp/recordings/meeting-20260105-090000-weekly-planning.caf")));
    ui.minutes.setKnownSpeakers(
        {{1, QStringLiteral("Speaker 1"), {}, 3, false}, {2, QStringLiteral("Mina"), {}, 1, true}});
    const QDateTime start(QDate(2026, 1, 5), QTime(9, 0, 5));
    ui.minutes.appendEntry(MinutesEntry::make(start, 1, QStringLiteral("Speaker 1"),
                                              QStringLiteral("Let's start with the release plan.")));
    ui.minutes.appendEntry(MinutesEntry::make(start.addSecs(12), 2, QStringLiteral("Mina"),
                                              QStringLiteral("The beta goes out on Friday; <i>translations</i> are "
                                                             "still open for Korean and German.")));
    ui.minutes.appendEntry(MinutesEntry::make(start.addSecs(31), 1, QStringLiteral("Speaker 1"),
                                              QStringLiteral("회의록은 금요일까지 공유하겠습니다.")));
    ui.minutes.appendEntry(
        MinutesEntry::make(start.addSecs(40), 0, MinutesEntry::unknownSpeakerLabel(), QStringLiteral("Sounds good.")));
}

}  // namespace TalkScenes
