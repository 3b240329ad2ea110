#pragma once

#include <QList>
#include <QString>

// One entry of a settings picker: a value the user can choose, a group title, or a stored
// value that is not on offer, shown so it is kept but marked and not choosable again.
struct PickerItem {
    enum class Kind { choice, header, unavailable };

    Kind kind = Kind::choice;
    QString text;
    QString value;  // what the setting stores; "" for a header
    QString symbol = {};  // the symbol shown before the text, if any
    QString help = {};  // shown on hover

    bool operator==(const PickerItem&) const = default;

    static PickerItem choice(const QString& text, const QString& value, const QString& symbol = {})
    {
        return {Kind::choice, text, value, symbol};
    }
    static PickerItem header(const QString& text) { return {Kind::header, text, QString()}; }
};

using PickerItems = QList<PickerItem>;
