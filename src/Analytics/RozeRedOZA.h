#pragma once

#include "Analytics/RozeClient.h"

#include <memory>

class RozeLogUploader;
class Scheduler;

// The analytics client: a logger whose records are queued on disk and uploaded in batches.
// The application's one client is owned by the composition root and must go before the
// application object does (its uploader holds network objects). Used on the GUI thread.
class RozeRedOZA final : public RozeClient {
public:
    explicit RozeRedOZA(Scheduler& scheduler);
    ~RozeRedOZA() override;
    RozeRedOZA(const RozeRedOZA&) = delete;
    RozeRedOZA& operator=(const RozeRedOZA&) = delete;

    // A second setup while running is ignored. A configuration whose host cannot be used
    // is refused with a log line, and the client stays stopped.
    void setup(const RozeConfig& config) override;
    void close() override;
    RozeLogger* logger() const override { return m_logger.get(); }

private:
    Scheduler& m_scheduler;
    std::unique_ptr<RozeLogUploader> m_uploader;
    std::unique_ptr<RozeLogger> m_logger;  // after the uploader: its sink points into it
};
