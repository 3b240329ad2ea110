#include "UI/Talk/HeaderRow.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/ModePicker.h"
#include "UI/Talk/ModeStageBadge.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>

HeaderRow::HeaderRow(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_title(new QLabel(this)), m_badge(new ModeStageBadge(this))
{
    setObjectName(QStringLiteral("headerRow"));
    TextStyle::apply(*m_title, TextStyle::Size::title2, QFont::DemiBold);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(m_title);
    layout->addWidget(new ModePicker(context, this), 1);
    layout->addStretch(0);
    layout->addWidget(m_badge);
    refresh();
    connect(&context.settings, &AppSettings::appModeChanged, this, &HeaderRow::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &HeaderRow::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &HeaderRow::refresh);
}

void HeaderRow::refresh()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    m_title->setText(L10n::t(QStringLiteral("app.title"), language));
    m_badge->setBadge(ModeInfo::badge(m_context.settings.appMode(), m_context.theme.isDark(), language));
}
