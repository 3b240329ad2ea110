#include "UI/Diagnostics/ItemWidth.h"

#include <QAbstractItemView>
#include <QStyleOptionViewItem>

namespace ItemWidth {

int of(const QStyleOptionViewItem& option)
{
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
        return view->viewport()->width();
    return option.rect.width();
}

}  // namespace ItemWidth
