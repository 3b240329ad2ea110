#include "STT/DecoderThread.h"

#include <QObject>

#include <algorithm>

#include <pthread.h>

DecoderThread::DecoderThread(std::unique_ptr<SpeechDecoder> decoder, QObject* context,
                             std::function<void(const Event&)> onEvent)
    : m_decoder(std::move(decoder)), m_decoderFormat{double(m_decoder->sampleRate()), 1}, m_context(context),
      m_onEvent(std::move(onEvent))
{
    m_thread = std::thread([this] { run(); });
}

DecoderThread::~DecoderThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_commands.clear();
    }
    m_wake.notify_one();
    m_thread.join();
}

void DecoderThread::load(const SpeechModel& model, std::uint64_t generation)
{
    push({Command::Kind::load, generation, nullptr, model});
}

int DecoderThread::feed(AudioBufferPtr buffer, std::uint64_t generation)
{
    int dropped = 0;
    {
        std::lock_guard lock(m_mutex);
        m_commands.push_back({Command::Kind::audio, generation, std::move(buffer), {}});
        m_queued += durationOf(m_commands.back());
        while (m_queued > backlog) {
            const auto oldest = std::find_if(m_commands.begin(), m_commands.end(),
                                             [](const Command& c) { return c.kind == Command::Kind::audio; });
            m_queued -= durationOf(*oldest);
            m_commands.erase(oldest);
            ++dropped;
        }
    }
    m_wake.notify_one();
    return dropped;
}

void DecoderThread::restart(std::uint64_t generation)
{
    {
        std::lock_guard lock(m_mutex);
        discardAudio([generation](const Command& c) { return c.generation < generation; });
    }
    push({Command::Kind::restart, generation, nullptr, {}});
}

void DecoderThread::next(std::uint64_t generation)
{
    push({Command::Kind::next, generation, nullptr, {}});
}

void DecoderThread::unload()
{
    {
        std::lock_guard lock(m_mutex);
        discardAudio([](const Command&) { return true; });
    }
    push({Command::Kind::unload, 0, nullptr, {}});
}

void DecoderThread::push(Command command)
{
    {
        std::lock_guard lock(m_mutex);
        m_commands.push_back(std::move(command));
    }
    m_wake.notify_one();
}

void DecoderThread::discardAudio(const std::function<bool(const Command&)>& which)
{
    std::erase_if(m_commands, [&](const Command& c) {
        if (c.kind != Command::Kind::audio || !which(c))
            return false;
        m_queued -= durationOf(c);
        return true;
    });
}

std::deque<DecoderThread::Command>::iterator DecoderThread::nextRunnable()
{
    if (!m_awaitingNext)
        return m_commands.begin();
    return std::find_if(m_commands.begin(), m_commands.end(),
                        [](const Command& c) { return c.kind != Command::Kind::audio; });
}

void DecoderThread::run()
{
    pthread_setname_np(pthread_self(), "stt.decoder");
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || nextRunnable() != m_commands.end(); });
        if (m_stopping)
            return;
        const auto runnable = nextRunnable();
        const Command command = std::move(*runnable);
        m_commands.erase(runnable);
        if (command.kind == Command::Kind::audio)
            m_queued -= durationOf(command);
        lock.unlock();
        handle(command);
        lock.lock();
    }
}

void DecoderThread::handle(const Command& command)
{
    switch (command.kind) {
    case Command::Kind::load: {
        QString error;
        m_generation = command.generation;
        m_awaitingNext = false;
        m_loaded = m_decoder->load(command.model, &error) && m_decoder->startUtterance(&error);
        m_failed = false;
        m_wasInSpeech = false;
        m_lastPartial.clear();
        post(Event::Kind::loaded, m_loaded ? QString() : error);
        break;
    }
    case Command::Kind::audio:
        if (m_loaded && !m_failed)
            decode(command.audio);
        break;
    case Command::Kind::restart:
    case Command::Kind::next:
        m_awaitingNext = false;
        if (m_loaded) {
            m_decoder->endUtterance();
            m_failed = !beginUtterance(command.generation);
        }
        break;
    case Command::Kind::unload:
        m_decoder->unload();
        m_loaded = false;
        m_awaitingNext = false;
        break;
    }
}

bool DecoderThread::beginUtterance(std::uint64_t generation)
{
    m_generation = generation;
    m_wasInSpeech = false;
    m_lastPartial.clear();
    QString error;
    if (m_decoder->startUtterance(&error))
        return true;
    post(Event::Kind::failed, error);
    return false;
}

void DecoderThread::decode(const AudioBufferPtr& buffer)
{
    std::optional<BufferConverterError> conversionError;
    const AudioBufferPtr mono = m_converter.convertBuffer(buffer, m_decoderFormat, &conversionError);
    if (!mono) {
        post(Event::Kind::audioDropped, conversionError ? conversionError->description() : QString());
        return;
    }
    const std::vector<std::int16_t> samples = BufferConverter::toInt16(*mono);
    QString error;
    if (!m_decoder->process(samples.data(), samples.size(), &error)) {
        m_failed = true;
        post(Event::Kind::failed, error);
        return;
    }
    const bool inSpeech = m_decoder->inSpeech();
    if (inSpeech) {
        const QString hypothesis = m_decoder->hypothesis();
        if (hypothesis != m_lastPartial) {
            m_lastPartial = hypothesis;
            post(Event::Kind::partial, hypothesis);
        }
    } else if (m_wasInSpeech) {
        post(Event::Kind::final, m_decoder->endUtterance());
        m_awaitingNext = true;
        return;
    }
    m_wasInSpeech = inSpeech;
}

void DecoderThread::post(Event::Kind kind, const QString& text)
{
    QMetaObject::invokeMethod(
        m_context, [handler = m_onEvent, event = Event{kind, m_generation, text}] { handler(event); },
        Qt::QueuedConnection);
}

std::chrono::microseconds DecoderThread::durationOf(const Command& command)
{
    return std::chrono::round<std::chrono::microseconds>(
        std::chrono::duration<double>(command.audio->durationSeconds()));
}
