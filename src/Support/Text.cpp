#include "Support/Text.h"

#include <QStringDecoder>
#include <QTextBoundaryFinder>
#include <QUuid>

#include <charconv>
#include <cmath>
#include <string>

namespace Text {

QString trimmed(const QString& text)
{
    // QChar::isSpace covers exactly the separator categories plus the C0 spaces and NEL.
    return text.trimmed();
}

qsizetype graphemeCount(const QString& text)
{
    if (text.isEmpty())
        return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

QString graphemePrefix(const QString& text, qsizetype count)
{
    if (count <= 0)
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next == -1)
            break;
        end = next;
    }
    return text.left(end);
}

QString shortestDecimal(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");

    // Shortest round-trip digits and exponent, from the scientific form "d.ddde±x".
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string sci(buffer, result.ptr);
    const bool negative = sci.front() == '-';
    if (negative)
        sci.erase(0, 1);
    const auto ePos = sci.find('e');
    const int exponent = std::stoi(sci.substr(ePos + 1));
    std::string digits = sci.substr(0, ePos);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());

    std::string out;
    const double magnitude = std::fabs(value);
    if (magnitude != 0.0 && (magnitude < 1e-4 || magnitude >= 1e16)) {
        out = digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    } else if (exponent < 0) {
        out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out = digits + std::string(intDigits - digits.size(), '0') + ".0";
        } else {
            out = digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return QString::fromStdString((negative ? "-" : "") + out);
}

std::optional<QString> decodeUtf8Strict(QByteArrayView bytes, LeadingBom bom)
{
    bool damaged = false;
    QString text = decodeUtf8Replacing(bytes, &damaged, bom);
    if (damaged)
        return std::nullopt;
    return text;
}

QString decodeUtf8Replacing(QByteArrayView bytes, bool* damaged, LeadingBom bom)
{
    // Stateless: an incomplete final sequence is an error instead of being held for later.
    QStringDecoder::Flags flags = QStringDecoder::Flag::Stateless;
    if (bom == LeadingBom::keep)
        flags |= QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder decoder(QStringDecoder::Utf8, flags);
    QString text = decoder.decode(bytes);
    if (damaged)
        *damaged = decoder.hasError();
    return text;
}

QString uuidText(const QUuid& uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

QString newUuid()
{
    return uuidText(QUuid::createUuid());
}

}  // namespace Text
