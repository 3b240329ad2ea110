#include "Storage/DeviceIdentifier.h"

#include "Support/FileIO.h"
#include "Support/Text.h"
#include "Support/UserDefaults.h"

#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QUuid>

namespace {
const QString kStoredKey = QStringLiteral("parlivox.deviceUUID");
// Fixed application key for deriving our own identifier from the machine id.
const QByteArray kApplicationKey = QByteArrayLiteral("5f0c2a7e9b3d4e61a8c0d1f2e3b4a596");
}  // namespace

DeviceIdentifier::DeviceIdentifier(UserDefaults& defaults, QString machineIdPath)
    : m_defaults(defaults), m_machineIdPath(std::move(machineIdPath))
{
}

std::optional<QString> DeviceIdentifier::hardwareUUID() const
{
    const auto contents = FileIO::readAll(m_machineIdPath);
    if (!contents)
        return std::nullopt;
    const QByteArray machineId = contents->trimmed();
    static const QRegularExpression kForm(QStringLiteral("^[0-9a-f]{32}$"));
    if (!kForm.match(QString::fromLatin1(machineId)).hasMatch())
        return std::nullopt;

    QByteArray digest =
        QMessageAuthenticationCode::hash(kApplicationKey, QByteArray::fromHex(machineId), QCryptographicHash::Sha256)
            .left(16);
    // Mark it as a version-4, RFC 4122 UUID, as the freedesktop derivation does.
    digest[6] = static_cast<char>((digest[6] & 0x0F) | 0x40);
    digest[8] = static_cast<char>((digest[8] & 0x3F) | 0x80);
    return Text::uuidText(QUuid::fromRfc4122(digest));
}

QString DeviceIdentifier::current() const
{
    if (const auto hardware = hardwareUUID())
        return *hardware;
    if (const auto stored = m_defaults.string(kStoredKey))
        return *stored;
    const QString fresh = Text::newUuid();
    m_defaults.set(kStoredKey, fresh);
    return fresh;
}
