#pragma once

#include "UI/Models/PickerItem.h"

class QComboBox;

// Puts picker entries into a combo box with its signals blocked, so filling never writes a
// setting: group titles and unavailable stored values show but cannot be chosen. The value
// selected before stays selected (nothing stays selected when nothing was).
namespace PickerFill {

void fill(QComboBox& combo, const PickerItems& items);

}  // namespace PickerFill
