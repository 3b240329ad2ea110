#pragma once

#include "UI/Models/SegmentWidths.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class PillButton;

// Pill buttons side by side, after an optional leading label (a tile's name and phase);
// hidden buttons take no room. When the row is narrower than they would like, hints go first,
// then a row that may wrap moves its last buttons to lines below, so every caption stays whole;
// a row that stays on one line (the mode picker) shows the widest captions in their short
// forms instead (SegmentWidths). Only a button wider than the whole row is cut, and then
// names itself in full on hover. Two rows side by side can be paired: each is then as tall as
// the taller, so what stands above them stays level.
class PillRow final : public QWidget {
    Q_OBJECT
public:
    enum class Lines { one, wrap };

    PillRow(int spacing, Lines lines, QWidget* parent = nullptr);

    // `gap` (at least the row's spacing) stands between the label and the first button.
    void setLeading(QWidget* leading, int gap);
    void add(PillButton* button);
    void pairWith(PillRow& other);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_lines == Lines::wrap; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The leading label, if shown, then the buttons shown.
    QList<QWidget*> items() const;
    QList<SegmentWidths::Segment> segments(const QList<QWidget*>& items) const;
    QList<qsizetype> lineStarts(const QList<SegmentWidths::Segment>& segments, int width) const;
    int lineHeight() const;
    int ownHeight(int width) const;
    void place();

    int m_spacing;
    Lines m_lines;
    QWidget* m_leading = nullptr;
    int m_leadingGap = 0;
    QList<PillButton*> m_buttons;
    QPointer<PillRow> m_partner;  // the other tile's, which may go first
};
