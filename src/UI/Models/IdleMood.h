#pragma once

#include "Support/RawEnum.h"

// What the assistant is pretending to do while it has nothing to do.
enum class IdleMood { sleeping, eating, coffee, reading, stretching, snack, daydreaming, doodling, napping, yoga };

template <>
struct RawEnumTraits<IdleMood> {
    static constexpr std::array<RawCase<IdleMood>, 10> cases{{
        {IdleMood::sleeping, "sleeping"},
        {IdleMood::eating, "eating"},
        {IdleMood::coffee, "coffee"},
        {IdleMood::reading, "reading"},
        {IdleMood::stretching, "stretching"},
        {IdleMood::snack, "snack"},
        {IdleMood::daydreaming, "daydreaming"},
        {IdleMood::doodling, "doodling"},
        {IdleMood::napping, "napping"},
        {IdleMood::yoga, "yoga"},
    }};
};

QString emoji(IdleMood mood);
// "idle.mood." followed by the raw value: the localization key of the mood's caption.
QString captionKey(IdleMood mood);
