#include "UI/Camera/CameraPreviewCard.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Camera/FrameFeed.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/CameraCard.h"
#include "UI/Talk/TextStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal radius = 14;
constexpr qreal border = 3;
constexpr qreal shadowDrop = 4;
}  // namespace

CameraPreviewCard::CameraPreviewCard(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("cameraPreviewCard"));
    setFont(TextStyle::font(TextStyle::Size::caption, QFont::Medium));
    connect(&context.engine, &EngineState::gazeStatusChanged, this, qOverload<>(&QWidget::update));
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, qOverload<>(&QWidget::update));
    connect(&context.theme, &Theme::appearanceChanged, this, qOverload<>(&QWidget::update));
}

CameraPreviewCard::~CameraPreviewCard() = default;

void CameraPreviewCard::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_feed)
        m_feed = std::make_unique<FrameFeed>(m_context.commands.subscribeCameraPreview(),
                                             [this](const QImage& frame) { takeFrame(frame); });
}

void CameraPreviewCard::hideEvent(QHideEvent* event)
{
    m_feed.reset();
    QWidget::hideEvent(event);
}

void CameraPreviewCard::takeFrame(const QImage& frame)
{
    // Mirrored as the user sees themself; grey is decided per frame, so a change of the
    // setting shows with the next frame without re-subscribing.
    m_picture = frame.mirrored(true, false);
    if (m_context.settings.cameraGrayscaleProcessing())
        m_picture = m_picture.convertToFormat(QImage::Format_Grayscale8);
    update();
}

void CameraPreviewCard::paintEvent(QPaintEvent*)
{
    const QColor gaze = CameraCard::statusColour(m_context.engine.gazeStatus(), m_context.theme.isDark());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF card = QRectF(rect()).adjusted(2, 0, -2, -shadowDrop - 2);

    // A soft shadow below: a few widening, fainter outlines.
    painter.setPen(Qt::NoPen);
    for (int step = 1; step <= 4; ++step) {
        painter.setBrush(QColor(0, 0, 0, 16));
        const QRectF shade = card.translated(0, shadowDrop).adjusted(-step / 2.0, 0, step / 2.0, step / 2.0);
        painter.drawRoundedRect(shade, radius + step / 2.0, radius + step / 2.0);
    }

    QPainterPath shape;
    shape.addRoundedRect(card, radius, radius);
    painter.save();
    painter.setClipPath(shape);
    painter.fillRect(card, QColor(20, 20, 20));
    if (!m_picture.isNull())
        painter.drawImage(card, m_picture, CameraCard::fillSource(m_picture.size(), card.size()));
    painter.restore();
    painter.setPen(QPen(gaze, border));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = border / 2;
    painter.drawRoundedRect(card.adjusted(inset, inset, -inset, -inset), radius - inset, radius - inset);
    paintBadge(painter, card, gaze);
}

void CameraPreviewCard::paintBadge(QPainter& painter, const QRectF& card, const QColor& colour)
{
    const QString text = L10n::t(CameraCard::statusKey(m_context.engine.gazeStatus()), m_context.settings.uiLanguage());
    const QFontMetricsF metrics(font());
    const qreal dot = 7;
    const qreal width = std::min(10 + dot + 6 + metrics.horizontalAdvance(text) + 10, card.width() - 16);
    const qreal height = metrics.height() + 10;
    const QRectF badge(card.center().x() - width / 2, card.bottom() - 8 - height, width, height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 140));
    painter.drawRoundedRect(badge, height / 2, height / 2);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(badge.left() + 10, badge.center().y() - dot / 2, dot, dot));
    painter.setPen(Qt::white);
    const QRectF label = badge.adjusted(10 + dot + 6, 0, -10, 0);
    painter.drawText(label, Qt::AlignVCenter | Qt::AlignLeft, metrics.elidedText(text, Qt::ElideRight, label.width()));
}
