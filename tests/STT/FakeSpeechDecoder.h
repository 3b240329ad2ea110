#pragma once

#include "Platform/SpeechDecoder.h"
#include "STT/SpeechEngine.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// A decoder that follows a script: each processed buffer takes the next step, which says
// whether speech is heard and what the utterance's text is (its final text when speech has
// just ended), or that decoding fails. The test thread can wait for the decoder thread to
// reach a step, or hold it inside process() to let audio pile up.
class FakeSpeechDecoder final : public SpeechDecoder {
public:
    struct Step {
        bool inSpeech = false;
        QString text;
        bool fails = false;
    };

    struct Script {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<Step> steps;
        int entered = 0;  // process() calls begun, held or not
        int processed = 0;
        std::vector<std::int16_t> firstSamples;  // of each processed buffer, in order
        int utterancesStarted = 0;
        bool held = false;
        QString loadError;

        void add(std::initializer_list<Step> more)
        {
            std::lock_guard lock(mutex);
            steps.insert(steps.end(), more);
        }
        void setHeld(bool value)
        {
            {
                std::lock_guard lock(mutex);
                held = value;
            }
            changed.notify_all();
        }
        // Blocks the test thread, without running its event loop, until `count` buffers
        // have been decoded: their results are then waiting in the event queue.
        bool waitProcessed(int count)
        {
            std::unique_lock lock(mutex);
            return changed.wait_for(lock, std::chrono::seconds(5), [&] { return processed >= count; });
        }
        int started()
        {
            std::lock_guard lock(mutex);
            return utterancesStarted;
        }
        bool waitEntered(int count)
        {
            std::unique_lock lock(mutex);
            return changed.wait_for(lock, std::chrono::seconds(5), [&] { return entered >= count; });
        }
    };

    explicit FakeSpeechDecoder(std::shared_ptr<Script> script) : m_script(std::move(script)) {}

    // An engine that knows only "en-US" and decodes with this script.
    static SpeechEngine engine(const std::shared_ptr<Script>& script)
    {
        return {{SpeechModel{QStringLiteral("en-US"), {}, {}, {}}},
                [script] { return std::make_unique<FakeSpeechDecoder>(script); }};
    }

    int sampleRate() const override { return 16000; }
    bool load(const SpeechModel&, QString* error) override
    {
        std::lock_guard lock(m_script->mutex);
        if (!m_script->loadError.isEmpty())
            *error = m_script->loadError;
        return m_script->loadError.isEmpty();
    }
    void unload() override {}
    bool startUtterance(QString*) override
    {
        std::lock_guard lock(m_script->mutex);
        ++m_script->utterancesStarted;
        m_current = {};
        return true;
    }
    bool process(const std::int16_t* samples, std::size_t count, QString* error) override
    {
        std::unique_lock lock(m_script->mutex);
        ++m_script->entered;
        m_script->changed.notify_all();
        m_script->changed.wait(lock, [&] { return !m_script->held; });
        if (count > 0)
            m_script->firstSamples.push_back(samples[0]);
        m_current = m_script->steps.empty() ? Step{} : m_script->steps.front();
        if (!m_script->steps.empty())
            m_script->steps.pop_front();
        ++m_script->processed;
        m_script->changed.notify_all();
        if (m_current.fails)
            *error = QStringLiteral("decoder broke");
        return !m_current.fails;
    }
    bool inSpeech() const override { return m_current.inSpeech; }
    QString hypothesis() override { return m_current.text; }
    QString endUtterance() override { return m_current.text; }

private:
    std::shared_ptr<Script> m_script;
    Step m_current;
};
