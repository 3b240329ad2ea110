#pragma once

#include "Speech/SpeechPlayer.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Speaks the sentences of a reply one after another through one speech player: Markdown is
// stripped, what is left empty is dropped, the rest is spoken in arrival order, and a
// sentence that fails is logged and skipped. Used on the GUI thread.
class TTSQueue final : public QObject {
    Q_OBJECT
public:
    explicit TTSQueue(SpeechPlayer& player, QObject* parent = nullptr);

    void enqueue(const QString& sentence);
    // All sentences of the list join the queue at once, in their order.
    void enqueue(const QStringList& sentences);
    // Stops the player, forgets every pending sentence and calls onCancelled.
    void cancel();
    // The locale for the sentences that start from now on.
    void setLocaleID(const QString& localeID) { m_localeID = localeID; }
    // Takes the locale and forgets pending sentences, letting the one being spoken finish.
    void reset(const QString& localeID);

    QString localeID() const { return m_localeID; }
    int pendingCount() const { return static_cast<int>(m_pending.size()); }
    // From the start of a sentence until the queue runs dry or is cancelled.
    bool isSpeaking() const { return m_isSpeaking; }

    std::function<void(const QString& sentence)> onStartedSentence;
    std::function<void()> onFinishedAll;  // the queue ran dry without being cancelled
    std::function<void()> onCancelled;

private:
    void kickIfIdle();
    void speakNext(quint64 drain);
    void sentenceEnded(quint64 drain, const std::optional<SpeechPlayerError>& error);

    SpeechPlayer& m_player;
    QStringList m_pending;
    QString m_localeID = QStringLiteral("ko-KR");
    bool m_draining = false;
    bool m_isSpeaking = false;
    quint64 m_drain = 0;  // raised by each new drain and by cancel(); an old drain's completions are ignored
};
