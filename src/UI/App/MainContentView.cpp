#include "UI/App/MainContentView.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace {
struct TabLabel {
    AppTab tab;
    const char* key;
    const char* symbol;
};

constexpr TabLabel tabLabels[] = {
    {AppTab::talk, "tab.talk", "bubble.left.and.bubble.right.fill"},
    {AppTab::agent, "tab.agent", "person.crop.circle.fill.badge.checkmark"},
    {AppTab::settings, "tab.settings", "gearshape.fill"},
    {AppTab::diagnostics, "tab.diagnostics", "waveform.path.ecg"},
};

// A tab whose view is still to come: empty, but named so tests and later views find it.
QWidget* placeholder(const char* objectName)
{
    auto* widget = new QWidget;
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}
}  // namespace

MainContentView::MainContentView(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_tabs(new QTabWidget(this)),
      m_engineSync(context.settings, context.engine, context.commands)
{
    setObjectName(QStringLiteral("mainContentView"));
    m_tabs->setObjectName(QStringLiteral("mainTabs"));
    m_tabs->setDocumentMode(true);
    for (const TabLabel& label : tabLabels)
        m_tabs->addTab(makeTab(label.tab), Icons::symbol(QLatin1String(label.symbol)), QString());
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
        return placeholder("talkTab");
    case AppTab::agent:
        return placeholder("agentTab");
    case AppTab::settings:
        return placeholder("settingsTab");
    case AppTab::diagnostics:
        return placeholder("diagnosticsTab");
    }
    return placeholder("");
}

AppTab MainContentView::selectedTab() const
{
    return tabLabels[m_tabs->currentIndex()].tab;
}

void MainContentView::selectTab(AppTab tab)
{
    for (int i = 0; i < int(std::size(tabLabels)); ++i)
        if (tabLabels[i].tab == tab)
            m_tabs->setCurrentIndex(i);
}

void MainContentView::relabelTabs()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    for (int i = 0; i < int(std::size(tabLabels)); ++i)
        m_tabs->setTabText(i, L10n::t(QLatin1String(tabLabels[i].key), language));
}
