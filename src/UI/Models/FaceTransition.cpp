#include "UI/Models/FaceTransition.h"

#include <QEasingCurve>

#include <algorithm>

namespace {
using Frame = FaceAvatarModel::Frame;

double between(double from, double to, double share)
{
    return from + (to - from) * share;
}

QColor between(const QColor& from, const QColor& to, double share)
{
    const auto mix = [share](float a, float b) { return float(between(a, b, share)); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()), mix(from.blueF(), to.blueF()),
                            mix(from.alphaF(), to.alphaF()));
}

QRectF between(const QRectF& from, const QRectF& to, double share)
{
    return {between(from.x(), to.x(), share), between(from.y(), to.y(), share),
            between(from.width(), to.width(), share), between(from.height(), to.height(), share)};
}

// The face's transforms are turns and moves, whose matrices blend well for the small turns of
// the brows.
QTransform between(const QTransform& from, const QTransform& to, double share)
{
    const auto m = [share](double a, double b) { return between(a, b, share); };
    return {m(from.m11(), to.m11()), m(from.m12(), to.m12()), m(from.m21(), to.m21()),
            m(from.m22(), to.m22()), m(from.dx(), to.dx()),   m(from.dy(), to.dy())};
}

// One layer of the drawn face; a gradient or an outline path is the new one's.
FaceShape between(const FaceShape& from, const FaceShape& to, double share)
{
    FaceShape shape = to;
    shape.frame = between(from.frame, to.frame, share);
    shape.transform = between(from.transform, to.transform, share);
    if (from.fill.style() == Qt::SolidPattern && to.fill.style() == Qt::SolidPattern)
        shape.fill = between(from.fill.color(), to.fill.color(), share);
    if (from.outline.style() != Qt::NoPen && to.outline.style() != Qt::NoPen) {
        shape.outline.setColor(between(from.outline.color(), to.outline.color(), share));
        shape.outline.setWidthF(between(from.outline.widthF(), to.outline.widthF(), share));
    }
    shape.opacity = between(from.opacity, to.opacity, share);
    return shape;
}

Frame::Glow between(const Frame::Glow& from, Frame::Glow to, double share)
{
    to.opacity = between(from.opacity, to.opacity, share);
    return to;
}

Frame::Ring between(const Frame::Ring& from, Frame::Ring to, double share)
{
    to.width = between(from.width, to.width, share);
    to.opacity = between(from.opacity, to.opacity, share);
    return to;
}

// The new bubble, as it comes or goes with the phase; what it shows is the new one's.
Frame::Bubble between(const Frame::Bubble& from, Frame::Bubble to, double share)
{
    to.opacity = between(from.opacity, to.opacity, share);
    return to;
}

// A part that either frame may lack: blended where both have it, else the one there is, fading
// out (the old frame's) or in (the new one's).
template <typename Part>
std::optional<Part> faded(std::optional<Part> from, std::optional<Part> to, double share)
{
    if (from && to)
        return between(*from, *to, share);
    if (from) {
        from->opacity *= 1 - share;
        return from;
    }
    if (to)
        to->opacity *= share;
    return to;
}
}  // namespace

FaceTransition::FaceTransition(Scheduler& scheduler) : m_scheduler(scheduler), m_tick(scheduler)
{
}

void FaceTransition::phaseChanged(const Frame& shown)
{
    m_phaseFrom = shown;
    m_phaseStart = m_scheduler.now();
    tick();
}

void FaceTransition::moodChanged(const Frame& shown)
{
    if (!shown.bubble)
        return;  // no bubble on screen: the new one comes with its phase
    m_moodFrom = shown.bubble->mood;
    m_moodStart = m_scheduler.now();
    tick();
}

void FaceTransition::finish()
{
    m_tick.cancel();
    m_phaseFrom.reset();
    m_phaseStart.reset();
    m_moodFrom.reset();
    m_moodStart.reset();
}

bool FaceTransition::isRunning() const
{
    return progress(m_phaseStart, kPhaseDuration) < 1 || progress(m_moodStart, kMoodDuration) < 1;
}

FaceTransition::Frame FaceTransition::frame(const Frame& target) const
{
    Frame frame = target;
    if (const double phase = progress(m_phaseStart, kPhaseDuration); m_phaseFrom && phase < 1)
        frame = blended(*m_phaseFrom, target, eased(phase));
    if (const double mood = progress(m_moodStart, kMoodDuration);
        m_moodFrom && mood < 1 && frame.bubble && frame.bubble->mood != *m_moodFrom) {
        frame.bubble->leaving = *m_moodFrom;
        frame.bubble->arrival = eased(mood);
    }
    return frame;
}

double FaceTransition::eased(double linear)
{
    // The cubic Bézier curve (0.42, 0) (0.58, 1) that desktop toolkits call ease-in-out.
    static const QEasingCurve curve = [] {
        QEasingCurve bezier(QEasingCurve::BezierSpline);
        bezier.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
        return bezier;
    }();
    return curve.valueForProgress(std::clamp(linear, 0.0, 1.0));
}

FaceTransition::Frame FaceTransition::blended(const Frame& from, const Frame& to, double share)
{
    Frame frame = to;
    // The halos fade across rather than blend their colours: a halo of every phase colour is
    // blurred once and kept, one of each colour in between would be blurred afresh each frame.
    frame.haloOpacity = to.haloOpacity * share;
    frame.leavingHalos.clear();
    for (Frame::Glow halo : from.leavingHalos + QList<Frame::Glow>{{from.phaseColor, from.haloOpacity}}) {
        halo.opacity *= 1 - share;
        frame.leavingHalos << halo;
    }
    // A different face (another style) is not blended into: it shows as it is.
    if (from.body == to.body) {
        if (from.faceLayers.size() == to.faceLayers.size())
            for (qsizetype i = 0; i < to.faceLayers.size(); ++i)
                frame.faceLayers[i] = between(from.faceLayers[i], to.faceLayers[i], share);
        frame.emojiScale = between(from.emojiScale, to.emojiScale, share);
        frame.pictureScale = between(from.pictureScale, to.pictureScale, share);
        frame.glow = faded(from.glow, to.glow, share);
        frame.ring = faded(from.ring, to.ring, share);
    }
    frame.bubble = faded(from.bubble, to.bubble, share);
    return frame;
}

double FaceTransition::progress(std::optional<Scheduler::TimePoint> start, std::chrono::milliseconds duration) const
{
    if (!start)
        return 1.0;
    const double seconds = Scheduler::secondsBetween(*start, m_scheduler.now());
    return std::clamp(seconds / std::chrono::duration<double>(duration).count(), 0.0, 1.0);
}

void FaceTransition::tick()
{
    if (m_tick.isPending())
        return;
    m_tick.start(kFrameInterval, [this] {
        if (isRunning())
            tick();
        else
            finish();
        if (onFrame)
            onFrame();
    });
}
