#include "UI/Talk/LiveTranscriptStrip.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QScrollArea>

LiveTranscriptStrip::LiveTranscriptStrip(AppContext& context, QWidget* parent)
    : CardFrame(10, parent), m_context(context), m_symbol(new QLabel(this)), m_scroll(new QScrollArea(this)),
      m_transcript(new PlainTextLabel(QString())), m_hint(new QLabel(this))
{
    setObjectName(QStringLiteral("liveTranscriptStrip"));
    m_transcript->setObjectName(QStringLiteral("transcriptText"));
    m_hint->setObjectName(QStringLiteral("transcriptHint"));
    const QFont callout = TextStyle::font(TextStyle::Size::callout);
    m_transcript->setFont(callout);
    m_transcript->setWordWrap(true);
    m_transcript->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_transcript->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont italic = callout;
    italic.setItalic(true);
    m_hint->setFont(italic);
    m_hint->setWordWrap(true);
    m_scroll->setWidget(m_transcript);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_transcript->setAutoFillBackground(false);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);
    layout->addWidget(m_symbol, 0, Qt::AlignTop);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_hint, 1);

    refresh();
    for (const auto changed : {&EngineState::liveTranscriptChanged, &EngineState::phaseChanged})
        connect(&context.engine, changed, this, &LiveTranscriptStrip::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &LiveTranscriptStrip::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &LiveTranscriptStrip::refresh);
}

void LiveTranscriptStrip::resizeEvent(QResizeEvent* event)
{
    CardFrame::resizeEvent(event);
    fitTranscript();
}

void LiveTranscriptStrip::fitTranscript()
{
    // As tall as the wrapped text, up to the tallest; beyond it the text scrolls.
    const int height = m_transcript->heightForWidth(m_scroll->width());
    m_scroll->setFixedHeight(std::clamp(height, m_transcript->fontMetrics().height(), tallest));
}

void LiveTranscriptStrip::refresh()
{
    const QString transcript = m_context.engine.liveTranscript();
    const bool listening = m_context.engine.phase() == ConversationPhase::listening;
    const QColor secondary = m_context.theme.color(ThemePalette::Token::secondary);
    setColours(m_context.theme.color(ThemePalette::Token::muted));
    m_symbol->setPixmap(Icons::symbol(QStringLiteral("waveform"),
                                      listening ? m_context.theme.named(ThemePalette::Named::green) : secondary)
                            .pixmap(16, 16));
    m_symbol->setContentsMargins(0, 2, 0, 0);
    // Any character counts: a transcript of one space still shows as the transcript.
    const bool speaking = !transcript.isEmpty();
    m_scroll->setVisible(speaking);
    m_hint->setVisible(!speaking);
    if (speaking) {
        m_transcript->setText(transcript);
        fitTranscript();
    } else {
        m_hint->setText(
            L10n::t(listening ? QStringLiteral("transcript.placeholder") : QStringLiteral("transcript.idle"),
                    m_context.settings.uiLanguage()));
        QPalette palette = m_hint->palette();
        palette.setColor(QPalette::WindowText, secondary);
        m_hint->setPalette(palette);
    }
}
