#pragma once

#include "Support/Scheduler.h"
#include "UI/Face/Painting/FacePainter.h"
#include "UI/Models/FaceAnimation.h"
#include "UI/Models/FaceAvatarModel.h"
#include "UI/Models/FaceTransition.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <optional>

class MicLevelMonitor;

// The animated picture of the assistant in the talk view. It copies what it is given into a
// state, paints the model's frame of it, and repaints only when something moves: the
// animation's timers, the bob's wake-ups and the frames of an easing change of phase or mood
// (FaceTransition) run while the widget is shown and stop when it is hidden, however often it
// is shown again; a change made while it is hidden shows at once when it is shown. The bob
// moves in whole device pixels, woken just when the next one is due, and moves the picture
// painted last (kept until something else changes) rather than painting it again, so a face
// left alone costs next to nothing. The picture before the last is kept too, so the end of a
// blink paints nothing afresh.
class FaceAvatar final : public QWidget {
    Q_OBJECT
public:
    FaceAvatar(const MicLevelMonitor& micLevel, Scheduler& scheduler, QWidget* parent = nullptr);

    void setPhase(ConversationPhase phase);
    void setGender(AvatarGender gender);
    void setStyle(AvatarStyle style);
    // The picture's file name in the avatar library, used with the custom style.
    void setCustomImageName(const std::optional<QString>& name);
    void setIdleMood(IdleMood mood, const QString& caption);
    // Keeps the face this many pixels clear of the bottom edge (a bar lies over it there);
    // the halo still spreads over the whole widget.
    void setClearBelow(int pixels);

    const FaceAnimation& animation() const { return m_animation; }
    const FaceTransition& transition() const { return m_transition; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Something other than the bob changed: the picture is painted afresh.
    void changed();
    // Both pictures are of no more use (size, palette).
    void forgetPictures();
    // The frame on screen, if any: what a change eases from.
    const FaceAvatarModel::Frame* shownFrame() const;
    // Repaints when the bob has moved by a device pixel, and waits for the next one.
    void followBob();
    // Where the face is laid out.
    QRectF faceArea() const;
    // The bob's travel in device pixels.
    double bobSteps() const;
    int bobStep() const;

    const MicLevelMonitor& m_micLevel;
    FaceAvatarModel::State m_state;
    std::optional<QString> m_customImageName;
    FacePainter m_painter;
    // A picture without the bob, the state it shows and the frame it was painted from; one
    // painted while a change eases shows a moment of it, never to be shown again.
    struct Painted {
        QPixmap picture;
        FaceAvatarModel::State state;
        FaceAvatarModel::Frame frame;
        bool easing = false;
    };
    // The last picture painted, then the one before it; null pictures are none.
    std::array<Painted, 2> m_painted;
    bool m_stale = true;  // the last picture no longer shows the state
    int m_paintedBobStep = 0;
    int m_clearBelow = 0;
    FaceAnimation m_animation;
    FaceTransition m_transition;
    SingleShot m_bobWake;
};
