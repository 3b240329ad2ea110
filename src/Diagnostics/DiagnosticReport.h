#pragma once

#include <QString>

#include <optional>

class AppSettings;
class DesktopWorkspace;
class PipelineLog;
class Scheduler;

// A problem report for the maker: a text file of the system, the main settings and the
// pipeline log in the logs folder, shown in the file manager so the user can attach it, and
// a mail draft to the support address with the key facts. Nothing is sent by itself.
// GUI thread.
class DiagnosticReport {
public:
    // What the report says about the machine; fixed in tests.
    struct System {
        QString osVersion;  // distribution and kernel
        QString localeIdentifier;  // e.g. "ko_KR"
        static System current();
    };

    DiagnosticReport(DesktopWorkspace& workspace, const Scheduler& clock, System system = System::current());

    // The report's path, or nothing when it could not be written (the mail opens either way).
    std::optional<QString> sendByEmail(const PipelineLog& log, const AppSettings& settings, const QString& appVersion,
                                       const QString& build) const;

    static QString supportAddress();

private:
    QString fullReport(const PipelineLog& log, const AppSettings& settings, const QString& appVersion,
                       const QString& build) const;
    QString shortBody(const PipelineLog& log, const AppSettings& settings, const QString& appVersion,
                      const QString& build, const std::optional<QString>& attachment) const;

    DesktopWorkspace& m_workspace;
    const Scheduler& m_clock;
    System m_system;
};
