#include "UI/Talk/ModePicker.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/ModeInfo.h"
#include "UI/Models/SegmentWidths.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TextStyle.h"

ModePicker::ModePicker(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("modePicker"));
    setMaximumWidth(widest);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    const auto modes = allCases<AppMode>();
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        const AppMode mode = modes[i];
        auto* segment = new PillButton(7, 4, 6, this);
        segment->setObjectName(QStringLiteral("modeSegment-") + rawValue(mode));
        segment->setFont(TextStyle::font(TextStyle::Size::caption, QFont::Medium));
        connect(segment, &PillButton::clicked, this, [this, mode] {
            if (m_context.settings.appMode() != mode)
                m_context.settings.setAppMode(mode);
        });
        m_segments[i] = segment;
    }
    refresh();
    connect(&context.settings, &AppSettings::appModeChanged, this, &ModePicker::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &ModePicker::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &ModePicker::refresh);
}

namespace {
constexpr int spacing = 2;
}

QSize ModePicker::sizeHint() const
{
    int width = spacing * int(m_segments.size() - 1);
    for (const PillButton* segment : m_segments)
        width += segment->sizeHint().width();
    return {width, m_segments.front()->sizeHint().height()};
}

QSize ModePicker::minimumSizeHint() const
{
    int width = spacing * int(m_segments.size() - 1);
    for (const PillButton* segment : m_segments)
        width += segment->minimumSizeHint().width();
    return {width, sizeHint().height()};
}

void ModePicker::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

void ModePicker::place()
{
    QList<int> wanted;
    for (const PillButton* segment : m_segments)
        wanted << segment->sizeHint().width();
    const int room = width() - spacing * int(m_segments.size() - 1);
    const QList<int> widths = SegmentWidths::share(wanted, room, m_segments.front()->minimumSizeHint().width());
    int left = 0;
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        m_segments[i]->setGeometry(left, 0, widths[qsizetype(i)], height());
        left += widths[qsizetype(i)] + spacing;
    }
}

void ModePicker::refresh()
{
    const AppMode current = m_context.settings.appMode();
    const AppLanguage language = m_context.settings.uiLanguage();
    const auto modes = allCases<AppMode>();
    const QColor text = palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        const bool selected = modes[i] == current;
        const ModeInfo::Segment segment = ModeInfo::segment(modes[i]);
        PillButton::Look look;
        look.symbol = segment.symbol;
        look.caption = L10n::t(segment.labelKey, language);
        look.background = selected ? m_context.theme.color(ThemePalette::Token::accent)
                                   : ThemePalette::withAlpha(m_context.theme.named(ThemePalette::Named::gray), 0.14);
        look.foreground = selected ? QColor(Qt::white) : text;
        m_segments[i]->setLook(look);
        m_segments[i]->setRingColour(text);
        m_segments[i]->setAccessibleDescription(selected ? QStringLiteral("selected") : QString());
    }
    // Segments carry no help of their own, so the picker's shows over each of them.
    setToolTip(ModeInfo::segment(current).help);
    updateGeometry();
    place();
}
