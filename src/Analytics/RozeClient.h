#pragma once

class RozeLogger;
struct RozeConfig;

// What the application uses of the analytics client: start it, stop it, and log through it.
// Its implementation is RozeRedOZA.
class RozeClient {
public:
    virtual ~RozeClient() = default;

    // Starts the client with the configuration and creates its logger.
    virtual void setup(const RozeConfig& config) = 0;
    // Stops the client; queued records stay on disk for the next start.
    virtual void close() = 0;
    // Nothing until setup has created the logger, and again after close.
    virtual RozeLogger* logger() const = 0;
};
