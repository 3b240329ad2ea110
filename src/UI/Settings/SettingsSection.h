#pragma once

#include "UI/Settings/LocalizedTexts.h"
#include "UI/Settings/TextStyle.h"

#include <QWidget>

#include <optional>

struct AppContext;
class LabelledRow;
class PlainTextLabel;
class QCheckBox;
class QLabel;
class QVBoxLayout;

// One section of a settings page: a title over a rounded group of rows in the palette's
// surface colour. The section views derive from it and add their rows; every label is looked
// up in the interface language and relabelled when it changes.
class SettingsSection : public QWidget {
    Q_OBJECT
public:
    SettingsSection(AppContext& context, const QString& objectName, QWidget* parent = nullptr);

protected:
    AppContext& context() const { return m_context; }
    LocalizedTexts& texts() { return *m_texts; }

    void setTitle(const QString& key);
    void setFixedTitle(const QString& title);  // a name, the same in every language

    // A row with the key's label on the leading side and `controls` on the trailing side; the
    // label names `named`, the control a screen reader reaches (none when the row only shows
    // a value). Returns the row, to show or hide.
    LabelledRow* addLabelledRow(const QString& key, std::initializer_list<QWidget*> controls, QWidget* named);
    // The same for a row that makes its own controls.
    LabelledRow* addLabelledRow(const QString& key, LabelledRow* row, QWidget* named);
    // A check box with its title and, when given, the help text in small print under it.
    QCheckBox* addToggle(const QString& objectName, const QString& titleKey, const QString& helpKey = QString());
    // Small print across the row, wrapping as far as it needs.
    PlainTextLabel* addNote(TextTint tint, TextStyle::Size size = TextStyle::Size::caption);
    void addRow(QWidget* row);

    // A label for this section's rows: plain text, wrapping, in the size and tint given.
    PlainTextLabel* makeLabel(TextStyle::Size size, std::optional<TextTint> tint = std::nullopt);
    // Small print under a check box's title, indented to start where the title starts.
    PlainTextLabel* makeHelp(const QCheckBox& box);
    // A symbol in the accent colour, as put before a title.
    QLabel* makeSymbol(const char* symbolName, int size = 16);
    // A control named for tests and fixed to the width its row gives it.
    template <typename Control>
    static Control* makeControl(const char* objectName, int width)
    {
        auto* control = new Control;
        control->setObjectName(QLatin1String(objectName));
        control->setFixedWidth(width);
        return control;
    }
    // Widgets side by side, a null one standing for the free width.
    static QWidget* rowOf(std::initializer_list<QWidget*> widgets, int spacing = 6);

private:
    AppContext& m_context;
    LocalizedTexts* m_texts;
    PlainTextLabel* m_title;
    QVBoxLayout* m_rows;
};
