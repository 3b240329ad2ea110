#pragma once

#include "UI/Models/ModeInfo.h"

#include <QWidget>

// A small capsule that marks the current mode as released or beta.
class ModeStageBadge final : public QWidget {
    Q_OBJECT
public:
    explicit ModeStageBadge(QWidget* parent = nullptr);

    void setBadge(const ModeInfo::Badge& badge);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ModeInfo::Badge m_badge;
};
