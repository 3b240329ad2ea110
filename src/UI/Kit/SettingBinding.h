#pragma once

#include "Support/RawEnum.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <functional>
#include <type_traits>

// Binds one control to one setting (any QObject with a getter, a setter and a changed
// signal, such as AppSettings or UpdateManager), in one line per setting:
//
//     SettingBinding::toggle(*box, settings, &AppSettings::bargeInEnabled,
//                            &AppSettings::setBargeInEnabled, &AppSettings::bargeInEnabledChanged);
//
// The control is filled under a signal blocker now and again on every change of the setting,
// so a fill never writes. Any other change of the control's value writes the setting, only
// when it differs from the stored one, whatever made it: a click, a key, or a screen reader's
// action, which changes the value without a click or an activation. A combo box is therefore
// filled or refilled only with its signals blocked (PickerFill does).
namespace SettingBinding {

template <typename Source, typename Getter>
using ValueOf = std::decay_t<std::invoke_result_t<Getter, const Source&>>;

// Calls `fill` now and whenever `changed` fires, with the control's signals blocked.
template <typename Control, typename Source, typename Signal, typename Fill>
void follow(Control& control, Source& source, Signal changed, Fill fill)
{
    const auto refresh = [&control, fill] {
        const QSignalBlocker blocker(&control);
        fill();
    };
    refresh();
    QObject::connect(&source, changed, &control, refresh);
}

// Writes `value` unless the setting already holds it.
template <typename Source, typename Getter, typename Setter, typename Value>
void writeIfDifferent(Source& source, Getter get, Setter set, const Value& value)
{
    if (!(std::invoke(get, source) == value))
        std::invoke(set, source, value);
}

// A check box or any checkable button for a boolean setting.
template <typename Source, typename Getter, typename Setter, typename Signal>
void toggle(QAbstractButton& button, Source& source, Getter get, Setter set, Signal changed)
{
    follow(button, source, changed, [&button, &source, get] { button.setChecked(std::invoke(get, source)); });
    QObject::connect(&button, &QAbstractButton::toggled, &button,
                     [&source, get, set](bool checked) { writeIfDifferent(source, get, set, checked); });
}

// A line edit for a text setting, written as typed.
template <typename Source, typename Getter, typename Setter, typename Signal>
void text(QLineEdit& edit, Source& source, Getter get, Setter set, Signal changed)
{
    follow(edit, source, changed, [&edit, &source, get] {
        const QString value = std::invoke(get, source);
        if (edit.text() != value)  // keeps the cursor while the user types
            edit.setText(value);
    });
    QObject::connect(&edit, &QLineEdit::textChanged, &edit,
                     [&source, get, set](const QString& typed) { writeIfDifferent(source, get, set, typed); });
}

// A combo box for a text setting or a closed choice. Each item's data is the value: the text
// itself, or the choice's raw value. A stored value that no item has selects nothing; an item
// that cannot be chosen (a group title, a stored value no longer on offer) never writes.
template <typename Source, typename Getter, typename Setter, typename Signal>
void choice(QComboBox& combo, Source& source, Getter get, Setter set, Signal changed)
{
    using Value = ValueOf<Source, Getter>;
    const auto data = [](const Value& value) {
        if constexpr (std::is_same_v<Value, QString>)
            return value;
        else
            return rawValue(value);
    };
    follow(combo, source, changed,
           [&combo, &source, get, data] { combo.setCurrentIndex(combo.findData(data(std::invoke(get, source)))); });
    QObject::connect(&combo, &QComboBox::currentIndexChanged, &combo, [&combo, &source, get, set](int index) {
        const QModelIndex item = combo.model()->index(index, combo.modelColumn(), combo.rootModelIndex());
        if (!(item.flags() & Qt::ItemIsEnabled))
            return;
        const QString raw = combo.itemData(index).toString();
        if constexpr (std::is_same_v<Value, QString>) {
            writeIfDifferent(source, get, set, raw);
        } else if (const auto value = fromRawValue<Value>(raw)) {
            writeIfDifferent(source, get, set, *value);
        }
    });
}

}  // namespace SettingBinding
