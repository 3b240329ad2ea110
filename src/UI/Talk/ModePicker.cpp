#include "UI/Talk/ModePicker.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/ModeInfo.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/PillRow.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

ModePicker::ModePicker(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_row(new PillRow(2, PillRow::Lines::one, this))
{
    setObjectName(QStringLiteral("modePicker"));
    setMaximumWidth(widest);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_row);
    const auto modes = allCases<AppMode>();
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        const AppMode mode = modes[i];
        auto* segment = new PillButton(7, 4, 6);
        segment->setObjectName(QStringLiteral("modeSegment-") + rawValue(mode));
        segment->setFont(TextStyle::font(TextStyle::Size::caption, QFont::Medium));
        // Checkable for screen readers, yet each a stop of Tab and never chosen by arrow keys,
        // as a group of radio buttons would be: a new mode restarts listening.
        segment->setCheckable(true);
        // Toggled by a click, a key or a screen reader's action alike; exactly one segment stays
        // checked, the current mode's, whatever the toggle asked.
        connect(segment, &PillButton::toggled, this, [this, mode](bool checked) {
            if (checked)
                m_context.settings.setAppMode(mode);
            refresh();
        });
        m_row->add(segment);
        m_segments[i] = segment;
    }
    refresh();
    connect(&context.settings, &AppSettings::appModeChanged, this, &ModePicker::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &ModePicker::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &ModePicker::refresh);
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
        look.shortCaption = L10n::t(segment.shortKey, language);
        look.help = look.caption + QLatin1Char('\n') + L10n::t(segment.helpKey, language);
        look.background = selected ? ThemePalette::filled(ThemePalette::Token::accent, m_context.theme.isDark())
                                   : ThemePalette::withAlpha(m_context.theme.named(ThemePalette::Named::gray), 0.14);
        look.foreground = selected ? QColor(Qt::white) : text;
        m_segments[i]->setLook(look);
        m_segments[i]->setRingColour(text);
        const QSignalBlocker blocker(m_segments[i]);
        m_segments[i]->setChecked(selected);
    }
}
