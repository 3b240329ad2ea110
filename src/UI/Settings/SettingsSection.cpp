#include "UI/Settings/SettingsSection.h"

#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Settings/LabelledRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int kRadius = 10;
constexpr int kPadding = 14;

// The rounded group behind the rows, in the surface and border colours of the palette.
class Group final : public QWidget {
public:
    explicit Group(const Theme& theme) : m_theme(theme)
    {
        connect(&theme, &Theme::appearanceChanged, this, qOverload<>(&QWidget::update));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(m_theme.color(ThemePalette::Token::border));
        painter.setBrush(m_theme.color(ThemePalette::Token::surface));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    }

private:
    const Theme& m_theme;
};
}  // namespace

SettingsSection::SettingsSection(AppContext& context, const QString& objectName, QWidget* parent)
    : QWidget(parent), m_context(context), m_texts(new LocalizedTexts(context.settings, this))
{
    setObjectName(objectName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_title = makeLabel(TextStyle::Size::header);
    m_title->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(m_title);

    auto* group = new Group(context.theme);
    m_rows = new QVBoxLayout(group);
    m_rows->setContentsMargins(kPadding, kPadding - 2, kPadding, kPadding - 2);
    m_rows->setSpacing(10);
    layout->addWidget(group);
}

void SettingsSection::setTitle(const QString& key)
{
    texts().label(*m_title, key);
}

void SettingsSection::setFixedTitle(const QString& title)
{
    m_title->setText(title);
}

LabelledRow* SettingsSection::addLabelledRow(const QString& key, std::initializer_list<QWidget*> controls,
                                             QWidget* named)
{
    auto* row = new LabelledRow;
    for (QWidget* control : controls)
        row->addControl(control);
    return addLabelledRow(key, row, named);
}

LabelledRow* SettingsSection::addLabelledRow(const QString& key, LabelledRow* row, QWidget* named)
{
    auto* label = makeLabel(TextStyle::Size::body);
    texts().label(*label, key, named);
    row->setLabel(label, named);
    addRow(row);
    return row;
}

QWidget* SettingsSection::rowOf(std::initializer_list<QWidget*> widgets, int spacing)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* widget : widgets) {
        if (widget)
            layout->addWidget(widget);
        else
            layout->addStretch(1);
    }
    return row;
}

QLabel* SettingsSection::makeSymbol(const char* symbolName, int size)
{
    auto* label = new QLabel;
    label->setPixmap(Icons::symbol(QLatin1String(symbolName), m_context.theme.color(ThemePalette::Token::accent))
                         .pixmap(size, size));
    return label;
}

QCheckBox* SettingsSection::addToggle(const QString& objectName, const QString& titleKey, const QString& helpKey)
{
    auto* row = new QWidget;
    auto* column = new QVBoxLayout(row);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* box = new QCheckBox;
    box->setObjectName(objectName);
    texts().button(*box, titleKey);
    column->addWidget(box);
    if (!helpKey.isEmpty()) {
        PlainTextLabel* help = makeHelp(*box);
        texts().add(helpKey, [help, box](const QString& text) {
            help->setText(text);
            box->setAccessibleDescription(text);
        });
        column->addWidget(help);
    }
    addRow(row);
    return box;
}

PlainTextLabel* SettingsSection::addNote(TextTint tint, TextStyle::Size size)
{
    PlainTextLabel* note = makeLabel(size, tint);
    addRow(note);
    return note;
}

void SettingsSection::addRow(QWidget* row)
{
    m_rows->addWidget(row);
}

PlainTextLabel* SettingsSection::makeHelp(const QCheckBox& box)
{
    PlainTextLabel* help = makeLabel(TextStyle::Size::caption, TextTint::secondary());
    const int indent = box.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &box) +
                       box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &box);
    help->setContentsMargins(indent, 0, 0, 0);
    return help;
}

PlainTextLabel* SettingsSection::makeLabel(TextStyle::Size size, std::optional<TextTint> tint)
{
    return TextStyle::makeLabel(size, tint, m_context.theme);
}
