#include "Skills/CalendarCall.h"

#include "Skills/CalendarStore.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcCalendar, "app.parlivox.calendar")

namespace {
constexpr qint64 kLookupToleranceSeconds = 1800;

SkillError storeError(const QString& reason)
{
    return {QStringLiteral("Calendar"), 1, reason};
}
}  // namespace

std::optional<QDateTime> CalendarCall::parseDate(const QString& text, int currentYear)
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

QString CalendarCall::formatEvent(const CalendarEvent& event)
{
    QString line = event.start.toLocalTime().toString(QStringLiteral("M월 d일 HH:mm")) + QStringLiteral(" — ") +
                   shownTitle(event.title);
    if (!event.location.isEmpty())
        line += QStringLiteral(" @ ") + event.location;
    return line;
}

QString CalendarCall::shownTitle(const QString& title)
{
    return title.isEmpty() ? QStringLiteral("(제목 없음)") : title;
}

CalendarCall::CalendarCall(CalendarStore& store, SkillArgs args, QDateTime now)
    : m_store(store), m_args(std::move(args)), m_now(std::move(now))
{
}

void CalendarCall::answer(Skill::Outcome outcome)
{
    Q_ASSERT_X(!m_outcome, "CalendarCall", "a call is answered once");
    m_outcome = std::move(outcome);
}

const Skill::Outcome& CalendarCall::outcome() const
{
    Q_ASSERT_X(m_outcome, "CalendarCall", "every call is answered");
    return *m_outcome;
}

void CalendarCall::unreachable(const QString& reason)
{
    qCWarning(lcCalendar, "calendar store unavailable: %s", qUtf8Printable(reason));
    answer(QStringLiteral("캘린더에 접근할 수 없어요. 데이터 폴더의 calendar 폴더를 읽고 쓸 수 있는지 확인해주세요."));
}

bool CalendarCall::reachable()
{
    QString error;
    if (m_store.reachable(&error))
        return true;
    unreachable(error);
    return false;
}

std::optional<CalendarCall::Dates> CalendarCall::readDates(const QStringList& keys)
{
    Dates dates;
    for (const QString& key : keys) {
        const QString text = m_args.value(key);
        if (text.isEmpty())
            continue;
        const std::optional<QDateTime> date = parseDate(text, m_now.date().year());
        if (!date) {
            answer(QStringLiteral("시간 '%1' 을(를) 이해하지 못해서 캘린더를 바꾸지 않았어요. 예: 2026-05-12T17:00")
                       .arg(text));
            return std::nullopt;
        }
        dates.insert(key, *date);
    }
    return dates;
}

std::optional<CalendarEvent> CalendarCall::targetEvent(const QStringList& dateKeys, const QStringList& timeKeys,
                                                       Dates& dates)
{
    std::optional<Dates> read = readDates(dateKeys);
    if (!read || !reachable())
        return std::nullopt;
    dates = std::move(*read);
    QString error;
    if (const QString id = m_args.value(QStringLiteral("id")); !id.isEmpty()) {
        std::optional<CalendarEvent> byId;
        if (!m_store.find(id, &byId, &error)) {
            unreachable(error);
            return std::nullopt;
        }
        if (byId)
            return byId;
    }
    const auto key =
        std::find_if(timeKeys.begin(), timeKeys.end(), [&](const QString& k) { return dates.contains(k); });
    if (key != timeKeys.end()) {
        const QDateTime target = dates.value(*key);
        const std::optional<CalendarStore::Listing> near = m_store.events(
            target.addSecs(-kLookupToleranceSeconds), target.addSecs(kLookupToleranceSeconds + 1), &error);
        if (!near) {
            unreachable(error);
            return std::nullopt;
        }
        const auto distance = [&](const CalendarEvent& e) { return std::abs(target.secsTo(e.start)); };
        QList<CalendarEvent> candidates;
        std::copy_if(near->events.begin(), near->events.end(), std::back_inserter(candidates),
                     [&](const auto& e) { return distance(e) <= kLookupToleranceSeconds; });
        std::stable_sort(candidates.begin(), candidates.end(),
                         [&](const auto& a, const auto& b) { return distance(a) < distance(b); });
        if (!candidates.isEmpty())
            return candidates.first();
    }
    answer(SkillError::skill(404, QStringLiteral("이벤트를 찾을 수 없어요. 먼저 calendar.list_today 또는 "
                                                 "calendar.list_week 로 일정을 조회한 뒤 id 를 사용하거나, "
                                                 "original_start (기존 시작 시각) 를 지정해 주세요.")));
    return std::nullopt;
}

void CalendarCall::list(const QDateTime& from, const QDateTime& to, const QString& emptySentence, const QString& prefix,
                        qsizetype maxLines)
{
    QString error;
    const std::optional<CalendarStore::Listing> listing = m_store.events(from, to, &error);
    if (!listing) {
        unreachable(error);
        return;
    }
    QStringList lines;
    for (const CalendarEvent& event : listing->events.first(std::min(maxLines, listing->events.size())))
        lines.append(formatEvent(event));
    QString sentence = listing->events.isEmpty() ? emptySentence
                                                 : prefix + QString::number(listing->events.size()) +
                                                       QStringLiteral("건. ") + lines.join(QStringLiteral("; "));
    if (!listing->cut.isEmpty()) {
        QStringList titles;
        for (const QString& title : listing->cut)
            titles.append(title.isEmpty() ? QStringLiteral("(제목 없음)") : title);
        titles.removeDuplicates();
        sentence += QStringLiteral(" (반복이 너무 많아 앞부분만 센 일정: %1)").arg(titles.join(QStringLiteral(", ")));
    }
    answer(sentence);
}

void CalendarCall::save(const CalendarEvent& event, const QString& sentence)
{
    QString error;
    if (m_store.save(event, &error))
        answer(sentence);
    else
        answer(storeError(error));
}

void CalendarCall::remove(const CalendarEvent& event, const QString& sentence)
{
    QString error;
    if (m_store.remove(event.id, &error))
        answer(sentence);
    else
        answer(storeError(error));
}
