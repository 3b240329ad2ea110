#include "Platform/Calendar/IcalSplitter.h"

#include "Common/QtPrinters.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {
struct Split {
    QStringList children;  // "<calendar>:<UID>" of each VEVENT handed over
    int calendars = 0;
    QString damage;  // "<unterminated>/<misnamed>/<too deep>"
    int longLines = 0;
    QStringList texts;
    // Where each VEVENT's bytes are, and whether libical reads them as they are.
    QList<std::pair<qint64, qint64>> places;
    QList<bool> whole;

    bool operator==(const Split& other) const
    {
        return children == other.children && calendars == other.calendars && damage == other.damage &&
               longLines == other.longLines && texts == other.texts && places == other.places && whole == other.whole;
    }
};

// The file fed to a splitter of VEVENTs `chunk` bytes at a time.
Split split(const QByteArray& file, qsizetype chunk)
{
    Split found;
    IcalSplitter splitter(
        {"VEVENT"}, {[](int) {},
                     [&](const IcalSplitter::Child& child) {
                         if (child.name != "VEVENT" || child.text.isEmpty())
                             return;
                         const QRegularExpressionMatch uid =
                             QRegularExpression("UID:([^\n]*)").match(QString::fromUtf8(child.text).remove("\n "));
                         found.children << QStringLiteral("%1:%2").arg(child.calendar).arg(uid.captured(1));
                         found.texts << QString::fromUtf8(child.text);
                         found.places.append({child.begin, child.end});
                         found.whole.append(child.whole);
                     },
                     [](int) {}});
    for (qsizetype at = 0; at < file.size(); at += chunk)
        splitter.add(QByteArrayView(file).sliced(at, std::min(chunk, file.size() - at)));
    splitter.finish();
    found.calendars = splitter.calendars();
    const IcalSplitter::Damage& damage = splitter.damage();
    found.damage = QStringLiteral("%1/%2/%3").arg(damage.unterminated).arg(damage.misnamed).arg(damage.tooDeep);
    found.longLines = splitter.longLines();
    return found;
}

QByteArray event(const char* uid)
{
    return QByteArray("BEGIN:VEVENT\nUID:") + uid + "\nDTSTART:20260105T010000Z\nEND:VEVENT\n";
}

QByteArray calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\nVERSION:2.0\n" + body + "END:VCALENDAR\n";
}

QByteArray nested(int depth, const char* begin, const char* end)
{
    return QByteArray(begin).repeated(depth) + QByteArray(end).repeated(depth);
}
}  // namespace

// Files as exporters and people write them: every child the file holds is handed over however
// its lines end, and a damaged BEGIN or END line costs at most the component it is in. The
// same whatever size the pieces the file is read in.
TEST(IcalSplitter, EveryEventIsHandedOverAndDamageCostsOnlyTheComponentItIsIn)
{
    const QByteArray two = calendar(event("a") + event("b"));
    const QByteArray deep = "BEGIN:VEVENT\nUID:a\n" + nested(20, "BEGIN:X-DEEP\n", "END:X-DEEP\n") + "END:VEVENT\n";
    const struct {
        const char* name;
        QByteArray file;
        QStringList children;
        QString damage = "0/0/0";
        int calendars = 1;
        int longLines = 0;
        // The events whose END lines inside do not match: libical reads them otherwise than
        // their bytes say.
        QStringList repaired = {};
    } cases[] = {
        {"LF", two, {"0:a", "0:b"}},
        {"CRLF", QByteArray(two).replace("\n", "\r\n"), {"0:a", "0:b"}},
        {"CR alone, a line folded", QByteArray(two).replace("UID:a", "UID:\n a").replace("\n", "\r"), {"0:a", "0:b"}},
        {"a byte-order mark, CRLF", "\xEF\xBB\xBF" + QByteArray(two).replace("\n", "\r\n"), {"0:a", "0:b"}},
        {"a byte-order mark, CR alone", "\xEF\xBB\xBF" + QByteArray(two).replace("\n", "\r"), {"0:a", "0:b"}},
        {"names in lower case", two.toLower().replace("uid:", "UID:"), {"0:a", "0:b"}},
        {"no line end at the end", two.chopped(1), {"0:a", "0:b"}},
        {"a folded BEGIN line", calendar("BEGIN:VEV\n ENT\nUID:a\nEND:VEVENT\n" + event("b")), {"0:a", "0:b"}},
        // libical takes a BEGIN or END with parameters, or without a name, for what it says.
        {"BEGIN and END lines with parameters or no name",
         calendar("BEGIN:VEVENT\nUID:a\nBEGIN;X-P=\"a:b\":VALARM\nBEGIN:\nEND;X-Q=1:\nEND:VALARM\nEND:VEVENT\n" +
                  event("b")),
         {"0:a", "0:b"}},
        {"BEGIN and END lines padded past 256 bytes",
         calendar(event("a")
                      .replace("BEGIN:VEVENT", "BEGIN:VEVENT" + QByteArray(300, ' '))
                      .replace("END:VEVENT", "END:VEVENT" + QByteArray(300, ' ')) +
                  event("b")),
         {"0:a", "0:b"}},
        {"cut right after an event's END",
         calendar(event("a") + event("b")).chopped(int(qstrlen("\nEND:VCALENDAR\n"))),
         {"0:a", "0:b"}},
        {"BEGIN and END as mere words",
         calendar(event("a").replace("UID:a", "UID:a\nBEGINNING:x\nEND\nBegin")),
         {"0:a"}},
        {"END:VEVNT",
         calendar(event("a").replace("END:VEVENT", "END:VEVNT") + event("b")),
         {"0:a", "0:b"},
         "0/1/0",
         1,
         0,
         {"0:a"}},
        {"an event ended by END:VTODO",
         calendar(event("a").replace("END:VEVENT", "END:VTODO") + event("b")),
         {"0:a", "0:b"},
         "0/1/0",
         1,
         0,
         {"0:a"}},
        {"BEGIN:VEVNT", calendar(event("a").replace("BEGIN:VEVENT", "BEGIN:VEVNT") + event("b")), {"0:b"}, "0/1/0"},
        {"an END never written before the next event",
         calendar(event("a").replace("END:VEVENT\n", "") + event("b")),
         {"0:b"},
         "1/0/0"},
        {"an alarm without its END",
         calendar("BEGIN:VEVENT\nUID:a\nBEGIN:VALARM\nACTION:DISPLAY\nEND:VEVENT\n" + event("b")),
         {"0:a", "0:b"},
         "0/1/0",
         1,
         0,
         {"0:a"}},
        {"an END of nothing open",
         calendar("END:VALARM\n" + event("a") + "END:VEVENT\n" + event("b")),
         {"0:a", "0:b"},
         "0/2/0"},
        {"cut short in an event", two.left(two.indexOf("UID:b")), {"0:a"}, "1/0/0"},
        {"nested deeper than any calendar", calendar(deep + event("b")), {"0:b"}, "0/0/1"},
        // The quadratic case: each END looked through every open component.
        {"nested deep, then ENDs of components never opened",
         calendar("BEGIN:VEVENT\nUID:a\n" + QByteArray("BEGIN:X-DEEP\n").repeated(20) +
                  QByteArray("END:X-NEVER\n").repeated(25) + event("b")),
         {"0:b"},
         "0/11/1"},
        {"wrapped once", "BEGIN:X-WRAP\n" + calendar(event("x")) + "END:X-WRAP\n", {"0:x"}},
        {"two calendars, the first without its END",
         "BEGIN:VCALENDAR\n" + event("a") + "BEGIN:VCALENDAR\n" + event("b") + "END:VCALENDAR\n",
         {"0:a", "1:b"},
         "0/0/0",
         2},
        {"a calendar begins in an event",
         "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:a\n" + calendar(event("b")),
         {"1:b"},
         "1/0/0",
         2},
        {"an over-long line",
         calendar(event("a").replace("UID:a\n",
                                     "UID:a\nDESCRIPTION:" + QByteArray(IcalSplitter::kMaxLineBytes, 'x') + "\n") +
                  event("b")),
         {"0:a", "0:b"},
         "0/0/0",
         1,
         1},
        {"no calendar", "BEGIN:VCARD\nFN:Kim\nEND:VCARD\n" + event("a"), {}, "0/0/0", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Split whole = split(c.file, c.file.size() + 1);
        EXPECT_EQ(whole.children, c.children);
        EXPECT_EQ(whole.damage, c.damage);
        EXPECT_EQ(whole.calendars, c.calendars);
        EXPECT_EQ(whole.longLines, c.longLines);
        for (const QString& text : whole.texts)
            EXPECT_TRUE(QString(text).remove("\n ").toUpper().startsWith("BEGIN:VEVENT") && text.endsWith('\n') &&
                        !text.contains('\r'))
                << text.toStdString();
        for (const qsizetype chunk : {1, 2, 7})
            EXPECT_TRUE(split(c.file, chunk) == whole) << chunk;
        // An event's bytes are its text as written, their line ends and all, where it is whole.
        for (qsizetype i = 0; i < whole.places.size(); ++i) {
            const auto [begin, end] = whole.places.at(i);
            const QByteArray bytes = c.file.mid(begin, end - begin);
            EXPECT_EQ(whole.whole.at(i), !c.repaired.contains(whole.children.at(i))) << bytes.toStdString();
            if (whole.whole.at(i) && !c.longLines) {
                EXPECT_EQ(QString::fromUtf8(QByteArray(bytes).replace("\r\n", "\n").replace('\r', '\n') +
                                            (bytes.endsWith('\n') || bytes.endsWith('\r') ? "" : "\n")),
                          whole.texts.at(i));
            }
        }
    }
    // A component whose END is missing ends where libical ends it, so it reads the event whole.
    const Split alarm = split(calendar("BEGIN:VEVENT\nUID:a\nBEGIN:VALARM\nACTION:DISPLAY\nEND:VEVENT\n"), 64);
    ASSERT_EQ(alarm.texts.size(), 1);
    EXPECT_TRUE(alarm.texts.first().endsWith("ACTION:DISPLAY\nEND:VALARM\nEND:VEVENT\n"))
        << alarm.texts.first().toStdString();
}
