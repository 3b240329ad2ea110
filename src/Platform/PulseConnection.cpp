#include "Platform/PulseConnection.h"

#include <pulse/pulseaudio.h>

namespace {

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

PulseConnection::Source sourceOf(const pa_source_info& info)
{
    return {text(info.name), text(info.description), info.monitor_of_sink != PA_INVALID_INDEX,
            AudioFormat{double(info.sample_spec.rate), int(info.sample_spec.channels)}};
}

// What a query's callbacks fill in, and the connection to wake when they have.
template <typename T>
struct Reply {
    const PulseConnection& connection;
    T value{};
};

}  // namespace

PulseConnection::Lock::Lock(const PulseConnection& connection) : m_loop(connection.m_loop)
{
    pa_threaded_mainloop_lock(m_loop);
}

PulseConnection::Lock::~Lock()
{
    pa_threaded_mainloop_unlock(m_loop);
}

PulseConnection::PulseConnection(const char* threadName) : m_loop(pa_threaded_mainloop_new())
{
    // Named before it starts: once running, libpulse renames the calling thread instead.
    if (m_loop)
        pa_threaded_mainloop_set_name(m_loop, threadName);
    if (m_loop && pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

PulseConnection::~PulseConnection()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    dropContext();
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

std::optional<QString> PulseConnection::connect()
{
    if (!m_loop)
        return QStringLiteral("the sound server's event loop could not start");
    const Lock lock(*this);
    dropContext();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Parlivox");
    if (!m_context)
        return lastError();
    pa_context_set_state_callback(
        m_context,
        [](pa_context* context, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            connection->signal();
            const pa_context_state_t state = pa_context_get_state(context);
            if ((state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) && connection->m_onChange)
                connection->m_onChange();
        },
        this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return lastError();
    for (pa_context_state_t state; (state = pa_context_get_state(m_context)) != PA_CONTEXT_READY;) {
        if (!PA_CONTEXT_IS_GOOD(state))
            return lastError();
        pa_threaded_mainloop_wait(m_loop);
    }
    return std::nullopt;
}

bool PulseConnection::isConnected() const
{
    if (!m_context)
        return false;
    const Lock lock(*this);
    return pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

void PulseConnection::dropContext()
{
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

std::optional<PulseConnection::Defaults> PulseConnection::defaults() const
{
    if (!m_context)
        return std::nullopt;
    const Lock lock(*this);
    Reply<std::optional<Defaults>> reply{*this};
    const bool answered = wait(pa_context_get_server_info(
        m_context,
        [](pa_context*, const pa_server_info* info, void* data) {
            auto* answer = static_cast<Reply<std::optional<Defaults>>*>(data);
            if (info)
                answer->value = Defaults{text(info->default_source_name), text(info->default_sink_name)};
            answer->connection.signal();
        },
        &reply));
    return answered ? reply.value : std::nullopt;
}

std::optional<QList<PulseConnection::Source>> PulseConnection::sources() const
{
    if (!m_context)
        return std::nullopt;
    const Lock lock(*this);
    Reply<QList<Source>> reply{*this};
    const bool answered = wait(pa_context_get_source_info_list(
        m_context,
        [](pa_context*, const pa_source_info* info, int, void* data) {
            auto* answer = static_cast<Reply<QList<Source>>*>(data);
            if (info)
                answer->value.append(sourceOf(*info));
            answer->connection.signal();
        },
        &reply));
    return answered ? std::optional(reply.value) : std::nullopt;
}

std::optional<PulseConnection::Source> PulseConnection::source(const QString& name) const
{
    if (!m_context)
        return std::nullopt;
    const Lock lock(*this);
    Reply<std::optional<Source>> reply{*this};
    wait(pa_context_get_source_info_by_name(
        m_context, name.toUtf8().constData(),
        [](pa_context*, const pa_source_info* info, int, void* data) {
            auto* answer = static_cast<Reply<std::optional<Source>>*>(data);
            if (info)
                answer->value = sourceOf(*info);
            answer->connection.signal();
        },
        &reply));
    return reply.value;
}

std::optional<QString> PulseConnection::sinkDescription(const QString& name) const
{
    if (!m_context)
        return std::nullopt;
    const Lock lock(*this);
    Reply<std::optional<QString>> reply{*this};
    wait(pa_context_get_sink_info_by_name(
        m_context, name.toUtf8().constData(),
        [](pa_context*, const pa_sink_info* info, int, void* data) {
            auto* answer = static_cast<Reply<std::optional<QString>>*>(data);
            if (info)
                answer->value = text(info->description);
            answer->connection.signal();
        },
        &reply));
    return reply.value;
}

void PulseConnection::watch(std::function<void()> onChange)
{
    if (!m_context)
        return;
    const Lock lock(*this);
    m_onChange = std::move(onChange);
    if (!m_onChange) {
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        return;
    }
    pa_context_set_subscribe_callback(
        m_context,
        [](pa_context*, pa_subscription_event_type_t, uint32_t, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            if (connection->m_onChange)
                connection->m_onChange();
        },
        this);
    if (pa_operation* operation =
            pa_context_subscribe(m_context,
                                 pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SINK |
                                                        PA_SUBSCRIPTION_MASK_SERVER),
                                 nullptr, nullptr))
        pa_operation_unref(operation);
}

QString PulseConnection::lastError() const
{
    return QString::fromUtf8(pa_strerror(lastErrorCode()));
}

int PulseConnection::lastErrorCode() const
{
    return m_context ? pa_context_errno(m_context) : PA_ERR_INTERNAL;
}

void PulseConnection::signal() const
{
    pa_threaded_mainloop_signal(m_loop, 0);
}

bool PulseConnection::wait(pa_operation* operation) const
{
    if (!operation)
        return false;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING)
        pa_threaded_mainloop_wait(m_loop);
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_unref(operation);
    return done;
}
