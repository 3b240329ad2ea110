#include "Common/WithoutLibrary.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const QString kMarker = QStringLiteral("PARLIVOX_WITHOUT_LIBRARY");
}  // namespace

bool withoutLibrary(const QString& soname)
{
    if (qEnvironmentVariable(kMarker.toLatin1().constData()) == soname)
        return true;
    QTemporaryDir folder;
    QFile impostor(folder.filePath(soname));
    EXPECT_TRUE(impostor.open(QIODevice::WriteOnly) && impostor.write("not a library\n") > 0);
    impostor.close();

    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString path = environment.value(QStringLiteral("LD_LIBRARY_PATH"));
    environment.insert(QStringLiteral("LD_LIBRARY_PATH"),
                       path.isEmpty() ? folder.path() : folder.path() + QLatin1Char(':') + path);
    environment.insert(kMarker, soname);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QLatin1String(test->test_suite_name()), QLatin1String(test->name()))});
    const bool finished = child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    EXPECT_TRUE(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                output.contains("[  PASSED  ] 1 test"))
        << "without " << soname.toStdString() << ":\n"
        << output.toStdString();
    return false;
}
