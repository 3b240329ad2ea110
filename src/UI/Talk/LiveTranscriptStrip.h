#pragma once

#include "UI/Talk/CardFrame.h"

struct AppContext;
class PlainTextLabel;
class QLabel;
class QScrollArea;

// The band under the tiles: while the user speaks, the transcript of the turn so far
// (selectable, scrolling beyond 140 points), otherwise a hint, with a waveform symbol that is
// green while listening.
class LiveTranscriptStrip final : public CardFrame {
    Q_OBJECT
public:
    static constexpr int tallest = 140;

    explicit LiveTranscriptStrip(AppContext& context, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void fitTranscript();

    AppContext& m_context;
    QLabel* m_symbol;
    QScrollArea* m_scroll;
    PlainTextLabel* m_transcript;
    QLabel* m_hint;
};
