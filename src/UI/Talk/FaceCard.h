#pragma once

#include "UI/Talk/CardFrame.h"

struct AppContext;
class FaceAvatar;
class MicLevelBar;

// The assistant's face on its rounded card, with the microphone level bar along the bottom.
class FaceCard final : public CardFrame {
    Q_OBJECT
public:
    // The tiles' picture height, and how far it gives way when the window is short.
    static constexpr int tallest = 200;
    static constexpr int shortest = 64;

    explicit FaceCard(AppContext& context, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {tallest, tallest}; }

    FaceAvatar& face() { return *m_face; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void recolour();

    AppContext& m_context;
    FaceAvatar* m_face;
    MicLevelBar* m_level;
};
