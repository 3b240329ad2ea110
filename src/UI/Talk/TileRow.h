#pragma once

#include <QWidget>

class AssistantTile;
class UserTile;

// The assistant's tile and the user's side by side, level, their lines under the pictures
// breaking together. When the window is short the pictures give way, down to their least
// height, before the page has to scroll. The row does not answer in height for width: a
// column lays such a row out at its one preferred height and, when short, lets it overlap
// the rows below. Its size hints are worked out at its present width instead, and a new width
// asks for a new layout.
class TileRow final : public QWidget {
    Q_OBJECT
public:
    TileRow(AssistantTile* assistant, UserTile* user, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return false; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Extent { least, preferred };
    int tilesHeight(Extent extent) const;

    AssistantTile* m_assistant;
    UserTile* m_user;
};
