#include "UI/Talk/PillRow.h"

#include "UI/Models/SegmentWidths.h"
#include "UI/Talk/PillButton.h"

#include <QEvent>
#include <QStyle>

PillRow::PillRow(int spacing, QWidget* parent) : QWidget(parent), m_spacing(spacing)
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void PillRow::add(PillButton* button)
{
    button->setParent(this);
    m_buttons << button;
    updateGeometry();
}

QList<PillButton*> PillRow::shown() const
{
    QList<PillButton*> shown;
    for (PillButton* button : m_buttons)
        if (!button->isHidden())
            shown << button;
    return shown;
}

QSize PillRow::sizeHint() const
{
    const QList<PillButton*> buttons = shown();
    int width = m_spacing * std::max(0, int(buttons.size()) - 1);
    int height = 0;
    for (const PillButton* button : buttons) {
        width += button->sizeHint().width();
        height = std::max(height, button->sizeHint().height());
    }
    return {width, height};
}

QSize PillRow::minimumSizeHint() const
{
    const QList<PillButton*> buttons = shown();
    int width = m_spacing * std::max(0, int(buttons.size()) - 1);
    for (const PillButton* button : buttons)
        width += button->minimumSizeHint().width();
    return {width, sizeHint().height()};
}

void PillRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

bool PillRow::event(QEvent* event)
{
    // A button with a new caption, or one shown or hidden, asks for the row to be laid out again.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
    }
    return QWidget::event(event);
}

void PillRow::place()
{
    const QList<PillButton*> buttons = shown();
    if (buttons.isEmpty())
        return;
    QList<int> wanted;
    int smallest = width();
    for (const PillButton* button : buttons) {
        wanted << button->sizeHint().width();
        smallest = std::min(smallest, button->minimumSizeHint().width());
    }
    const int room = width() - m_spacing * int(buttons.size() - 1);
    const QList<int> widths = SegmentWidths::share(wanted, room, smallest);
    int leading = 0;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const int buttonHeight = buttons[i]->sizeHint().height();
        const QRect box(leading, (height() - buttonHeight) / 2, widths[i], buttonHeight);
        buttons[i]->setGeometry(QStyle::visualRect(layoutDirection(), rect(), box));
        leading += widths[i] + m_spacing;
    }
}
