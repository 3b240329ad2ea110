#include "Persistence/L10n.h"
#include "Common/QtPrinters.h"
#include "Persistence/AppLanguage.h"
#include "Support/FileIO.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

#include <gtest/gtest.h>

namespace {
QByteArray rawTable(AppLanguage language)
{
    return FileIO::readAll(L10n::tablePath(language)).value_or(QByteArray());
}

// Placeholders a translation must keep: %1, %L1, %s, %d, %@, {name}.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression kPattern(QStringLiteral(R"(%L?\d+|%[sd@]|\{[a-z_]+\})"));
    QStringList found;
    for (auto it = kPattern.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

// Width in columns of a monospaced rendering: wide (CJK) characters count two, marks that
// combine with the previous character none.
int columns(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const auto category = QChar::category(c);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format)
            continue;
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF60);
        width += wide ? 2 : 1;
    }
    return width;
}
}  // namespace

// Besides every key once with the same placeholders, the texts speak of this desktop, not
// another; skill examples are quoted utterances joined by slashes; names and addresses stay.
TEST(L10n, EveryTableHasEveryKeyOnceWithTheSamePlaceholdersAndTheHouseRules)
{
    const auto english = L10n::parseTable(rawTable(AppLanguage::english));
    ASSERT_TRUE(english);
    const QSet<QString> keys(english->keyBegin(), english->keyEnd());
    static const QRegularExpression kKeyLine(QStringLiteral(R"re(^\s*"((?:[^"\\]|\\.)*)"\s*:)re"),
                                             QRegularExpression::MultilineOption);
    static const QRegularExpression kExampleShape(QStringLiteral(R"(^"[^"]+"( / "[^"]+")?$)"));
    const QStringList foreign{"Finder", "⌘",    "Option",     "Full Disk Access", "Input Monitoring",
                              "macOS",  "vDSP", "Accelerate", "Réglages",         "Ajustes"};
    static const QRegularExpression kUntranslated(QStringLiteral(R"(\b(ON|OFF)\b)"));
    const QStringList fixed{"app.title", "about.maker_value", "about.support_mail"};
    // What the skills answer and the diagnostics panels show; each table has to say it all.
    const QStringList lookedUp =
        QStringLiteral("speech.calendar.unreachable speech.calendar.bad_time speech.calendar.not_found "
                       "speech.calendar.today_none speech.calendar.today_one speech.calendar.today "
                       "speech.calendar.week_none speech.calendar.week_one speech.calendar.week speech.calendar.cut "
                       "speech.calendar.left_out speech.calendar.left_out.unreadable "
                       "speech.calendar.left_out.not_calendar speech.calendar.left_out.too_large "
                       "speech.calendar.event_time speech.calendar.default_title speech.calendar.end_before_start "
                       "speech.calendar.created speech.calendar.updated speech.calendar.deleted speech.mail.no_address "
                       "speech.mail.no_program speech.mail.opened speech.messages.unreadable speech.messages.failed "
                       "speech.messages.none speech.messages.recent_one speech.messages.recent speech.memory.empty "
                       "speech.memory.failed speech.memory.added speech.alias.added speech.alias.refused "
                       "speech.resources speech.camera_failed diagnostics.timeline_off tracking.fire_dual_state "
                       "tracking.fire_look_away tracking.fire_stt_late tracking.fire_silence_look_away "
                       "tracking.fire_predicted_silence tracking.fire_dwell tracking.fire_none")
            .split(QLatin1Char(' '));
    // Outside quotes a date pattern holds no Latin letters but those of day, month, hour, minute
    // and morning or afternoon: an unquoted word would be read as fields ("at": AM/PM and zone).
    static const QRegularExpression kQuoted(QStringLiteral("'[^']*'"));
    static const QRegularExpression kFieldLetters(QStringLiteral("^[dMHhmAPap]+$"));

    for (AppLanguage language : allCases<AppLanguage>()) {
        SCOPED_TRACE(rawValue(language).toStdString());
        const QByteArray raw = rawTable(language);
        QString error;
        const auto table = L10n::parseTable(raw, &error);
        ASSERT_TRUE(table) << error.toStdString();

        // The parser keeps the last of two equal keys, so duplicates are found in the text.
        QStringList written;
        for (auto it = kKeyLine.globalMatch(QString::fromUtf8(raw)); it.hasNext();)
            written << it.next().captured(1);
        EXPECT_EQ(written.size(), QSet<QString>(written.cbegin(), written.cend()).size()) << "a key is written twice";

        for (const QString& key : lookedUp)
            EXPECT_FALSE(table->value(key).trimmed().isEmpty()) << "no text for " << key.toStdString();
        QString fields = table->value("speech.calendar.event_time").remove(kQuoted);
        fields.removeIf([](QChar c) { return c.unicode() > 0x7f || !c.isLetter(); });
        EXPECT_TRUE(kFieldLetters.match(fields).hasMatch()) << "date pattern letters: " << fields.toStdString();
        EXPECT_TRUE(fields.contains('d') && fields.contains('M') && fields.contains('m'));

        const QSet<QString> present(table->keyBegin(), table->keyEnd());
        EXPECT_EQ(QStringList((keys - present).values()), QStringList()) << "missing";
        EXPECT_EQ(QStringList((present - keys).values()), QStringList()) << "unknown";
        for (auto it = table->cbegin(); it != table->cend(); ++it) {
            SCOPED_TRACE(it.key().toStdString());
            EXPECT_FALSE(it.value().trimmed().isEmpty());
            EXPECT_EQ(placeholders(it.value()), placeholders(english->value(it.key())));
            for (const QString& word : foreign)
                EXPECT_FALSE(it.value().contains(word)) << "mentions " << word.toStdString();
            if (it.key().startsWith(QLatin1String("skill.")) && it.key().endsWith(QLatin1String(".example"))) {
                EXPECT_TRUE(kExampleShape.match(it.value()).hasMatch());
            }
            if (fixed.contains(it.key())) {
                EXPECT_EQ(it.value(), english->value(it.key()));
            }
            // The Korean timeline notice is kept word for word, "OFF" and all.
            if (language != AppLanguage::english &&
                !(language == AppLanguage::korean && it.key() == QLatin1String("diagnostics.timeline_off"))) {
                EXPECT_FALSE(kUntranslated.match(it.value()).hasMatch()) << "English switch word left in";
            }
        }
        // Texts that send people to a control must use its own label: the empty chat and the
        // resting badge name the clock-in button, the skills-off tip the tab the skills are on.
        EXPECT_TRUE(table->value("chat.empty").contains(table->value("btn.start")));
        EXPECT_TRUE(table->value("help.resting").contains(table->value("btn.start")));
        EXPECT_TRUE(table->value("tip.skills_off").contains(table->value("tab.agent")));
        EXPECT_FALSE(table->value("tip.skills_off").contains(table->value("tab.settings")));
        // An empty conversation and a held message name the button that works at that moment:
        // clock in while resting, clock out after a failed start (clock in is off then).
        for (const char* key : {"chat.empty_resting", "composer.resting"})
            EXPECT_TRUE(table->value(key).contains(table->value("btn.start"))) << key;
        EXPECT_TRUE(table->value("chat.empty_failed").contains(table->value("btn.stop")));
        EXPECT_FALSE(table->value("chat.empty_failed").contains(table->value("btn.start")));
        // Outside Korean the wake phrase cannot be heard: the rest is ended by the button, and
        // a switched-off skill is found where the skills are.
        if (language != AppLanguage::korean) {
            EXPECT_TRUE(table->value("speech.rest_confirmation").contains(table->value("btn.start")));
            EXPECT_FALSE(table->value("speech.rest_confirmation").contains(QStringLiteral("당근")));
            EXPECT_TRUE(table->value("speech.skill_off").contains(table->value("tab.agent")));
            EXPECT_TRUE(table->value("speech.skill_off").contains(table->value("settings.section.skills")));
        }
        // The lines the program says or shows on its own are this language's, not English left in.
        if (language != AppLanguage::english) {
            for (auto it = table->cbegin(); it != table->cend(); ++it) {
                const bool message = it.key().startsWith(QLatin1String("error.")) ||
                                     it.key().endsWith(QLatin1String(".summary")) ||
                                     (it.key().startsWith(QLatin1String("speech.")) &&
                                      !it.key().startsWith(QLatin1String("speech.duration_")));
                if (message) {
                    EXPECT_NE(it.value(), english->value(it.key())) << it.key().toStdString();
                }
            }
        }
    }
}

// The assistant's own lines are looked up in the table of its voice's language.
TEST(L10n, ASpeechLocaleSpeaksFromItsLanguagesTable)
{
    const std::pair<const char*, AppLanguage> cases[] = {
        {"ko-KR", AppLanguage::korean},
        {"en-US", AppLanguage::english},
        {"en_GB", AppLanguage::english},
        {"pt-BR", AppLanguage::portuguese},
        {"zh-CN", AppLanguage::chineseSimplified},
        {"zh-Hans-CN", AppLanguage::chineseSimplified},
        {"zh", AppLanguage::chineseSimplified},
        {"zh-TW", AppLanguage::chineseTraditional},
        {"zh-HK", AppLanguage::chineseTraditional},
        {"zh_hant", AppLanguage::chineseTraditional},
        {"zh-Hant-TW", AppLanguage::chineseTraditional},
        {"SV-se", AppLanguage::swedish},
        {"uk-UA", AppLanguage::english},  // no table of its own
        {"", AppLanguage::english},
        {"-", AppLanguage::english},
    };
    for (const auto& [locale, language] : cases)
        EXPECT_EQ(L10n::languageOfLocale(QString::fromLatin1(locale)), language) << locale;
}

// The user tile's button row (label, camera, fire, stop speech) has to fit the window's minimum
// width in every language, so no caption may be much wider than the English one.
TEST(L10n, TheUserTileButtonsStayCloseToTheEnglishWidth)
{
    const QStringList buttons{"btn.camera_on", "btn.camera_off", "btn.fire", "btn.stop_tts"};
    const auto rowWidth = [](const L10n::Table& table) {
        return columns(table.value("tile.you")) +
               std::max(columns(table.value("btn.camera_on")), columns(table.value("btn.camera_off"))) +
               columns(table.value("btn.fire")) + columns(table.value("btn.stop_tts"));
    };
    const L10n::Table& english = L10n::builtInTable(AppLanguage::english);
    for (AppLanguage language : allCases<AppLanguage>()) {
        SCOPED_TRACE(rawValue(language).toStdString());
        const L10n::Table& table = L10n::builtInTable(language);
        for (const QString& key : buttons)
            EXPECT_LE(columns(table.value(key)), 2.25 * columns(english.value(key))) << table.value(key).toStdString();
        EXPECT_LE(rowWidth(table), 1.6 * rowWidth(english));
    }
}

TEST(L10n, LookupFallsBackToEnglishThenToTheKey)
{
    const L10n::Tables tables{
        {"en", {{"a", "A en"}, {"b", "B en"}}},
        {"fr", {{"a", "A fr"}}},
    };
    struct Case {
        const char* key;
        AppLanguage language;
        const char* expected;
    };
    for (const Case& c : {Case{"a", AppLanguage::french, "A fr"}, Case{"b", AppLanguage::french, "B en"},
                          Case{"c", AppLanguage::french, "c"}, Case{"a", AppLanguage::german, "A en"},
                          Case{"", AppLanguage::english, ""}})
        EXPECT_EQ(L10n::lookup(tables, QString::fromLatin1(c.key), c.language), QString::fromUtf8(c.expected)) << c.key;
    EXPECT_EQ(L10n::t("mode.translate", AppLanguage::korean), QStringLiteral("통역"));
}

TEST(L10n, ATableMustBeAnObjectOfTexts)
{
    for (const char* bad : {"[]", "{\"a\": 1}", "{\"a\": null}", "{\"a\": \"x\"", ""}) {
        QString error;
        EXPECT_EQ(L10n::parseTable(bad, &error), std::nullopt) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    EXPECT_EQ(L10n::parseTable("{\"k\": \"v\"}"), (L10n::Table{{"k", "v"}}));
}
