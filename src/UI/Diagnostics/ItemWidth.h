#pragma once

class QStyleOptionViewItem;

// The width a list row may take: the view's visible width, which the view does not always
// put into the option it hands a delegate when it asks for a row's size.
namespace ItemWidth {

int of(const QStyleOptionViewItem& option);

}  // namespace ItemWidth
