#pragma once

#include "Audio/Speaker.h"
#include "UI/Talk/CardFrame.h"

struct AppContext;
class Dot;
class PlainTextLabel;
class QLabel;
class QLineEdit;
class QToolButton;

// One speaker of the minutes: its colour, name and number of utterances, a star when its
// voice is a stored profile. The pencil (and, for a voice not stored yet, the enrol button)
// opens a name field; confirming a non-blank name renames a stored speaker, or enrols this
// speaker's voice under that name. The field stays open while the speaker's details change.
class SpeakerChip final : public CardFrame {
    Q_OBJECT
public:
    explicit SpeakerChip(AppContext& context, QWidget* parent = nullptr);

    void setSpeaker(const Speaker& speaker);
    const Speaker& speaker() const { return m_speaker; }
    bool isEditing() const;

    // Opens the name field with the current name.
    void edit();
    // Closes the field, handing on a non-blank name.
    void commit();

signals:
    void renameRequested(const QString& name);
    void enrollRequested(const QString& name);

private:
    void refresh();

    AppContext& m_context;
    Speaker m_speaker;
    Dot* m_dot;
    QLabel* m_star;
    PlainTextLabel* m_label;
    QLabel* m_count;
    QToolButton* m_rename;
    QToolButton* m_enroll;
    QLineEdit* m_field;
    QToolButton* m_commit;
};
