#include "UI/Talk/TileRow.h"

#include "UI/Talk/AssistantTile.h"
#include "UI/Talk/PillRow.h"
#include "UI/Talk/UserTile.h"

#include <QHBoxLayout>
#include <QResizeEvent>

namespace {
constexpr int tileSpacing = 12;
}  // namespace

TileRow::TileRow(AssistantTile* assistant, UserTile* user, QWidget* parent)
    : QWidget(parent), m_assistant(assistant), m_user(user)
{
    setObjectName(QStringLiteral("tileRow"));
    assistant->footer().pairWith(user->footer());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(tileSpacing);
    // The row's own hints hold; the layout would otherwise fix its least height for it.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(assistant, 1);
    layout->addWidget(user, 1);
}

int TileRow::tilesHeight(Extent extent) const
{
    // Both tiles at the width each gets; the row as tall as the taller.
    const int tileWidth = (width() - tileSpacing) / 2;
    int tallest = 0;
    for (const QWidget* tile : {static_cast<QWidget*>(m_assistant), static_cast<QWidget*>(m_user)}) {
        const QLayout& column = *tile->layout();
        tallest = std::max(tallest, extent == Extent::least ? column.totalMinimumHeightForWidth(tileWidth)
                                                            : column.totalHeightForWidth(tileWidth));
    }
    return tallest;
}

QSize TileRow::sizeHint() const
{
    return {layout()->sizeHint().width(), tilesHeight(Extent::preferred)};
}

QSize TileRow::minimumSizeHint() const
{
    return {layout()->minimumSize().width(), tilesHeight(Extent::least)};
}

void TileRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        updateGeometry();
}
