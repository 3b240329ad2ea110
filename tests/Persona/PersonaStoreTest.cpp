#include "Persona/PersonaStore.h"

#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Skills/SkillRegistry.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {
const QString kPlaceholder = QStringLiteral("- (아직 학습된 정보가 없음)");
const QDateTime kMorning(QDate(2025, 5, 12), QTime(9, 30));

QString golden(const char* name)
{
    const auto bytes = FileIO::readAll(QStringLiteral(QT_TESTCASE_SOURCEDIR "/Persona/golden/") + QLatin1String(name));
    EXPECT_TRUE(bytes) << name;
    return QString::fromUtf8(bytes.value_or(QByteArray()));
}

QByteArray fileBytes(const QString& path)
{
    return FileIO::readAll(path).value_or(QByteArray("<missing>"));
}

void put(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(PersonaStore::directory()));
    ASSERT_TRUE(FileIO::writeAtomically(path, bytes));
}

SystemPromptRequest request(AppMode mode, const char* locale, const char* personaID = "")
{
    // With no skills registered: the tool section says there are none.
    return {QStringLiteral("민지"),
            QString::fromLatin1(locale),
            SkillRegistry().toolsManifest({}),
            mode,
            QString::fromLatin1(personaID),
            {}};
}
}  // namespace

TEST(PersonaStore, LanguageCodeOfALocale)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ko-KR", "ko"},
        {"en_US", "en"},
        {"zh-Hans-CN", "zh"},
        {"zh-Hant-TW", "zh-Hant"},
        {"zh_Hant_HK", "zh-Hant"},
        {"", "en"},
        {"--ja--JP", "ja"},
        // A hand-edited locale must not lead outside the persona folder.
        {"a/../x", "en"},
        {"../../etc/passwd", "en"},
        {"toolonglanguage-X", "en"},
    };
    for (const auto& [locale, code] : cases)
        EXPECT_EQ(PersonaStore::languageCode(QString::fromUtf8(locale)), QString::fromUtf8(code)) << locale;
    EXPECT_EQ(PersonaStore::soulPath(QStringLiteral("../../x")),
              PersonaStore::directory() + QStringLiteral("/soul.en.md"));
}

TEST(PersonaStore, InterpreterLanguageNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ko-KR", "Korean"},
        {"KO-kr", "Korean"},
        {"zh-Hant-TW", "Chinese"},
        {"ca-ES", "Catalan (Spain)"},
        {"en_US", "English (United States)"},
        {"xx-YY", "the user's language"},
    };
    for (const auto& [locale, name] : cases)
        EXPECT_EQ(PersonaStore::translateLanguageName(QString::fromUtf8(locale)), QString::fromUtf8(name)) << locale;
}

TEST(PersonaStore, PromptOfEachModeMatchesItsGoldenText)
{
    ScopedDataRoot root;
    auto english = request(AppMode::brainstorm, "en-US", "a1b2c3d4-brain-default");
    english.name = QStringLiteral("Minji");

    EXPECT_EQ(PersonaStore::systemPrompt(request(AppMode::conversation, "ko-KR", "a1b2c3d4-conv-default")),
              golden("ko-conversation.txt"));
    EXPECT_EQ(PersonaStore::systemPrompt(request(AppMode::counseling, "ko-KR", "a1b2c3d4-coun-default")),
              golden("ko-counseling.txt"));
    EXPECT_EQ(PersonaStore::systemPrompt(english), golden("en-brainstorm.txt")) << "no persona block outside Korean";
    // Minutes has no overlay of its own: the same prompt as a conversation with that persona.
    EXPECT_EQ(PersonaStore::systemPrompt(request(AppMode::minutes, "ko-KR", "a1b2c3d4-conv-default")),
              golden("ko-conversation.txt"));
    EXPECT_EQ(PersonaStore::systemPrompt(request(AppMode::conversation, "ko-KR", "no-such-persona")),
              PersonaStore::systemPrompt(request(AppMode::conversation, "ko-KR")));
    EXPECT_EQ(fileBytes(PersonaStore::soulPath("en")), PersonaStore::defaultSoul("en").toUtf8());
    EXPECT_EQ(fileBytes(PersonaStore::memoryPath()).size(), 271);
}

TEST(PersonaStore, TranslatePromptIsTheInterpreterInstructionAlone)
{
    ScopedDataRoot root;
    auto translate = request(AppMode::translate, "ko-KR");
    translate.translateTargetLocale = QStringLiteral("ja-JP");
    const QString expected = QStringLiteral(
        "You are a real-time interpreter. The user speaks in Korean. Translate their words into Japanese and reply "
        "with ONLY the translation — no greeting, no quotation marks, no commentary, no \"Translation:\" prefix, no "
        "romanization. If the user already speaks in Japanese, repeat their sentence verbatim. Keep punctuation and "
        "tone faithful to the original. One sentence in, one sentence out, suitable for spoken text-to-speech output.");
    EXPECT_EQ(PersonaStore::systemPrompt(translate), expected);

    translate.translateTargetLocale.clear();
    EXPECT_TRUE(PersonaStore::systemPrompt(translate).contains(QStringLiteral("into English and reply")));
    EXPECT_FALSE(QDir(PersonaStore::directory()).exists()) << "no persona file is read or made";
}

TEST(PersonaStore, EachLanguageGetsItsOwnFilesWithTheMatchingDefaults)
{
    ScopedDataRoot root;
    struct Case {
        const char* locale;
        const char* fileCode;
        const char* defaultsOf;
        const char* nameLineStart;
    };
    const Case cases[] = {
        {"fr-FR", "fr", "en", "Your name is 민지."},
        {"zh-Hant-HK", "zh-Hant", "zh", "Your name is 민지."},
        {"ko_KR", "ko", "ko", "당신의 이름은 민지 입니다."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        const QString prompt = PersonaStore::systemPrompt(request(AppMode::conversation, c.locale));
        EXPECT_TRUE(prompt.startsWith(QString::fromUtf8(c.nameLineStart)));
        EXPECT_EQ(fileBytes(PersonaStore::soulPath(c.fileCode)), PersonaStore::defaultSoul(c.defaultsOf).toUtf8());
        EXPECT_EQ(fileBytes(PersonaStore::contractPath(c.fileCode)),
                  PersonaStore::defaultContract(c.defaultsOf).toUtf8());
        EXPECT_TRUE(prompt.contains(PersonaStore::defaultSoul(c.defaultsOf)));
    }
    EXPECT_NE(PersonaStore::defaultSoul("zh"), PersonaStore::defaultSoul("en"));
}

TEST(PersonaStore, EditsCountAtTheNextPromptAndDamagedFilesAreNotRepairedByReading)
{
    ScopedDataRoot root;
    PersonaStore::ensureFiles("en");
    put(PersonaStore::soulPath("en"), "# Identity\n\n- Speak like a pirate.");
    QFile::remove(PersonaStore::contractPath("en"));
    put(PersonaStore::memoryPath(), "- [2025-05-01 10:00] likes tea\n");

    QString prompt = PersonaStore::systemPrompt(request(AppMode::conversation, "en-US"));
    EXPECT_TRUE(
        prompt.contains(QStringLiteral("# 정체성 / Soul\n# Identity\n\n- Speak like a pirate.\n\n# 업무 범위")));
    EXPECT_TRUE(prompt.contains(
        QStringLiteral("(사용자에 대해 학습한 정보)\n- [2025-05-01 10:00] likes tea\n\n\n# Response format")));
    EXPECT_EQ(fileBytes(PersonaStore::contractPath("en")), PersonaStore::defaultContract("en").toUtf8());

    const QByteArray notUtf8 = "# Identity\n\xC3\x28 broken";
    put(PersonaStore::soulPath("en"), notUtf8);
    prompt = PersonaStore::systemPrompt(request(AppMode::conversation, "en-US"));
    EXPECT_TRUE(prompt.contains(PersonaStore::defaultSoul("en")));
    EXPECT_EQ(fileBytes(PersonaStore::soulPath("en")), notUtf8);

    PersonaStore::resetToDefaults("en");
    EXPECT_EQ(fileBytes(PersonaStore::soulPath("en")), PersonaStore::defaultSoul("en").toUtf8());
    EXPECT_EQ(fileBytes(PersonaStore::memoryPath()), QByteArray("- [2025-05-01 10:00] likes tea\n"));
}

TEST(PersonaStore, OlderLayoutMovesToTheKoreanNamesOncePerFolder)
{
    ScopedDataRoot root;
    put(PersonaStore::directory() + "/soul.md", "old soul");
    put(PersonaStore::directory() + "/contract.md", "old contract");
    put(PersonaStore::contractPath("ko"), "newer contract");
    LogCapture log(QStringLiteral("app.parlivox.persona"));

    PersonaStore::ensureFiles("en");
    EXPECT_EQ(fileBytes(PersonaStore::soulPath("ko")), QByteArray("old soul"));
    EXPECT_FALSE(QFile::exists(PersonaStore::directory() + "/soul.md"));
    EXPECT_EQ(fileBytes(PersonaStore::contractPath("ko")), QByteArray("newer contract"));
    EXPECT_EQ(fileBytes(PersonaStore::directory() + "/contract.md"), QByteArray("old contract"));
    EXPECT_EQ(log.messages(), QStringList{QStringLiteral("migrated soul.md → soul.ko.md")});

    QFile::remove(PersonaStore::soulPath("ko"));
    put(PersonaStore::directory() + "/soul.md", "made later");
    PersonaStore::ensureFiles("ko");
    EXPECT_EQ(fileBytes(PersonaStore::soulPath("ko")), PersonaStore::defaultSoul("ko").toUtf8());
    EXPECT_EQ(fileBytes(PersonaStore::directory() + "/soul.md"), QByteArray("made later"));
}

TEST(PersonaStore, AppendMemoryReplacesThePlaceholderThenAddsLines)
{
    ScopedDataRoot root;
    EXPECT_FALSE(PersonaStore::appendMemory(QStringLiteral(" \n\t ")));
    EXPECT_FALSE(QFile::exists(PersonaStore::memoryPath()));

    PersonaStore::ensureMemoryFile();
    const QString fresh = QString::fromUtf8(fileBytes(PersonaStore::memoryPath()));
    ASSERT_TRUE(fresh.endsWith(QStringLiteral("\n") + kPlaceholder));

    EXPECT_TRUE(PersonaStore::appendMemory(QStringLiteral("  커피는 라떼를 좋아함 \n"), kMorning));
    const QString once =
        fresh.chopped(kPlaceholder.size()) + QStringLiteral("- [2025-05-12 09:30] 커피는 라떼를 좋아함\n");
    EXPECT_EQ(QString::fromUtf8(fileBytes(PersonaStore::memoryPath())), once);

    EXPECT_TRUE(PersonaStore::appendMemory(QStringLiteral("email: minji@example.com"), kMorning.addSecs(60)));
    EXPECT_EQ(QString::fromUtf8(fileBytes(PersonaStore::memoryPath())),
              once + QStringLiteral("- [2025-05-12 09:31] email: minji@example.com\n"));
}

TEST(PersonaStore, AppendMemoryKeepsAHandEditedFile)
{
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"# Mine\n- likes tea", "# Mine\n- likes tea\n- [2025-05-12 09:30] fact\n"},  // no final line feed
        {"# Mine\n- (아직 학습된 정보가 없음)\n- likes tea\n", "# Mine\n- likes tea\n- [2025-05-12 09:30] fact\n"},
        {"", "\n- [2025-05-12 09:30] fact\n"},
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(before.constData());
        ScopedDataRoot root;
        put(PersonaStore::memoryPath(), before);
        EXPECT_TRUE(PersonaStore::appendMemory(QStringLiteral("fact"), kMorning));
        EXPECT_EQ(fileBytes(PersonaStore::memoryPath()), after);
    }
}

TEST(PersonaStore, AMemoryThatCannotBeReadSaysTheRealCause)
{
    ScopedDataRoot root;
    QString error;
    // A folder where the file belongs is no encoding problem.
    ASSERT_TRUE(QDir().mkpath(PersonaStore::memoryPath()));
    EXPECT_FALSE(PersonaStore::appendMemory(QStringLiteral("new fact"), kMorning, &error));
    EXPECT_EQ(error, PersonaStore::memoryPath() + QStringLiteral(" cannot be read: Is a directory"));
    ASSERT_TRUE(QDir(PersonaStore::memoryPath()).removeRecursively());
    put(PersonaStore::memoryPath(), "\xFF\xFE");
    EXPECT_FALSE(PersonaStore::appendMemory(QStringLiteral("new fact"), kMorning, &error));
    EXPECT_EQ(error, PersonaStore::memoryPath() + QStringLiteral(" cannot be read as UTF-8"));
}

TEST(PersonaStore, AnUnreadableMemoryIsNeverRewritten)
{
    ScopedDataRoot root;
    const QByteArray bytes = "- [2025-05-01 10:00] \xFF\xFE precious facts\n- \xE2\x82";  // invalid and cut short
    put(PersonaStore::memoryPath(), bytes);
    LogCapture log(QStringLiteral("app.parlivox.persona"));

    EXPECT_FALSE(PersonaStore::appendMemory(QStringLiteral("new fact"), kMorning));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().type, QtCriticalMsg);
    EXPECT_TRUE(PersonaStore::memory().endsWith(kPlaceholder)) << "the prompt falls back to the template";
    EXPECT_EQ(fileBytes(PersonaStore::memoryPath()), bytes) << "neither appending nor reading changes it";
}
