#pragma once

#include "UI/Models/IdleMoodAnimator.h"

#include <QWidget>

struct AppContext;
class Dot;
class ElidedLabel;
class FaceCard;
class PillRow;
class QLabel;

// The assistant's tile: its face with the microphone level, then its name, the phase (or
// the rest) as a coloured dot and label, and the work-state buttons. It owns the idle-mood
// animator, which changes moods only while the tile shows and the engine is idle. Screen
// readers hear the face as the phase, and while idle, the mood it shows.
class AssistantTile final : public QWidget {
    Q_OBJECT
public:
    explicit AssistantTile(AppContext& context, QWidget* parent = nullptr);

    // The name, phase and work-state buttons under the face.
    PillRow& footer() const { return *m_footer; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void refreshFace();
    void followPhase();

    AppContext& m_context;
    IdleMoodAnimator m_moods;
    FaceCard* m_card;
    ElidedLabel* m_name;
    Dot* m_dot;
    QLabel* m_phase;
    PillRow* m_footer;
};
