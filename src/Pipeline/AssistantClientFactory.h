#pragma once

#include "Backend/AssistantClient.h"
#include "Backend/CLIAssistantClient.h"

#include <QString>

#include <chrono>
#include <memory>

class AppSettings;
class DeviceIdentifier;
class Scheduler;

// Makes the backend client of the selected provider from the settings as they are now, so a
// change takes effect at the next turn. The choice is a plain value (`Spec`), so the table
// of providers can be checked without building a client.
class AssistantClientFactory {
public:
    enum class Kind { ostrelHosted, localOpenAICompat, openAIResponses, nvidiaNIM, commandLine };

    struct Spec {
        Kind kind = Kind::ostrelHosted;
        QString deviceID;  // the hosted service only
        QString baseURL;  // local servers, as stored
        QString model;  // as stored
        QString apiKey;  // trimmed of white space and newlines
        CLIAssistantClient::Tool tool = CLIAssistantClient::Tool::codex;  // command-line agents only
        std::chrono::milliseconds timeout{0};  // command-line agents only

        bool operator==(const Spec&) const = default;
    };

    // All three must outlive the factory; the scheduler also the clients' streams.
    AssistantClientFactory(const AppSettings& settings, const DeviceIdentifier& device, Scheduler& scheduler);

    std::unique_ptr<AssistantClient> make() const;

    static Spec spec(const AppSettings& settings, const QString& deviceID);
    static std::unique_ptr<AssistantClient> build(const Spec& spec, Scheduler& scheduler);

private:
    const AppSettings& m_settings;
    const DeviceIdentifier& m_device;
    Scheduler& m_scheduler;
};
