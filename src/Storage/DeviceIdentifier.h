#pragma once

#include <QString>

#include <optional>

class UserDefaults;

// A stable identifier of this machine, sent to the hosted chat service as the device id.
// Derived from the machine id so it survives reinstalls and cleared settings; only where
// there is none does it fall back to a random UUID kept under "parlivox.deviceUUID".
class DeviceIdentifier {
public:
    explicit DeviceIdentifier(UserDefaults& defaults, QString machineIdPath = QStringLiteral("/etc/machine-id"));

    // Recomputed on every read; never fails.
    QString current() const;

private:
    // An application-specific upper-case UUID derived from the machine id (so the raw id,
    // which other programs use, is never sent anywhere), or nothing without a valid one.
    std::optional<QString> hardwareUUID() const;

    UserDefaults& m_defaults;
    const QString m_machineIdPath;
};
