#pragma once

#include "Persistence/AppSettings.h"
#include "UI/UiTestContext.h"

#include <QString>

#include <functional>
#include <type_traits>

class QWidget;

// One control of a settings view bound to one setting, as a table row: the control's object
// name, how the test reads and writes the setting (as text: "true"/"false" for switches, the
// raw value for choices), a value set elsewhere and one the user picks.
struct BoundControl {
    const char* control;
    std::function<QString(UiTestContext&)> read;
    std::function<void(UiTestContext&, const QString&)> write;
    QString outside;
    QString edited;
};

// Checks that the control shows the setting, follows a change made elsewhere, and that a
// user's edit writes the setting, by the mouse or the keyboard and by a screen reader's
// action (back to the value set elsewhere and again to the user's); every fault is a gtest failure naming the control.
void expectBound(QWidget& view, UiTestContext& ui, const BoundControl& bound);

// What a control shows as text, and a user's edit of it.
QString shownValue(QWidget& control);
void editAsUser(QWidget& control, const QString& value);
// The same edit as a screen reader makes it, through the control's accessibility interface
// only: a check box's Toggle action, a field's value text, a picker's entry selected in its
// list (opened first by its ShowMenu action when the picker is on screen).
void editByScreenReader(QWidget& control, const QString& value);

template <typename T>
QString asText(const T& value)
{
    if constexpr (std::is_same_v<T, bool>)
        return value ? QStringLiteral("true") : QStringLiteral("false");
    else if constexpr (std::is_same_v<T, QString>)
        return value;
    else
        return rawValue(value);
}

template <typename T>
T fromText(const QString& text)
{
    if constexpr (std::is_same_v<T, bool>)
        return text == QLatin1String("true");
    else if constexpr (std::is_same_v<T, QString>)
        return text;
    else
        return *fromRawValue<T>(text);
}

// A row for a setting of AppSettings, read and written through `get` and `set`.
template <typename Get, typename Set>
BoundControl setting(const char* control, Get get, Set set, const QString& outside, const QString& edited)
{
    using Value = std::decay_t<std::invoke_result_t<Get, const AppSettings&>>;
    return {control, [get](UiTestContext& ui) { return asText(std::invoke(get, std::as_const(ui.settings))); },
            [set](UiTestContext& ui, const QString& text) { std::invoke(set, ui.settings, fromText<Value>(text)); },
            outside, edited};
}
