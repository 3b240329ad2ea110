#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

// A fuzzer's bytes read front to back: small numbers that steer a target (a mode, a status,
// how to cut the rest into pieces), then the payload. An input that runs out yields zeros,
// so every byte string is a valid input.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size);

    std::uint8_t takeByte();
    // A byte count of up to 8 piece lengths, then the lengths; at least one length is given.
    std::vector<std::size_t> takePieceLengths();
    QByteArrayView rest() const { return m_rest; }

    // The bytes cut into consecutive pieces whose lengths cycle through `lengths` (0 counts as 1).
    static QList<QByteArrayView> cut(QByteArrayView bytes, const std::vector<std::size_t>& lengths);
    // The same for text, in code points, so no piece splits a surrogate pair.
    static QStringList cut(const QString& text, const std::vector<std::size_t>& lengths);

private:
    QByteArrayView m_rest;
};
