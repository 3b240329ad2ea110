#include "UI/Diagnostics/LogView.h"

#include "Diagnostics/PipelineLog.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/LogListView.h"
#include "UI/Diagnostics/LogRowDelegate.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Models/LogViewText.h"
#include "UI/Models/PipelineLogModel.h"

#include <QAction>

LogView::LogView(AppContext& context, QWidget* parent)
    : LogPanel(context, "btn.copy_all", LogViewText::kShownEntries, 180, false, parent)
{
    setObjectName(QStringLiteral("rawLogView"));
    setName(QStringLiteral("Pipeline log"));
    setTitle(QStringLiteral("Pipeline log"));
    auto* delegate = new LogRowDelegate(context.theme, this);
    list().setItemDelegate(delegate);
    list().setSelectionMode(QAbstractItemView::SingleSelection);
    connect(delegate, &LogRowDelegate::copyRequested, this, &LogView::copyLine);

    auto* copyChosen = new QAction(LogRowDelegate::copyButtonTip(), &list());
    copyChosen->setShortcut(QKeySequence::Copy);
    copyChosen->setShortcutContext(Qt::WidgetShortcut);
    connect(copyChosen, &QAction::triggered, this, [this] {
        if (const QModelIndex chosen = list().currentIndex(); chosen.isValid())
            copyLine(chosen.row());
    });
    list().addAction(copyChosen);
}

void LogView::copyLine(int row)
{
    m_context.clipboard.setText(model().entry(row).line());
}

QString LogView::copyText() const
{
    return LogViewText::copyAll(m_context.log.entries());
}
