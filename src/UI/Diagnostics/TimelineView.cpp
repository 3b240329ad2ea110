#include "UI/Diagnostics/TimelineView.h"

#include "Diagnostics/PipelineLog.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/LogListView.h"
#include "UI/Diagnostics/TimelineRowDelegate.h"
#include "UI/Models/PipelineLogModel.h"
#include "UI/Models/TimelineText.h"

TimelineView::TimelineView(AppContext& context, QWidget* parent)
    : LogPanel(context, "btn.copy", TimelineText::kShownEntries, 240, true, parent)
{
    setObjectName(QStringLiteral("timelineView"));
    list().setItemDelegate(new TimelineRowDelegate(context.theme, this));
    list().setSelectionMode(QAbstractItemView::NoSelection);
    setName(TimelineText::name());
    // The whole log, not only the rows listed; counted once the log has settled after each change.
    connect(&context.log, &PipelineLog::entriesChanged, this, &TimelineView::recount);
}

void TimelineView::showEvent(QShowEvent* event)
{
    LogPanel::showEvent(event);
    recount();
}

void TimelineView::recount()
{
    if (isVisible())
        setTitle(TimelineText::header(m_context.log.entries().size()));
}

QString TimelineView::copyText() const
{
    return TimelineText::copyAll(m_context.log.entries());
}
