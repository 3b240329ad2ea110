#pragma once

#include "UI/Diagnostics/RoundedPanel.h"

struct AppContext;

// The framed box of the four performance probes: switches that each turn off one suspected
// source of slowdown, written to their settings at once. Its texts are fixed Korean.
class PerformanceProbesPanel final : public RoundedPanel {
    Q_OBJECT
public:
    explicit PerformanceProbesPanel(AppContext& context, QWidget* parent = nullptr);
};
