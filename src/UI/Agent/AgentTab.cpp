#include "UI/Agent/AgentTab.h"

#include "UI/Agent/AvatarSection.h"
#include "UI/Agent/MemorySection.h"
#include "UI/Agent/PersonaSection.h"
#include "UI/Agent/SkillsSection.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Theme.h"

AgentTab::AgentTab(AppContext& context, QWidget* parent)
    : SettingsPage(context, QStringLiteral("agentTab"), QStringLiteral("tab.agent"), parent)
{
    context.theme.paint(*this);
    connect(&context.theme, &Theme::appearanceChanged, this, [this, &context] { context.theme.paint(*this); });
    addSection(new AvatarSection(context));
    addSection(new PersonaSection(context));
    addSection(new MemorySection(context));
    addSection(new SkillsSection(context));
}
