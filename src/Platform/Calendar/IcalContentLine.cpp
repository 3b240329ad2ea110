#include "Platform/Calendar/IcalContentLine.h"

#include <algorithm>

namespace {
// The parameters, each with its leading semicolon, split outside quoted values.
QList<QByteArray> paramsOf(const QByteArray& params)
{
    QList<QByteArray> found;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype at = 1; at <= params.size(); ++at) {
        if (at == params.size() || (!quoted && params.at(at) == ';')) {
            found.append(params.mid(start, at - start));
            start = at;
        } else if (params.at(at) == '"') {
            quoted = !quoted;
        }
    }
    return found;
}

QByteArray nameOf(const QByteArray& param)
{
    const qsizetype equals = param.indexOf('=');
    return param.mid(1, equals < 0 ? -1 : equals - 1).trimmed().toUpper();
}

QByteArray filtered(const QByteArray& params, const QList<QByteArray>& names, bool keep)
{
    QByteArray kept;
    for (const QByteArray& param : paramsOf(params))
        if (names.contains(nameOf(param)) == keep)
            kept += param;
    return kept;
}
}  // namespace

namespace IcalContentLine {

Parts split(const QByteArray& line)
{
    qsizetype at = 0;
    while (at < line.size() && line.at(at) != ';' && line.at(at) != ':')
        ++at;
    const qsizetype paramsBegin = at;
    for (bool quoted = false; at < line.size() && (quoted || line.at(at) != ':'); ++at)
        quoted ^= line.at(at) == '"';
    return {line.left(paramsBegin), line.mid(paramsBegin, at - paramsBegin), line.mid(at + 1)};
}

QByteArray unfolded(QByteArray line)
{
    for (const char* fold : {"\r\n ", "\r\n\t", "\n ", "\n\t", "\r ", "\r\t"})
        line.replace(fold, "");
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

qsizetype lineEnd(const QByteArray& text, qsizetype at)
{
    qsizetype end = text.indexOf('\n', at);
    while (end >= 0 && end + 1 < text.size() && (text.at(end + 1) == ' ' || text.at(end + 1) == '\t'))
        end = text.indexOf('\n', end + 1);
    return end < 0 ? text.size() : end;
}

bool readable(const QByteArray& params)
{
    if (params.count('"') % 2)
        return false;
    const QList<QByteArray> each = paramsOf(params);
    return std::all_of(each.begin(), each.end(), [](const QByteArray& param) {
        const qsizetype equals = param.indexOf('=');
        return equals > 1 && !param.mid(1, equals - 1).contains('"');
    });
}

QByteArray without(const QByteArray& params, const QList<QByteArray>& names)
{
    return filtered(params, names, false);
}

QByteArray only(const QByteArray& params, const QList<QByteArray>& names)
{
    return filtered(params, names, true);
}

QByteArray escaped(const QString& text)
{
    QByteArray written;
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype at = 0; at < utf8.size(); ++at) {
        const char c = utf8.at(at);
        if (c == '\\' || c == ';' || c == ',') {
            written += '\\';
            written += c;
        } else if (c == '\n') {
            written += "\\n";
        } else if (c == '\r') {
            // A CRLF is one line break.
            if (at + 1 >= utf8.size() || utf8.at(at + 1) != '\n')
                written += "\\n";
        } else {
            written += c;
        }
    }
    return written;
}

QByteArray folded(const QByteArray& line, const QByteArray& lineEnd)
{
    constexpr qsizetype kOctets = 75;
    QByteArray written;
    qsizetype at = 0;
    // The first part holds 75 octets, the others 74 after their blank.
    for (qsizetype room = kOctets; line.size() - at > room; room = kOctets - 1) {
        qsizetype cut = at + room;
        // Back to the first byte of a UTF-8 character.
        while (cut > at && (uchar(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        written += line.mid(at, cut - at) + lineEnd + ' ';
        at = cut;
    }
    return written + line.mid(at) + lineEnd;
}

}  // namespace IcalContentLine
