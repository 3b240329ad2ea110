#include "Skills/CalendarSkill.h"

#include "Skills/CalendarStore.h"
#include "Skills/SkillRegistry.h"
#include "Support/Scheduler.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcCalendar, "app.parlivox.calendar")

namespace {
constexpr qint64 kLookupToleranceSeconds = 1800;
}  // namespace

CalendarSkill::CalendarSkill(const char* id, bool requiresConfirmation, CalendarStore& store, const Scheduler& clock)
    : Skill(QLatin1String(id), SkillRegistry::builtInManifest(QLatin1String(id)), requiresConfirmation), m_store(store),
      m_clock(clock)
{
}

std::optional<QDateTime> CalendarSkill::parseDate(const QString& text, int currentYear)
{
    if (text.isEmpty())
        return std::nullopt;
    // Qt's ISO reading covers the internet date-time (fraction and zone optional), a blank
    // instead of "T" and a bare date; without a zone it is local time.
    QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    // The forms without a year get the current one before parsing, so 29 February can exist.
    const QString year = QString::number(currentYear);
    if (!date.isValid())
        date = QDateTime::fromString(year + QLatin1Char('/') + text, QStringLiteral("yyyy/M/d H:mm"));
    if (!date.isValid())
        date = QDateTime::fromString(year + QStringLiteral("년 ") + text, QStringLiteral("yyyy년 M월 d일 H:mm"));
    if (!date.isValid())
        return std::nullopt;
    return date.toLocalTime();
}

QString CalendarSkill::formatEvent(const CalendarEvent& event)
{
    QString line = event.start.toLocalTime().toString(QStringLiteral("M월 d일 HH:mm")) + QStringLiteral(" — ") +
                   (event.title.isEmpty() ? QStringLiteral("(제목 없음)") : event.title);
    if (!event.location.isEmpty())
        line += QStringLiteral(" @ ") + event.location;
    return line;
}

QDateTime CalendarSkill::now() const
{
    return m_clock.wallNow().toLocalTime();
}

std::optional<CalendarSkill::Dates> CalendarSkill::readDates(const SkillArgs& args, const QStringList& keys,
                                                             const Completion& done) const
{
    Dates dates;
    for (const QString& key : keys) {
        const QString text = args.value(key);
        if (text.isEmpty())
            continue;
        const auto date = parseDate(text, now().date().year());
        if (!date) {
            done(QStringLiteral("시간 '%1' 을(를) 이해하지 못해서 캘린더를 바꾸지 않았어요. 예: 2026-05-12T17:00")
                     .arg(text));
            return std::nullopt;
        }
        dates.insert(key, *date);
    }
    return dates;
}

std::optional<QList<CalendarEvent>> CalendarSkill::loadEvents(const Completion& done) const
{
    QString error;
    auto events = m_store.events(&error);
    if (!events) {
        qCWarning(lcCalendar, "calendar store unavailable: %s", qUtf8Printable(error));
        done(
            QStringLiteral("캘린더에 접근할 수 없어요. 데이터 폴더의 calendar 폴더를 읽고 쓸 수 있는지 확인해주세요."));
    }
    return events;
}

std::optional<CalendarEvent> CalendarSkill::targetEvent(const SkillArgs& args, const QStringList& dateKeys,
                                                        const QStringList& timeKeys, Dates& dates,
                                                        const Completion& done) const
{
    std::optional<Dates> read = readDates(args, dateKeys, done);
    if (!read)
        return std::nullopt;
    dates = std::move(*read);
    const auto events = loadEvents(done);
    if (!events)
        return std::nullopt;
    const QString id = args.value(QStringLiteral("id"));
    if (!id.isEmpty()) {
        const auto byId = std::find_if(events->begin(), events->end(), [&](const auto& e) { return e.id == id; });
        if (byId != events->end())
            return *byId;
    }
    const auto key =
        std::find_if(timeKeys.begin(), timeKeys.end(), [&](const QString& k) { return dates.contains(k); });
    if (key != timeKeys.end()) {
        const QDateTime target = dates.value(*key);
        const auto distance = [&](const CalendarEvent& e) { return std::abs(target.secsTo(e.start)); };
        QList<CalendarEvent> near;
        std::copy_if(events->begin(), events->end(), std::back_inserter(near),
                     [&](const auto& e) { return distance(e) <= kLookupToleranceSeconds; });
        std::stable_sort(near.begin(), near.end(),
                         [&](const auto& a, const auto& b) { return distance(a) < distance(b); });
        if (!near.isEmpty())
            return near.first();
    }
    done(SkillError::skill(404, QStringLiteral("이벤트를 찾을 수 없어요. 먼저 calendar.list_today 또는 "
                                               "calendar.list_week 로 일정을 조회한 뒤 id 를 사용하거나, "
                                               "original_start (기존 시작 시각) 를 지정해 주세요.")));
    return std::nullopt;
}

void CalendarSkill::listEvents(const QDateTime& from, const QDateTime& to, const QString& emptySentence,
                               const QString& prefix, qsizetype maxLines, const Completion& done) const
{
    const auto events = loadEvents(done);
    if (!events)
        return;
    QStringList lines;
    qsizetype count = 0;
    for (const CalendarEvent& event : *events) {
        // Overlapping the window; an event of no length counts when it starts inside it.
        if (event.start >= to || (event.end <= from && event.start < from))
            continue;
        if (count++ < maxLines)
            lines.append(formatEvent(event));
    }
    if (count == 0)
        done(emptySentence);
    else
        done(prefix + QString::number(count) + QStringLiteral("건. ") + lines.join(QStringLiteral("; ")));
}

void CalendarSkill::save(const CalendarEvent& event, const QString& sentence, const Completion& done) const
{
    QString error;
    if (m_store.save(event, &error))
        done(sentence);
    else
        done(storeError(error));
}

SkillError CalendarSkill::storeError(const QString& reason)
{
    return {QStringLiteral("Calendar"), 1, reason};
}
