#include "Storage/DeviceIdentifier.h"
#include "Common/QtPrinters.h"
#include "Support/FileIO.h"
#include "Support/UserDefaults.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const QRegularExpression
    kUuidForm(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"));
}

TEST(DeviceIdentifier, DerivedFromTheMachineIdStableAndNeverStored)
{
    QTemporaryDir dir;
    const QString machineId = dir.filePath("machine-id");
    ASSERT_TRUE(FileIO::writeAtomically(machineId, "0123456789abcdef0123456789abcdef\n"));
    UserDefaults defaults(dir.filePath("d.json"));
    const QString first = DeviceIdentifier(defaults, machineId).current();
    EXPECT_TRUE(kUuidForm.match(first).hasMatch()) << first.toStdString();
    EXPECT_EQ(DeviceIdentifier(defaults, machineId).current(), first);
    EXPECT_FALSE(defaults.contains("parlivox.deviceUUID"));
    EXPECT_NE(QString(first).remove('-').toLower(), QStringLiteral("0123456789abcdef0123456789abcdef"))
        << "the raw machine id must not leave the machine";

    ASSERT_TRUE(FileIO::writeAtomically(machineId, "fedcba9876543210fedcba9876543210\n"));
    EXPECT_NE(DeviceIdentifier(defaults, machineId).current(), DeviceIdentifier(defaults, dir.filePath("x")).current());
}

TEST(DeviceIdentifier, WithoutAMachineIdAFreshUuidIsStoredOnceAndReusedAsIs)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("d.json"));
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("not-an-id"), QByteArray("0123456789ABCDEF0123456789ABCDEF")}) {
        const QString machineId = dir.filePath("machine-id");
        ASSERT_TRUE(FileIO::writeAtomically(machineId, bad));
        const DeviceIdentifier identifier(defaults, machineId);
        const QString first = identifier.current();
        EXPECT_TRUE(kUuidForm.match(first).hasMatch());
        EXPECT_EQ(defaults.string("parlivox.deviceUUID"), first);
        EXPECT_EQ(identifier.current(), first);
        EXPECT_EQ(DeviceIdentifier(defaults, dir.filePath("missing")).current(), first);
    }
    // A stored identifier is returned unchanged, even one that is not a UUID.
    defaults.set("parlivox.deviceUUID", QStringLiteral("legacy-id"));
    EXPECT_EQ(DeviceIdentifier(defaults, dir.filePath("missing")).current(), "legacy-id");
}
