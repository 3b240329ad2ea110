#pragma once

#include "Support/RawEnum.h"

// The main window's tabs, in their order on screen.
enum class AppTab { talk, agent, settings, diagnostics };

template <>
struct RawEnumTraits<AppTab> {
    static constexpr std::array<RawCase<AppTab>, 4> cases{{
        {AppTab::talk, "talk"},
        {AppTab::agent, "agent"},
        {AppTab::settings, "settings"},
        {AppTab::diagnostics, "diagnostics"},
    }};
};
