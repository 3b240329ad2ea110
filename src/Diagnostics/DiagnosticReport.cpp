#include "Diagnostics/DiagnosticReport.h"

#include "Diagnostics/PipelineLog.h"
#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Storage/AppPaths.h"
#include "Support/DesktopWorkspace.h"
#include "Support/FileIO.h"
#include "Support/Scheduler.h"

#include <QLocale>
#include <QLoggingCategory>
#include <QSysInfo>
#include <QUrl>

#include <algorithm>

Q_LOGGING_CATEGORY(lcDiagnostics, "app.parlivox.diagnostics")

namespace {
constexpr qsizetype kReportEntries = 400;
constexpr qsizetype kMailEntries = 40;

QList<PipelineLog::Entry> newest(const PipelineLog& log, qsizetype count)
{
    const auto& entries = log.entries();
    return entries.mid(std::max<qsizetype>(0, entries.size() - count));
}

QString flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString orPlaceholder(const QString& value, const QString& placeholder)
{
    return value.isEmpty() ? placeholder : value;
}

// Every reserved character encoded, "+" included: mail programs read a bare "+" as a space.
QUrl mailLink(const QString& address, const QString& subject, const QString& body)
{
    const QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(address, "@") +
                               "?subject=" + QUrl::toPercentEncoding(subject) +
                               "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}
}  // namespace

DiagnosticReport::System DiagnosticReport::System::current()
{
    return {QSysInfo::prettyProductName() + QStringLiteral(", kernel ") + QSysInfo::kernelVersion(),
            QLocale::system().name()};
}

DiagnosticReport::DiagnosticReport(DesktopWorkspace& workspace, const Scheduler& clock, System system)
    : m_workspace(workspace), m_clock(clock), m_system(std::move(system))
{
}

QString DiagnosticReport::supportAddress()
{
    return L10n::t(QStringLiteral("about.support_mail"), AppLanguage::english);
}

std::optional<QString> DiagnosticReport::sendByEmail(const PipelineLog& log, const AppSettings& settings,
                                                     const QString& appVersion, const QString& build) const
{
    const QString stamp = m_clock.wallNow().toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString path = AppPaths::logs() + QStringLiteral("/diagnostic-") + stamp + QStringLiteral(".txt");

    std::optional<QString> attachment;
    QString error;
    if (FileIO::ensureDirectory(AppPaths::logs(), false, &error) &&
        FileIO::writeAtomically(path, fullReport(log, settings, appVersion, build).toUtf8(), &error)) {
        attachment = path;
        m_workspace.revealFile(path);
    } else {
        qCWarning(lcDiagnostics, "diagnostic report not written: %s", qUtf8Printable(error));
    }

    const QString subject = L10n::t(QStringLiteral("diagnostics.report_subject"), settings.uiLanguage());
    const QUrl link = mailLink(supportAddress(), subject, shortBody(log, settings, appVersion, build, attachment));
    if (link.isValid())
        m_workspace.openUrl(link);
    return attachment;
}

QString DiagnosticReport::fullReport(const PipelineLog& log, const AppSettings& settings, const QString& appVersion,
                                     const QString& build) const
{
    QStringList lines{
        QStringLiteral("=== Parlivox diagnostic report ==="),
        QStringLiteral("Generated: ") + m_clock.wallNow().toUTC().toString(Qt::ISODate),
        QString(),
        QStringLiteral("## System"),
        QStringLiteral("App: Parlivox %1 (%2)").arg(appVersion, build),
        QStringLiteral("OS: ") + m_system.osVersion,
        QStringLiteral("Locale: ") + m_system.localeIdentifier,
        QString(),
        QStringLiteral("## Settings"),
        QStringLiteral("uiLanguage = ") + rawValue(settings.uiLanguage()),
        QStringLiteral("speechLocale = ") + settings.localeID(),
        QStringLiteral("appMode = ") + rawValue(settings.appMode()),
        QStringLiteral("assistant = ") + rawValue(settings.assistantProvider()),
        QStringLiteral("model.openAI = ") + settings.openAIModel(),
        QStringLiteral("model.claude = ") + settings.claudeCLIModel(),
        QStringLiteral("model.codex = ") + orPlaceholder(settings.codexCLIModel(), QStringLiteral("(default)")),
        QStringLiteral("avatar.gender = ") + rawValue(settings.avatarGender()),
        QStringLiteral("avatar.style = ") + rawValue(settings.avatarStyle()),
        QStringLiteral("camera.gaze = ") + flag(settings.cameraGazeEnabled()),
        QStringLiteral("camera.grayscale = ") + flag(settings.cameraGrayscaleProcessing()),
        QStringLiteral("phaseSounds = ") + flag(settings.phaseSoundsEnabled()),
        QStringLiteral("rightOptionInterrupt = ") + flag(settings.rightOptionInterruptEnabled()),
        QStringLiteral("microphoneUID = ") +
            orPlaceholder(settings.microphoneDeviceUID(), QStringLiteral("(system default)")),
        QString(),
        QStringLiteral("## Pipeline log (last 400 entries)"),
    };
    for (const auto& entry : newest(log, kReportEntries))
        lines << entry.line();
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString DiagnosticReport::shortBody(const PipelineLog& log, const AppSettings& settings, const QString& appVersion,
                                    const QString& build, const std::optional<QString>& attachment) const
{
    QStringList lines{
        QStringLiteral("Parlivox %1 (%2) \u2014 %3").arg(appVersion, build, m_system.osVersion),
        QStringLiteral("Locale: %1  /  UI: %2  /  Mode: %3")
            .arg(m_system.localeIdentifier, rawValue(settings.uiLanguage()), rawValue(settings.appMode())),
        QStringLiteral("Assistant: ") + rawValue(settings.assistantProvider()),
    };
    if (attachment)
        lines << QStringLiteral("Log file: ") + *attachment << QStringLiteral("(첨부해 주세요 / Please attach)")
              << QString();
    lines << QStringLiteral("## Recent log (tail)");
    for (const auto& entry : newest(log, kMailEntries))
        lines << entry.line(PipelineLog::TimePrecision::seconds);
    return lines.join(QLatin1Char('\n')) +
           QStringLiteral("\n\n---\n발생한 문제 / What happened:\n\n재현 단계 / Steps to reproduce:\n\n");
}
