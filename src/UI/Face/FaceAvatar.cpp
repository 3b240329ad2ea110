#include "UI/Face/FaceAvatar.h"

#include "Pipeline/MicLevelMonitor.h"
#include "Storage/AvatarLibrary.h"
#include "UI/Models/ThemePalette.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

FaceAvatar::FaceAvatar(const MicLevelMonitor& micLevel, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), m_micLevel(micLevel), m_animation(scheduler), m_bobWake(scheduler)
{
    setObjectName(QStringLiteral("faceAvatar"));
    m_animation.onChanged = [this] { changed(); };
    // The level shows only while listening (halo, ring, mouth).
    connect(&micLevel, &MicLevelMonitor::levelChanged, this, [this] {
        if (m_state.phase == ConversationPhase::listening)
            changed();
    });
}

void FaceAvatar::changed()
{
    m_painted = QPixmap();
    update();
}

void FaceAvatar::setPhase(ConversationPhase phase)
{
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
    m_state.idleMood = mood;
    m_state.idleCaption = caption;
    changed();
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
    // A picture of the user's own swells with the bob, so it is painted each time.
    if (picture || m_painted.isNull() || m_painted.size() != size() * dpr) {
        m_state.hasPicture = picture.has_value();
        m_state.level = m_micLevel.level();
        m_state.blinkOpen = m_animation.blinkOpen();
        m_state.speakingPhase = m_animation.speakingPhase();
        m_state.bob = m_animation.bob();
        m_state.dark = ThemePalette::isDark(palette());
        FaceAvatarModel::Frame frame = FaceAvatarModel::frame(m_state, rect());
        frame.bobOffset = 0.0;
        m_painted = QPixmap(size() * dpr);
        m_painted.setDevicePixelRatio(dpr);
        m_painted.fill(Qt::transparent);
        QPainter onPicture(&m_painted);
        m_painter.paint(onPicture, frame, picture.value_or(QImage()));
    }
    QPainter painter(this);
    painter.drawPixmap(QPointF(0, bobOffset), m_painted);
    if (picture)
        m_painted = QPixmap();
}

void FaceAvatar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        m_painted = QPixmap();
    QWidget::changeEvent(event);
}

void FaceAvatar::resizeEvent(QResizeEvent* event)
{
    m_painted = QPixmap();
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
    return FaceAvatarModel::bobOffset(1.0, std::min(width(), height())) * devicePixelRatioF();
}

int FaceAvatar::bobStep() const
{
    return int(std::lround(m_animation.bob() * bobSteps()));
}
