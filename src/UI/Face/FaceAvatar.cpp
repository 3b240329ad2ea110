#include "UI/Face/FaceAvatar.h"

#include "Pipeline/MicLevelMonitor.h"
#include "Storage/AvatarLibrary.h"
#include "UI/Models/ThemePalette.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

FaceAvatar::FaceAvatar(const MicLevelMonitor& micLevel, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), m_micLevel(micLevel), m_animation(scheduler), m_transition(scheduler), m_bobWake(scheduler)
{
    setObjectName(QStringLiteral("faceAvatar"));
    m_animation.onChanged = [this] { changed(); };
    m_transition.onFrame = [this] { changed(); };
    // The level shows only while listening (halo, ring, mouth).
    connect(&micLevel, &MicLevelMonitor::levelChanged, this, [this] {
        if (m_state.phase == ConversationPhase::listening)
            changed();
    });
}

void FaceAvatar::changed()
{
    m_stale = true;
    update();
}

void FaceAvatar::forgetPictures()
{
    m_transition.finish();  // it eases from a picture laid out for another size or palette
    m_painted = {};
    m_stale = true;
}

const FaceAvatarModel::Frame* FaceAvatar::shownFrame() const
{
    return isVisible() && !m_painted[0].picture.isNull() ? &m_painted[0].frame : nullptr;
}

void FaceAvatar::setPhase(ConversationPhase phase)
{
    if (phase == m_state.phase)
        return;
    if (const FaceAvatarModel::Frame* shown = shownFrame())
        m_transition.phaseChanged(*shown);
    m_state.phase = phase;
    m_animation.setPhase(phase);
    changed();
}

void FaceAvatar::setGender(AvatarGender gender)
{
    m_state.gender = gender;
    changed();
}

void FaceAvatar::setStyle(AvatarStyle style)
{
    m_state.style = style;
    changed();
}

void FaceAvatar::setCustomImageName(const std::optional<QString>& name)
{
    m_customImageName = name;
    changed();
}

void FaceAvatar::setIdleMood(IdleMood mood, const QString& caption)
{
    if (const FaceAvatarModel::Frame* shown = shownFrame(); shown && mood != m_state.idleMood)
        m_transition.moodChanged(*shown);
    m_state.idleMood = mood;
    m_state.idleCaption = caption;
    changed();
}

void FaceAvatar::setClearBelow(int pixels)
{
    if (pixels == m_clearBelow)
        return;
    m_clearBelow = pixels;
    forgetPictures();
    update();
}

QRectF FaceAvatar::faceArea() const
{
    return FaceAvatarModel::areaClearOf(QRectF(rect()), m_clearBelow);
}

void FaceAvatar::paintEvent(QPaintEvent*)
{
    m_paintedBobStep = bobStep();
    const double dpr = devicePixelRatioF();
    const double bobOffset = m_paintedBobStep / dpr;
    // Looked up on every paint: the library serves it from memory, and a picture that
    // arrives later is shown at once.
    const auto picture =
        m_state.style == AvatarStyle::custom ? AvatarLibrary::loadImage(m_customImageName) : std::nullopt;
    const bool easing = m_transition.isRunning();
    // A picture of the user's own swells with the bob, so it is painted each time.
    if (picture || easing || m_stale || m_painted[0].picture.size() != size() * dpr) {
        FaceAvatarModel::State state = m_state;
        state.hasPicture = picture.has_value();
        state.level = m_micLevel.level();
        state.blinkOpen = m_animation.blinkOpen();
        state.speakingPhase = m_animation.speakingPhase();
        state.bob = picture ? m_animation.bob() : 0.0;
        state.dark = ThemePalette::isDark(palette());
        if (!picture && !easing && !m_painted[1].easing && m_painted[1].state == state &&
            m_painted[1].picture.size() == size() * dpr) {
            std::swap(m_painted[0], m_painted[1]);
        } else {
            FaceAvatarModel::Frame frame = FaceAvatarModel::frame(state, faceArea());
            frame.bobOffset = 0.0;
            if (easing)
                frame = m_transition.frame(frame);
            QPixmap painted(size() * dpr);
            painted.setDevicePixelRatio(dpr);
            painted.fill(Qt::transparent);
            QPainter onPicture(&painted);
            onPicture.setFont(font());
            m_painter.paint(onPicture, frame, picture.value_or(QImage()));
            m_painted[1] = std::exchange(m_painted[0], Painted{std::move(painted), state, std::move(frame), easing});
        }
        m_stale = picture.has_value() || easing;
    }
    QPainter painter(this);
    painter.drawPixmap(QPointF(0, bobOffset), m_painted[0].picture);
}

void FaceAvatar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        forgetPictures();
    QWidget::changeEvent(event);
}

void FaceAvatar::resizeEvent(QResizeEvent* event)
{
    forgetPictures();
    QWidget::resizeEvent(event);
}

void FaceAvatar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_animation.start();
    followBob();
}

void FaceAvatar::hideEvent(QHideEvent* event)
{
    m_bobWake.cancel();
    m_animation.stop();
    m_transition.finish();
    QWidget::hideEvent(event);
}

void FaceAvatar::followBob()
{
    if (bobStep() != m_paintedBobStep)
        update();
    const std::optional<double> next = FaceAnimation::secondsUntilNextBobStep(m_animation.bobSeconds(), bobSteps());
    if (next)
        m_bobWake.start(std::chrono::milliseconds(std::lround(*next * 1000)), [this] { followBob(); });
}

double FaceAvatar::bobSteps() const
{
    const QRectF area = faceArea();
    return FaceAvatarModel::bobOffset(1.0, std::min(area.width(), area.height())) * devicePixelRatioF();
}

int FaceAvatar::bobStep() const
{
    return int(std::lround(m_animation.bob() * bobSteps()));
}
