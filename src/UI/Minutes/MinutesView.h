#pragma once

#include <QHash>
#include <QWidget>

struct AppContext;
class CardFrame;
class EndFollower;
class MinutesListModel;
class PlainTextLabel;
class QHBoxLayout;
class QLabel;
class QListView;
class QToolButton;
class SpeakerChip;

// The meeting minutes in place of the chat: a header (with the recording's file name and a
// button that shows it in the file manager while one runs), one chip per speaker of the
// session, and the transcript, which follows its newest line until the user scrolls up.
// Everything it changes goes through the engine's commands.
class MinutesView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int widestFileName = 240;

    explicit MinutesView(AppContext& context, QWidget* parent = nullptr);

    const EndFollower& follower() const { return *m_follower; }

private:
    void refreshRecording();
    void refreshSpeakers();
    void refreshEntries();
    void relabel();
    void showHint();
    void enroll(int speakerID, const QString& name);

    AppContext& m_context;
    QLabel* m_symbol;
    QLabel* m_title;
    CardFrame* m_recording;
    QLabel* m_recordingSymbol;
    PlainTextLabel* m_fileName;
    QToolButton* m_reveal;
    QHBoxLayout* m_chips;
    QHash<int, SpeakerChip*> m_chipByID;
    CardFrame* m_transcript;
    MinutesListModel* m_model;
    QListView* m_list;
    QLabel* m_empty;
    EndFollower* m_follower;
};
