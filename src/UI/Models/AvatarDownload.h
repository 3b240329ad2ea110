#pragma once

#include "Avatar/DiceBearClient.h"

#include <QObject>

#include <optional>

class AppSettings;

// Fetches a generated portrait from the avatar image service and makes it the custom avatar:
// the inputs of the download row, whether a download runs, and why the last one failed. The
// client is owned here, so a reply never outlives its receiver. GUI thread.
class AvatarDownload final : public QObject {
    Q_OBJECT
public:
    static constexpr int kPictureSize = 512;

    AvatarDownload(AppSettings& settings, Scheduler& scheduler, QUrl host = DiceBearClient::defaultHost(),
                   QObject* parent = nullptr);

    DiceBearClient::Style style() const { return m_style; }
    void setStyle(DiceBearClient::Style style) { m_style = style; }
    void setSeed(const QString& seed) { m_seed = seed; }

    bool isLoading() const { return m_loading; }
    const std::optional<QString>& lastError() const { return m_lastError; }

    // Downloads with the current style and the seed as typed, or the assistant's name when
    // none is typed. On success the picture becomes the custom avatar (its name first, then
    // the style); on failure only the error changes. Does nothing while a download runs.
    void start();

signals:
    void changed();

private:
    void finish(const DiceBearClient::Result& result);

    AppSettings& m_settings;
    DiceBearClient::Style m_style = DiceBearClient::Style::notionists;
    QString m_seed;
    bool m_loading = false;
    std::optional<QString> m_lastError;
    DiceBearClient m_client;  // last: destroyed first, so no reply arrives after the rest
};
