#pragma once

#include "UI/Models/TalkActions.h"

#include <QWidget>

#include <array>

struct AppContext;
class CameraPlaceholder;
class CameraPreviewCard;
class PillButton;
class PillRow;
class QLabel;
class QStackedWidget;

// The user's tile: the live camera card while camera gaze is on and the camera captures,
// else a placeholder saying why there is no picture; under it the camera, fire and stop-speech
// buttons with the hints of the window's shortcuts (Ctrl+K, Ctrl+F, Ctrl+.).
class UserTile final : public QWidget {
    Q_OBJECT
public:
    explicit UserTile(AppContext& context, QWidget* parent = nullptr);

    // The label and buttons under the picture.
    PillRow& footer() const { return *m_footer; }

private:
    void refresh();

    AppContext& m_context;
    TalkActions m_actions;
    QStackedWidget* m_picture;
    CameraPlaceholder* m_placeholder;
    CameraPreviewCard* m_card;
    QLabel* m_you;
    std::array<PillButton*, 3> m_buttons{};
    PillRow* m_footer;
};
