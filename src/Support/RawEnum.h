#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <optional>

// Closed sets of choices with string raw values: what is stored, logged and used as keys.
// An enumeration opts in by specialising RawEnumTraits with its cases in declaration order.
template <typename E>
struct RawCase {
    E value;
    const char* raw;  // UTF-8
};

template <typename E>
struct RawEnumTraits;

template <typename E>
QString rawValue(E value)
{
    for (const auto& c : RawEnumTraits<E>::cases)
        if (c.value == value)
            return QString::fromUtf8(c.raw);
    return {};
}

// Exact, case-sensitive match; nothing for any other text.
template <typename E>
std::optional<E> fromRawValue(QStringView raw)
{
    for (const auto& c : RawEnumTraits<E>::cases)
        if (raw == QString::fromUtf8(c.raw))
            return c.value;
    return std::nullopt;
}

template <typename E>
constexpr auto allCases()
{
    constexpr auto& cases = RawEnumTraits<E>::cases;
    std::array<E, cases.size()> values{};
    for (std::size_t i = 0; i < cases.size(); ++i)
        values[i] = cases[i].value;
    return values;
}
