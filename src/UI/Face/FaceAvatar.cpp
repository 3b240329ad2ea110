#include "UI/Face/FaceAvatar.h"

#include "Pipeline/MicLevelMonitor.h"
#include "Storage/AvatarLibrary.h"
#include "UI/Models/ThemePalette.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr std::chrono::milliseconds bobTick{33};
}

FaceAvatar::FaceAvatar(const MicLevelMonitor& micLevel, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), m_micLevel(micLevel), m_animation(scheduler), m_tick(scheduler)
{
    setObjectName(QStringLiteral("faceAvatar"));
    m_animation.onChanged = [this] { update(); };
    // The level shows only while listening (halo, ring, mouth).
    connect(&micLevel, &MicLevelMonitor::levelChanged, this, [this] {
        if (m_state.phase == ConversationPhase::listening)
            update();
    });
}

void FaceAvatar::setPhase(ConversationPhase phase)
{
    m_state.phase = phase;
    m_animation.setPhase(phase);
    update();
}

void FaceAvatar::setGender(AvatarGender gender)
{
    m_state.gender = gender;
    update();
}

void FaceAvatar::setStyle(AvatarStyle style)
{
    m_state.style = style;
    update();
}

void FaceAvatar::setCustomImageName(const std::optional<QString>& name)
{
    m_customImageName = name;
    update();
}

void FaceAvatar::setIdleMood(IdleMood mood, const QString& caption)
{
    m_state.idleMood = mood;
    m_state.idleCaption = caption;
    update();
}

void FaceAvatar::paintEvent(QPaintEvent*)
{
    // Looked up on every paint: the library serves it from memory, and a picture that
    // arrives later is shown at once.
    const auto picture =
        m_state.style == AvatarStyle::custom ? AvatarLibrary::loadImage(m_customImageName) : std::nullopt;
    m_state.hasPicture = picture.has_value();
    m_state.level = m_micLevel.level();
    m_state.blinkOpen = m_animation.blinkOpen();
    m_state.speakingPhase = m_animation.speakingPhase();
    m_state.bob = m_animation.bob();
    m_state.dark = ThemePalette::isDark(palette());
    m_paintedBobStep = bobStep();
    QPainter painter(this);
    m_painter.paint(painter, FaceAvatarModel::frame(m_state, rect()), picture.value_or(QImage()));
}

void FaceAvatar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_animation.start();
    tick();
}

void FaceAvatar::hideEvent(QHideEvent* event)
{
    m_tick.cancel();
    m_animation.stop();
    QWidget::hideEvent(event);
}

void FaceAvatar::tick()
{
    if (bobStep() != m_paintedBobStep)
        update();
    m_tick.start(bobTick, [this] { tick(); });
}

int FaceAvatar::bobStep() const
{
    const double offset = FaceAvatarModel::bobOffset(m_animation.bob(), std::min(width(), height()));
    return int(std::lround(offset * 4 * devicePixelRatioF()));
}
