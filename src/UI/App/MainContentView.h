#pragma once

#include "UI/App/EngineSettingsSync.h"
#include "UI/Models/AppTab.h"

#include <QWidget>

struct AppContext;
class QTabWidget;

// The window's content: the talk, agent, settings and diagnostics tabs, labelled in the
// interface language (relabelled at once when it changes), starting on the talk tab every
// time; and the engine kept in step with the settings it must follow (EngineSettingsSync).
// A tab's page is built when the tab is first chosen: the window's first frame needs only
// the talk tab, and laying out the long settings pages would delay it several times over.
class MainContentView final : public QWidget {
    Q_OBJECT
public:
    explicit MainContentView(AppContext& context, QWidget* parent = nullptr);

    AppTab selectedTab() const;
    void selectTab(AppTab tab);
    // The page the selected tab shows.
    QWidget& currentPage() const;

private:
    QWidget* makeTab(AppTab tab);
    // Builds the page of the tab at `index` into its slot, once.
    void buildPage(int index);
    void relabelTabs();

    AppContext& m_context;
    QTabWidget* m_tabs;
    EngineSettingsSync m_engineSync;
};
