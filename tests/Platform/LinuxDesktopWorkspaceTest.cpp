#include "Platform/LinuxDesktopWorkspace.h"

#include "Common/PrivateBus.h"
#include "Common/QtPrinters.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

#include <gtest/gtest.h>

namespace {
// A stand-in file manager on a private bus, recording what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<std::pair<QStringList, QString>> shown;

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId) { shown.append({uris, startupId}); }
};

struct RecordingHandler {
    QList<QUrl> opened;
    bool accept = true;
    LinuxDesktopWorkspace::UrlHandler handler()
    {
        return [this](const QUrl& url) {
            opened << url;
            return accept;
        };
    }
};
}  // namespace

TEST(LinuxDesktopWorkspace, OpenUrlReportsWhetherAHandlerTookItAndWithoutABusRevealOpensTheFolder)
{
    RecordingHandler handler;
    LinuxDesktopWorkspace workspace(QDBusConnection(QStringLiteral("unconnected")), handler.handler());
    EXPECT_TRUE(workspace.openUrl(QUrl(QStringLiteral("mailto:a@b.c?subject=x"))));
    handler.accept = false;
    EXPECT_FALSE(workspace.openUrl(QUrl(QStringLiteral("https://example.org"))));
    EXPECT_FALSE(workspace.openUrl(QUrl()));
    EXPECT_EQ(handler.opened.size(), 2);

    handler.opened.clear();
    workspace.revealFile(QStringLiteral("/data/logs dir/diagnostic-1.txt"));
    EXPECT_EQ(handler.opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/data/logs dir"))});
}

TEST(LinuxDesktopWorkspace, TheFileManagerIsAskedToShowTheFileSelected)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    QDBusConnection service = bus.connect(QStringLiteral("file-manager"));
    FakeFileManager fileManager;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    RecordingHandler handler;
    LinuxDesktopWorkspace workspace(bus.connect(QStringLiteral("client")), handler.handler());
    workspace.revealFile(QStringLiteral("/data/logs/진단 #1.txt"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !fileManager.shown.isEmpty(); }, 5000));
    EXPECT_EQ(fileManager.shown.first().first,
              QStringList{QStringLiteral("file:///data/logs/%EC%A7%84%EB%8B%A8%20%231.txt")});
    EXPECT_EQ(fileManager.shown.first().second, QString());
    EXPECT_TRUE(handler.opened.isEmpty());
}

TEST(LinuxDesktopWorkspace, WhenNoFileManagerAnswersTheFolderIsOpened)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    RecordingHandler handler;
    LinuxDesktopWorkspace workspace(bus.connect(QStringLiteral("client")), handler.handler());
    workspace.revealFile(QStringLiteral("/data/logs/report.txt"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.opened.isEmpty(); }, 5000));
    EXPECT_EQ(handler.opened, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/data/logs"))});
}

#include "LinuxDesktopWorkspaceTest.moc"
