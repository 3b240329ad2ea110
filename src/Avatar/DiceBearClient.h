#pragma once

#include "Support/RawEnum.h"

#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <variant>

class HttpExchange;
class Scheduler;

// Downloads a generated picture from the avatar image service and saves it as a PNG in the
// avatar library, for the custom avatar style. Used on the GUI thread; every result arrives
// there after download() has returned, and never once the client is destroyed.
class DiceBearClient {
public:
    // The service's drawing styles; the raw value is the style's path component.
    enum class Style {
        avataaars,
        notionists,
        lorelei,
        micah,
        adventurer,
        bigSmile,
        openPeeps,
        bottts,
        pixelArt,
        thumbs
    };

    struct Error {
        enum class Kind { transport, status, notAnImage, file };
        Kind kind;
        int status = 0;  // the HTTP status, for Kind::status
        QString description;
    };
    using Result = std::variant<QString, Error>;  // the saved file's name, or why nothing was saved

    static inline const std::chrono::milliseconds timeout{60'000};

    static QUrl defaultHost() { return QUrl(QStringLiteral("https://api.dicebear.com")); }

    explicit DiceBearClient(Scheduler& scheduler, QUrl host = defaultHost());
    ~DiceBearClient();
    DiceBearClient(const DiceBearClient&) = delete;
    DiceBearClient& operator=(const DiceBearClient&) = delete;

    // Fetches the picture for the style and seed at `size` pixels and writes it into the avatar
    // library; `completed` runs once. Only a reply that decodes as a PNG picture is saved.
    void download(Style style, const QString& seed, int size, std::function<void(const Result&)> completed);

    // The seed trimmed; a blank one becomes 8 random lower-case hexadecimal digits.
    static QString effectiveSeed(const QString& seed);
    static QUrl requestUrl(const QUrl& host, Style style, const QString& seed, int size);
    // "dicebear-<style>-<seed>.png", with every character but letters, marks and digits
    // replaced by "_", the seed part cut to 40 characters.
    static QString fileName(Style style, const QString& seed);

private:
    Result save(Style style, const QString& seed, const QByteArray& body) const;

    Scheduler& m_scheduler;
    QUrl m_host;
    quint64 m_nextId = 1;
    std::map<quint64, std::unique_ptr<HttpExchange>> m_running;
};

QString displayName(DiceBearClient::Style style);

template <>
struct RawEnumTraits<DiceBearClient::Style> {
    using S = DiceBearClient::Style;
    static constexpr std::array<RawCase<S>, 10> cases{{
        {S::avataaars, "avataaars"},
        {S::notionists, "notionists"},
        {S::lorelei, "lorelei"},
        {S::micah, "micah"},
        {S::adventurer, "adventurer"},
        {S::bigSmile, "big-smile"},
        {S::openPeeps, "open-peeps"},
        {S::bottts, "bottts"},
        {S::pixelArt, "pixel-art"},
        {S::thumbs, "thumbs"},
    }};
};
