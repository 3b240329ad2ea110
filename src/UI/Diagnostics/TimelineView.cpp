#include "UI/Diagnostics/TimelineView.h"

#include "Diagnostics/PipelineLog.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/LogListView.h"
#include "UI/Diagnostics/TimelineRowDelegate.h"
#include "UI/Models/PipelineLogModel.h"
#include "UI/Models/TimelineText.h"

TimelineView::TimelineView(AppContext& context, QWidget* parent) : LogPanel(context, "btn.copy", 240, true, parent)
{
    setObjectName(QStringLiteral("timelineView"));
    list().setItemDelegate(new TimelineRowDelegate(context.theme, this));
    list().setSelectionMode(QAbstractItemView::NoSelection);
    setName(TimelineText::name());
    for (const auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&model(), changed, this, &TimelineView::recount);
    connect(&model(), &QAbstractItemModel::modelReset, this, &TimelineView::recount);
}

void TimelineView::showEvent(QShowEvent* event)
{
    LogPanel::showEvent(event);
    recount();
}

void TimelineView::recount()
{
    if (isVisible())
        setTitle(TimelineText::header(model().rowCount()));
}

QString TimelineView::copyText() const
{
    return TimelineText::copyAll(m_context.log.entries());
}
