#pragma once

#include <QList>
#include <QWidget>

class PillButton;

// Pill buttons side by side. When the row is narrower than they would like, short captions
// stay whole and only the widest give way (SegmentWidths), so a long German or French caption
// is cut rather than every caption in the row; hidden buttons take no room.
class PillRow final : public QWidget {
    Q_OBJECT
public:
    explicit PillRow(int spacing, QWidget* parent = nullptr);

    void add(PillButton* button);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    QList<PillButton*> shown() const;
    void place();

    int m_spacing;
    QList<PillButton*> m_buttons;
};
