#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// One component of a calendar file (a VEVENT) as its bytes, whose own properties are changed
// in place: every line not changed stays byte for byte, its folds and line end included, and
// so do the components inside it (alarms). Lines are read as the splitter reads them.
class IcalComponentText {
public:
    // The bytes from its BEGIN line to the end of its END line.
    explicit IcalComponentText(QByteArray bytes);

    // Why its lines cannot be changed safely, or nothing: a NUL byte, an over-long line, a time
    // property written twice.
    std::optional<QString> damage() const;

    // The first of its own properties of that name (upper case), unfolded, or nothing.
    std::optional<QByteArray> line(const QByteArray& name) const;
    // Puts `lines` (unfolded, without line ends) where its own properties of that name stand,
    // which go; or, when it has none, after its last property. No lines takes them away.
    void set(const QByteArray& name, const QList<QByteArray>& lines);
    // Adds a line after its last property, beside those of its name.
    void add(const QByteArray& line);

    // The component as changed.
    QByteArray bytes() const;

private:
    struct Line {
        QByteArray name;  // upper case; empty for the component's BEGIN and END lines and those inside others
        QByteArray text;  // unfolded
        qsizetype begin;
        qsizetype end;
    };

    QByteArray written(const QList<QByteArray>& lines) const;

    QByteArray m_bytes;
    QByteArray m_lineEnd;  // the one it uses, for the lines it gets
    QList<Line> m_lines;
    qsizetype m_propertiesEnd = 0;  // where its properties end: a component inside it, or its END
    int m_longLines = 0;
    QMap<qsizetype, QByteArray> m_replaced;  // by line
    QByteArray m_added;
};
