#pragma once

#include "Analytics/RozeClient.h"
#include "Analytics/RozeConfig.h"
#include "Analytics/RozeLogger.h"

#include "Common/FakeScheduler.h"

#include <QList>

#include <memory>
#include <vector>

// Records what the bridge asks of the analytics client and every record logged through it.
class FakeRozeClient final : public RozeClient {
public:
    enum class Logger { createdBySetup, neverCreated };

    explicit FakeRozeClient(Logger logger = Logger::createdBySetup) : m_createsLogger(logger == Logger::createdBySetup)
    {
    }

    void setup(const RozeConfig& config) override
    {
        setups.push_back(config);
        if (m_createsLogger)
            m_logger = std::make_unique<RozeLogger>(m_clock, [this](RozeLogRecord record) { records.append(record); });
    }
    void close() override
    {
        ++closes;
        m_logger.reset();
    }
    RozeLogger* logger() const override { return m_logger.get(); }

    std::vector<RozeConfig> setups;
    int closes = 0;
    QList<RozeLogRecord> records;

private:
    const bool m_createsLogger;
    FakeScheduler m_clock;
    std::unique_ptr<RozeLogger> m_logger;
};
