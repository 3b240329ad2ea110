#pragma once

#include "UI/Models/TalkButtons.h"

#include <QWidget>

#include <array>

struct AppContext;
class CameraPlaceholder;
class CameraPreviewCard;
class PillButton;
class QLabel;
class QStackedWidget;

// The user's tile: the live camera card while camera gaze is on and the camera captures,
// else a placeholder saying why there is no picture; under it the camera, fire and stop-speech
// buttons with their shortcuts (Ctrl+K, Ctrl+F, Ctrl+.).
class UserTile final : public QWidget {
    Q_OBJECT
public:
    explicit UserTile(AppContext& context, QWidget* parent = nullptr);

private:
    void refresh();
    void press(TalkButtons::Kind kind);

    AppContext& m_context;
    QStackedWidget* m_picture;
    CameraPlaceholder* m_placeholder;
    CameraPreviewCard* m_card;
    QLabel* m_you;
    std::array<PillButton*, 3> m_buttons{};
};
