#include "Diagnostics/DiagnosticReport.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Common/RecordingDesktopWorkspace.h"
#include "Common/TestEnvironment.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/PipelineLog.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"
#include "Support/UserDefaults.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace {
// The mail link's field, decoded as a mail program reads it.
QString mailField(const QUrl& link, const QString& name)
{
    for (const QString& pair : link.query(QUrl::FullyEncoded).split(QLatin1Char('&')))
        if (pair.startsWith(name + QLatin1Char('=')))
            return QUrl::fromPercentEncoding(pair.mid(name.size() + 1).toUtf8());
    return QStringLiteral("<absent>");
}

const QString closingBlock =
    QStringLiteral("\n---\n발생한 문제 / What happened:\n\n재현 단계 / Steps to reproduce:\n\n");
}  // namespace

class DiagnosticReportTest : public ::testing::Test {
protected:
    DiagnosticReportTest()
    {
        settings.setUiLanguage(AppLanguage::english);
        settings.setCodexCLIModel(QString());
        settings.setMicrophoneDeviceUID(QString());
    }

    std::optional<QString> send() const { return report.sendByEmail(log, settings, QStringLiteral("1.2.3"), "45"); }
    QString body() const { return mailField(workspace.opened.last(), QStringLiteral("body")); }
    QString expectedPath() const
    {
        return AppPaths::logs() + QStringLiteral("/diagnostic-") +
               clock.wallNow().toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".txt");
    }

    ScopedDataRoot root;
    QTemporaryDir configDir;
    UserDefaults defaults{configDir.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{defaults, AppSettings::Environment{}};
    FakeScheduler clock{QDateTime(QDate(2026, 1, 5), QTime(9, 30, 15), Qt::UTC)};
    PipelineLog log{clock};
    RecordingDesktopWorkspace workspace;
    DiagnosticReport report{
        workspace, clock, {QStringLiteral("Debian GNU/Linux 12 (bookworm), kernel 6.1.0"), QStringLiteral("ko_KR")}};
};

TEST_F(DiagnosticReportTest, WithAnEmptyLogTheReportEndsAtTheLogHeading)
{
    const auto path = send();

    ASSERT_EQ(path, expectedPath());
    const QString expected = QStringLiteral("=== Parlivox diagnostic report ===\n"
                                            "Generated: 2026-01-05T09:30:15Z\n"
                                            "\n"
                                            "## System\n"
                                            "App: Parlivox 1.2.3 (45)\n"
                                            "OS: Debian GNU/Linux 12 (bookworm), kernel 6.1.0\n"
                                            "Locale: ko_KR\n"
                                            "\n"
                                            "## Settings\n"
                                            "uiLanguage = en\n"
                                            "speechLocale = ko-KR\n"
                                            "appMode = conversation\n"
                                            "assistant = ostrel-hosted\n"
                                            "model.openAI = %1\n"
                                            "model.claude = %2\n"
                                            "model.codex = (default)\n"
                                            "avatar.gender = female\n"
                                            "avatar.style = female\n"
                                            "camera.gaze = false\n"
                                            "camera.grayscale = true\n"
                                            "phaseSounds = true\n"
                                            "rightOptionInterrupt = true\n"
                                            "microphoneUID = (system default)\n"
                                            "\n"
                                            "## Pipeline log (last 400 entries)\n")
                                 .arg(settings.openAIModel(), settings.claudeCLIModel());
    EXPECT_EQ(QString::fromUtf8(*FileIO::readAll(*path)), expected);
    EXPECT_EQ(workspace.revealed, QStringList{*path});

    ASSERT_EQ(workspace.opened.size(), 1);
    EXPECT_EQ(body(), QStringLiteral("Parlivox 1.2.3 (45) \u2014 Debian GNU/Linux 12 (bookworm), kernel 6.1.0\n"
                                     "Locale: ko_KR  /  UI: en  /  Mode: conversation\n"
                                     "Assistant: ostrel-hosted\n"
                                     "Log file: ") +
                          *path + QStringLiteral("\n(첨부해 주세요 / Please attach)\n\n## Recent log (tail)\n") +
                          closingBlock);
}

TEST_F(DiagnosticReportTest, AFullLogGoesWholeIntoTheFileAndItsTailIntoTheMail)
{
    for (int n = 0; n < 200; ++n) {
        log.record(n % 2 ? QStringLiteral("stt") : QStringLiteral("fsm"), QStringLiteral("event %1").arg(n));
        clock.advance(std::chrono::milliseconds(1));
    }
    const QList<PipelineLog::Entry> entries = log.entries();

    const QString text = QString::fromUtf8(*FileIO::readAll(*send()));

    const QStringList reportLines = text.section(QStringLiteral("## Pipeline log (last 400 entries)\n"), 1)
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(reportLines.size(), 200);
    for (int n = 0; n < 200; ++n)
        EXPECT_EQ(reportLines.at(n), entries.at(n).line());
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{6} \[fsm\] event 0$)"))
                    .match(reportLines.first())
                    .hasMatch());

    const QString tail = body().section(QStringLiteral("## Recent log (tail)\n"), 1).chopped(closingBlock.size());
    const QStringList mailLines = tail.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(mailLines.size(), 40);
    EXPECT_EQ(mailLines.first(), entries.at(160).line(PipelineLog::TimePrecision::seconds));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d \[stt\] event 199$)")).match(mailLines.last()).hasMatch());
}

TEST_F(DiagnosticReportTest, TheMailLinkEncodesEverythingAMailProgramCouldMisread)
{
    settings.setUiLanguage(AppLanguage::korean);
    const QString tricky = QStringLiteral("C++ & R&D #1 at 100% — 완료 +82 10");
    log.record(QStringLiteral("llm"), tricky);

    send();

    const QUrl link = workspace.opened.last();
    EXPECT_EQ(link.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(link.path(), DiagnosticReport::supportAddress());
    EXPECT_EQ(mailField(link, QStringLiteral("subject")), QStringLiteral("Parlivox 진단 로그"));
    EXPECT_TRUE(body().contains(QStringLiteral("] ") + tricky + QLatin1Char('\n')));

    const QString query = link.query(QUrl::FullyEncoded);
    EXPECT_FALSE(query.contains(QLatin1Char('+'))) << query.toStdString();
    EXPECT_FALSE(query.contains(QLatin1Char('#')));
    EXPECT_EQ(query.count(QLatin1Char('&')), 1);
    for (const char* encoded : {"%2B", "%26", "%23", "%25", "%EC%99%84"})
        EXPECT_TRUE(query.contains(QLatin1String(encoded))) << encoded;
}

TEST_F(DiagnosticReportTest, SecretsAndPrivatePathsStayOut)
{
    settings.setOpenAIAPIKey(QStringLiteral("sk-very-secret"));
    settings.setNvidiaAPIKey(QStringLiteral("nvapi-secret"));
    settings.setObsidianVaultPath(QStringLiteral("/home/someone/PrivateVault"));
    settings.setLmStudioBaseURL(QStringLiteral("http://10.0.0.7:1234"));
    settings.setAssistantName(QStringLiteral("Zelda-Name"));

    const QString report = QString::fromUtf8(*FileIO::readAll(*send()));
    const QString text = report + body();

    for (const char* secret : {"sk-very-secret", "nvapi-secret", "PrivateVault", "10.0.0.7", "Zelda-Name"})
        EXPECT_FALSE(text.contains(QLatin1String(secret))) << secret;
}

TEST_F(DiagnosticReportTest, WithoutALogsFolderNothingIsWrittenOrShownButTheMailOpens)
{
    QDir().mkpath(root.path());
    ASSERT_TRUE(FileIO::writeAtomically(AppPaths::logs(), "a file where the folder should be"));

    EXPECT_EQ(send(), std::nullopt);

    EXPECT_TRUE(workspace.revealed.isEmpty());
    ASSERT_EQ(workspace.opened.size(), 1);
    EXPECT_FALSE(body().contains(QStringLiteral("Log file")));
    EXPECT_TRUE(body().contains(QStringLiteral("Assistant: ostrel-hosted\n## Recent log (tail)\n")));
}

TEST_F(DiagnosticReportTest, TwoReportsInOneSecondShareTheFile)
{
    log.record(QStringLiteral("fsm"), QStringLiteral("first"));
    const auto first = send();
    log.clear();
    log.record(QStringLiteral("fsm"), QStringLiteral("second"));
    const auto second = send();

    EXPECT_EQ(first, second);
    const QString text = QString::fromUtf8(*FileIO::readAll(*second));
    EXPECT_TRUE(text.endsWith(QStringLiteral("] second\n")));
    EXPECT_EQ(QDir(AppPaths::logs()).entryList(QDir::Files).size(), 1);
}
