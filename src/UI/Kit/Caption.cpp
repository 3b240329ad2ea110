#include "UI/Kit/Caption.h"

#include <QString>
#include <QWidget>

namespace Caption {

void name(QWidget& widget, const QString& caption, const QString& help, bool shownWhole)
{
    // Set only when changed: a new name is announced to screen readers, and this runs at
    // every resize.
    if (!caption.isEmpty() && widget.accessibleName() != caption)
        widget.setAccessibleName(caption);
    const bool told = caption.isEmpty() || shownWhole || help.startsWith(caption);
    const QString tip = told ? help : help.isEmpty() ? caption : caption + QLatin1Char('\n') + help;
    if (widget.toolTip() != tip)
        widget.setToolTip(tip);
}

}  // namespace Caption
