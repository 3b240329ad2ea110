#pragma once

#include "Speech/SpeechSynthesizer.h"

#include <QMap>

#include <deque>
#include <functional>
#include <vector>

// A synthesizer the test drives by hand: it records what it is asked to speak and reports
// only when the test says so. stop() queues its cancel report, as a real one would.
class FakeSpeechSynthesizer final : public SpeechSynthesizer {
public:
    QList<SpeechVoice> installed;
    QMap<QString, SpeechVoice> platformDefaults;  // by locale as given
    std::vector<SpeechUtterance> spoken;
    int stopCount = 0;

    QList<SpeechVoice> voices() const override { return installed; }
    std::optional<SpeechVoice> defaultVoice(const QString& localeID) const override
    {
        if (!platformDefaults.contains(localeID))
            return std::nullopt;
        return platformDefaults.value(localeID);
    }
    void speak(const SpeechUtterance& utterance) override
    {
        spoken.push_back(utterance);
        m_speaking = true;
    }
    void stop() override
    {
        ++stopCount;
        if (!m_speaking)
            return;
        m_speaking = false;
        const SpeechUtterance cut = spoken.back();
        m_reports.push_back([this, cut] { onCancelled(cut); });
    }
    bool isSpeaking() const override { return m_speaking; }

    const SpeechUtterance& current() const { return spoken.back(); }
    void reportStarted() { onStarted(current()); }
    void reportFinished()
    {
        m_speaking = false;
        onFinished(current());
    }
    void reportFailed(const QString& reason)
    {
        m_speaking = false;
        onFailed(current(), reason);
    }
    // Delivers the reports that stop() queued.
    void deliverQueuedReports()
    {
        while (!m_reports.empty()) {
            auto report = std::move(m_reports.front());
            m_reports.pop_front();
            report();
        }
    }

private:
    bool m_speaking = false;
    std::deque<std::function<void()>> m_reports;
};
