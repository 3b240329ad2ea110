#include "UI/App/MainContentView.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/AppServices.h"
#include "UI/Agent/AgentTab.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/DiagnosticsTab.h"
#include "UI/Kit/Icons.h"
#include "UI/Settings/SettingsTab.h"
#include "UI/Talk/TalkTab.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace {
struct TabLabel {
    AppTab tab;
    const char* key;
    const char* symbol;
};

constexpr TabLabel kTabLabels[] = {
    {AppTab::talk, "tab.talk", "bubble.left.and.bubble.right.fill"},
    {AppTab::agent, "tab.agent", "person.crop.circle.fill.badge.checkmark"},
    {AppTab::settings, "tab.settings", "gearshape.fill"},
    {AppTab::diagnostics, "tab.diagnostics", "waveform.path.ecg"},
};
}  // namespace

MainContentView::MainContentView(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_tabs(new QTabWidget(this)),
      m_engineSync(context.settings, context.engine, context.commands)
{
    setObjectName(QStringLiteral("mainContentView"));
    m_tabs->setObjectName(QStringLiteral("mainTabs"));
    m_tabs->setDocumentMode(true);
    for (const TabLabel& label : kTabLabels) {
        auto* slot = new QWidget;
        (new QVBoxLayout(slot))->setContentsMargins(0, 0, 0, 0);
        m_tabs->addTab(slot, Icons::symbol(QLatin1String(label.symbol)), QString());
    }
    buildPage(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainContentView::buildPage);
    relabelTabs();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &MainContentView::relabelTabs);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
}

QWidget* MainContentView::makeTab(AppTab tab)
{
    switch (tab) {
    case AppTab::talk:
        return new TalkTab(m_context, m_context.services.skills);
    case AppTab::agent:
        return new AgentTab(m_context);
    case AppTab::settings:
        return new SettingsTab(m_context);
    case AppTab::diagnostics:
        return new DiagnosticsTab(m_context);
    }
    Q_UNREACHABLE();
    return nullptr;
}

void MainContentView::buildPage(int index)
{
    QWidget* slot = m_tabs->widget(index);
    if (!slot || !slot->layout()->isEmpty())
        return;
    slot->layout()->addWidget(makeTab(kTabLabels[index].tab));
}

QWidget& MainContentView::currentPage() const
{
    return *m_tabs->currentWidget()->layout()->itemAt(0)->widget();
}

AppTab MainContentView::selectedTab() const
{
    return kTabLabels[m_tabs->currentIndex()].tab;
}

void MainContentView::selectTab(AppTab tab)
{
    for (int i = 0; i < int(std::size(kTabLabels)); ++i)
        if (kTabLabels[i].tab == tab)
            m_tabs->setCurrentIndex(i);
}

void MainContentView::relabelTabs()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    for (int i = 0; i < int(std::size(kTabLabels)); ++i)
        m_tabs->setTabText(i, L10n::t(QLatin1String(kTabLabels[i].key), language));
}
