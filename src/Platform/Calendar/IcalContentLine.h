#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The content lines of a calendar file as text, for changing a file in place: a property's
// name, parameters and value as written, text values escaped and long lines folded as
// RFC 5545 writes them.
namespace IcalContentLine {

struct Parts {
    QByteArray name;  // as written
    QByteArray params;  // ";NAME=value…" as written, or empty
    QByteArray value;
};
// The parts of an unfolded line without its line end. The value follows the first colon
// outside the parameters' quoted values.
Parts split(const QByteArray& line);
// The line without its folds and its line end.
QByteArray unfolded(QByteArray line);
// Where the line that starts at `at` in a text of LF line ends ends: at its LF, past the folded
// lines that continue it, or at the end of the text.
qsizetype lineEnd(const QByteArray& text, qsizetype at);

// Whether every parameter reads as NAME=value with its quotes closed; where one does not, a
// reader may take the value, or part of it, for a parameter.
bool readable(const QByteArray& params);
// The parameters without those of the names given (upper case), each kept as written.
QByteArray without(const QByteArray& params, const QList<QByteArray>& names);
// Only the parameters of the names given.
QByteArray only(const QByteArray& params, const QList<QByteArray>& names);

// A text value as written in a file: backslash, semicolon, comma and line breaks escaped.
QByteArray escaped(const QString& text);
// The line folded at 75 octets, never inside a UTF-8 character, each part ended by `lineEnd`.
QByteArray folded(const QByteArray& line, const QByteArray& lineEnd);

}  // namespace IcalContentLine
