#include "UI/Talk/SkillTipStrip.h"

#include "Persistence/AppSettings.h"
#include "Skills/SkillRegistry.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/SkillTips.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>

SkillTipStrip::SkillTipStrip(AppContext& context, const SkillRegistry& skills, QWidget* parent)
    : CardFrame(8, parent), m_context(context), m_skills(skills), m_symbol(new QLabel(this)), m_text(new QLabel(this)),
      m_next(context.scheduler)
{
    setObjectName(QStringLiteral("skillTipStrip"));
    m_text->setObjectName(QStringLiteral("skillTipText"));
    TextStyle::apply(*m_text, TextStyle::Size::caption);
    m_text->setWordWrap(true);
    m_text->setMaximumHeight(2 * m_text->fontMetrics().lineSpacing());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(8);
    layout->addWidget(m_symbol);
    layout->addWidget(m_text, 1);
    refresh();
    for (const auto changed : {&AppSettings::disabledSkillIDsChanged, &AppSettings::uiLanguageChanged})
        connect(&context.settings, changed, this, &SkillTipStrip::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &SkillTipStrip::refresh);
}

void SkillTipStrip::restart()
{
    m_rotation = 0;
    refresh();
}

void SkillTipStrip::showEvent(QShowEvent* event)
{
    CardFrame::showEvent(event);
    if (!m_next.isPending())
        m_next.start(SkillTips::rotation, [this] { rotate(); });
}

void SkillTipStrip::hideEvent(QHideEvent* event)
{
    m_next.cancel();
    CardFrame::hideEvent(event);
}

void SkillTipStrip::rotate()
{
    ++m_rotation;
    refresh();
    m_next.start(SkillTips::rotation, [this] { rotate(); });
}

void SkillTipStrip::refresh()
{
    QStringList ids;
    for (const auto& skill : m_skills.allSkills())
        ids << skill->id();
    const SkillTips::Tip tip =
        SkillTips::tip(ids, m_context.settings.disabledSkillIDs(), m_rotation, m_context.settings.uiLanguage());
    const QColor colour = m_context.theme.named(tip.colour);
    setColours(ThemePalette::withAlpha(colour, 0.1));
    m_symbol->setPixmap(Icons::symbol(tip.symbol, colour).pixmap(14, 14));
    m_text->setText(tip.text);
}
