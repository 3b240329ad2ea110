#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include <sys/resource.h>

// Makes writes fail the way a full or read-only disk makes them fail, for the tests of any
// store. A scenario runs in a child process of its own, so the fault never reaches the test
// program: it prepares its files in folder(), calls begin() before the write that is to fail
// and end() when space returns, and returns lines of text for the test to check (the child's
// own assertions would be lost). The faults: a file-size limit (RLIMIT_FSIZE, which works for
// any user), and a private tmpfs that is full or remounted read-only (it needs root with the
// right to mount, and is skipped where that is missing).
class DiskFault {
public:
    enum class Kind { fileSizeLimit, fullDisk, readOnlyDisk };

    using Scenario = std::function<QStringList(DiskFault&)>;

    // Runs the scenario once under each fault that can be arranged here and expects its report
    // to equal `expected(cause)`, the cause being the system's reason for the failure, e.g.
    // "No space left on device". Skips the test, with the reasons, when no fault can be arranged.
    // `kinds` narrows the faults, e.g. for a scenario that keeps a file open for writing while
    // the fault begins, which no disk can be remounted read-only under.
    static void expectReports(const Scenario& scenario, const std::function<QStringList(const QString&)>& expected,
                              const QList<Kind>& kinds = {Kind::fileSizeLimit, Kind::fullDisk, Kind::readOnlyDisk});

    // An empty folder on the disk under test.
    const QString& folder() const { return m_folder; }
    // From here on a write that makes a file in folder() more than 4 KiB longer than the
    // longest file there fails; a full disk may still take a few bytes of it, a read-only
    // one takes none.
    void begin();
    // Space returns, or the disk is writable again.
    void end();

private:
    // The report, or nothing with the reason when the fault cannot be arranged here.
    static std::optional<QStringList> runInChild(Kind kind, const Scenario& scenario, QString* skipReason);
    DiskFault(Kind kind, const QString& base, int channel);
    [[noreturn]] void abandon(const char* step, int status) const;

    const Kind m_kind;
    const int m_channel;  // the pipe to the test program
    QString m_mount;  // the tmpfs, when the fault needs one
    QString m_folder;
    rlimit m_sizeLimit{};  // as it was before begin()
    bool m_active = false;
};
