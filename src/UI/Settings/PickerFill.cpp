#include "UI/Settings/PickerFill.h"

#include "UI/Kit/Icons.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace PickerFill {

void fill(QComboBox& combo, const PickerItems& items)
{
    const QSignalBlocker blocker(&combo);
    const QVariant selected = combo.currentData();
    combo.clear();
    auto* model = qobject_cast<QStandardItemModel*>(combo.model());
    for (const PickerItem& entry : items) {
        auto* item = new QStandardItem(entry.text);
        if (!entry.symbol.isEmpty())
            item->setIcon(Icons::symbol(entry.symbol));
        switch (entry.kind) {
        case PickerItem::Kind::choice:
            item->setData(entry.value, Qt::UserRole);
            break;
        case PickerItem::Kind::header: {
            item->setFlags(Qt::NoItemFlags);
            QFont font = combo.font();
            font.setBold(true);
            item->setFont(font);
            break;
        }
        case PickerItem::Kind::unavailable:
            item->setData(entry.value, Qt::UserRole);
            item->setFlags(Qt::NoItemFlags);  // shown while stored, never chosen again
            break;
        }
        item->setToolTip(entry.help);
        model->appendRow(item);
    }
    combo.setCurrentIndex(selected.isValid() ? combo.findData(selected) : -1);
    combo.view()->setMinimumWidth(combo.view()->sizeHintForColumn(0));
}

}  // namespace PickerFill
