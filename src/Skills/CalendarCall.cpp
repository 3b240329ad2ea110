#include "Skills/CalendarCall.h"

#include "Skills/CalendarStore.h"

#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcCalendar, "app.parlivox.calendar")

namespace {
constexpr qint64 kLookupToleranceSeconds = 1800;
// The series or files an answer names before it counts the rest: it is read aloud.
constexpr qsizetype kNamesSaid = 3;

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

CalendarCall::CalendarCall(CalendarStore& store, SkillArgs args, QDateTime now, AppLanguage language)
    : m_store(store), m_args(std::move(args)), m_now(std::move(now)), m_language(language)
{
}

QString CalendarCall::text(const char* key) const
{
    return L10n::t(key, m_language);
}

QString CalendarCall::formatEvent(const CalendarEvent& event) const
{
    QString line = L10n::locale(m_language).toString(event.start.toLocalTime(), text("speech.calendar.event_time")) +
                   QStringLiteral(" — ") + shownTitle(event.title);
    if (!event.location.isEmpty())
        line += QStringLiteral(" @ ") + event.location;
    return line;
}

QString CalendarCall::shownTitle(const QString& title) const
{
    return title.isEmpty() ? text("skill.untitled") : title;
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
    answer(text("speech.calendar.unreachable"));
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
        const QString value = m_args.value(key);
        if (value.isEmpty())
            continue;
        const std::optional<QDateTime> date = parseDate(value, m_now.date().year());
        if (!date) {
            answer(text("speech.calendar.bad_time").arg(value));
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
    answer(SkillError::skill(404, text("speech.calendar.not_found")));
    return std::nullopt;
}

void CalendarCall::list(const QDateTime& from, const QDateTime& to, const ListTexts& texts, qsizetype maxLines)
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
    const QString joined = lines.join(QStringLiteral("; "));
    const qsizetype count = listing->events.size();
    QString sentence = count == 0   ? text(texts.none)
                       : count == 1 ? text(texts.one).arg(joined)
                                    : text(texts.several).arg(QString::number(count), joined);
    const auto say = [&](const char* key, const QStringList& names) {
        if (!names.isEmpty())
            sentence += QLatin1Char(' ') + text(key).arg(few(names));
    };
    const auto titlesOf = [&](const QStringList& series) {
        QStringList titles;
        for (const QString& title : series)
            titles.append(shownTitle(title));
        return titles;
    };
    say("speech.calendar.cut", titlesOf(listing->cut));
    say("speech.calendar.unfinished", titlesOf(listing->unfinished));
    QStringList files;
    for (const CalendarStore::LeftOut& file : listing->leftOut)
        files.append(leftOut(file));
    say("speech.calendar.left_out", files);
    say("speech.calendar.unknown_zone", listing->unknownZones);
    answer(sentence);
}

QString CalendarCall::few(QStringList names) const
{
    names.removeDuplicates();
    const QString listed = names.first(std::min(kNamesSaid, names.size())).join(QStringLiteral(", "));
    if (names.size() <= kNamesSaid)
        return listed;
    return text("speech.calendar.and_more").arg(listed, L10n::locale(m_language).toString(names.size() - kNamesSaid));
}

QString CalendarCall::leftOut(const CalendarStore::LeftOut& file) const
{
    switch (file.reason) {
    case CalendarStore::LeftOut::Reason::unreadable:
        return text("speech.calendar.left_out.unreadable").arg(file.file);
    case CalendarStore::LeftOut::Reason::notACalendar:
        return text("speech.calendar.left_out.not_calendar").arg(file.file);
    case CalendarStore::LeftOut::Reason::notRegular:
        return text("speech.calendar.left_out.not_regular").arg(file.file);
    case CalendarStore::LeftOut::Reason::damaged:
        return text("speech.calendar.left_out.damaged").arg(file.file);
    case CalendarStore::LeftOut::Reason::tooLarge:
        break;
    }
    return text("speech.calendar.left_out.too_large").arg(file.file, QString::number(file.largest >> 20));
}

void CalendarCall::add(const CalendarEvent& event, const QString& sentence)
{
    QString error;
    const bool done = m_store.add(event, &error);
    changed(done, error, sentence);
}

void CalendarCall::save(const CalendarEvent& event, const QString& sentence)
{
    QString error;
    const bool done = m_store.save(event, &error);
    changed(done, error, sentence);
}

void CalendarCall::remove(const CalendarEvent& event, const QString& sentence)
{
    QString error;
    const bool done = m_store.remove(event.id, &error);
    changed(done, error, sentence);
}

void CalendarCall::changed(bool done, const QString& error, const QString& sentence)
{
    if (done)
        answer(sentence);
    else
        answer(storeError(error));
}
