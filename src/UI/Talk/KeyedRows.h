#pragma once

#include <QBoxLayout>
#include <QHash>
#include <QList>
#include <QSet>

// Keeps one widget per key in a box layout, in the keys' order from position `first` on:
// the widgets of keys that went are deleted, a new key gets `make(index)`, and every other
// widget is kept (moved only when its place changed), so what it shows is updated in place.
namespace KeyedRows {

template <typename Key, typename Widget, typename Make>
void follow(QHash<Key, Widget*>& rows, const QList<Key>& keys, QBoxLayout& layout, int first, Make make)
{
    const QSet<Key> kept(keys.begin(), keys.end());
    for (auto it = rows.begin(); it != rows.end();) {
        if (kept.contains(it.key())) {
            ++it;
        } else {
            delete it.value();
            it = rows.erase(it);
        }
    }
    for (qsizetype i = 0; i < keys.size(); ++i) {
        Widget*& widget = rows[keys[i]];
        if (!widget)
            widget = make(i);
        const int position = first + int(i);
        if (layout.indexOf(widget) != position) {
            layout.removeWidget(widget);
            layout.insertWidget(position, widget);
        }
    }
}

}  // namespace KeyedRows
