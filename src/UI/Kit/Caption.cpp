#include "UI/Kit/Caption.h"

#include <QString>
#include <QWidget>

namespace Caption {

void name(QWidget& widget, const QString& caption, const QString& help, bool shownWhole)
{
    if (caption.isEmpty()) {
        widget.setToolTip(help);
        return;
    }
    widget.setAccessibleName(caption);
    if (shownWhole || help.startsWith(caption))
        widget.setToolTip(help);
    else
        widget.setToolTip(help.isEmpty() ? caption : caption + QLatin1Char('\n') + help);
}

}  // namespace Caption
