#include "UI/Diagnostics/LogListView.h"

#include "UI/Models/PipelineLogModel.h"

#include <QScrollBar>

LogListView::LogListView(PipelineLogModel& model, Scheduler& scheduler, bool followsNewest, QWidget* parent)
    : QListView(parent), m_model(model), m_settle(scheduler), m_followsNewest(followsNewest)
{
    setModel(&model);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);  // rows wrap to the width, so a new width lays them out again
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover);

    // Only where the user leaves the scroll bar counts: a longer list leaves the value alone.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { m_atBottom = value >= verticalScrollBar()->maximum(); });
    connect(&model, &PipelineLogModel::newestChanged, this, &LogListView::followNewest);
    // Measured while they are still in the model.
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex&, int first, int last) {
        for (int row = first; first == 0 && row <= last; ++row)
            m_removedHeight += sizeHintForIndex(m_model.index(row)).height();
    });
    connect(&model, &QAbstractItemModel::rowsRemoved, this,
            [this] { keepReadingPosition(std::exchange(m_removedHeight, 0)); });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] { m_atBottom = true; });
}

void LogListView::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    followNewest();
}

void LogListView::followNewest()
{
    if (!m_followsNewest || !m_atBottom || !m_model.newestId())
        return;
    // Rows are laid out when control returns to the event loop; scrollToBottom lays them out first.
    m_settle.start(std::chrono::milliseconds(0), [this] {
        scrollToBottom();
        m_atBottom = true;
    });
}

void LogListView::keepReadingPosition(int removedHeight)
{
    if (removedHeight <= 0 || (m_followsNewest && m_atBottom))
        return;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(std::max(0, bar->value() - removedHeight));
}
