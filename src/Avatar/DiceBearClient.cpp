#include "Avatar/DiceBearClient.h"

#include "Backend/HttpExchange.h"
#include "Storage/AppPaths.h"
#include "Storage/AvatarLibrary.h"
#include "Support/FileIO.h"
#include "Support/Text.h"

#include <QImage>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDiceBear, "app.parlivox.dicebear")

namespace {

bool keptInFileName(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return QChar::isLetterOrNumber(c);
    }
}

DiceBearClient::Error notAnImage(const QString& description)
{
    return {DiceBearClient::Error::Kind::notAnImage, 0, description};
}

}  // namespace

DiceBearClient::DiceBearClient(Scheduler& scheduler, QUrl host) : m_scheduler(scheduler), m_host(std::move(host))
{
}

DiceBearClient::~DiceBearClient() = default;

QString DiceBearClient::effectiveSeed(const QString& seed)
{
    const QString trimmed = Text::trimmed(seed);
    return trimmed.isEmpty() ? Text::newUuid().left(8).toLower() : trimmed;
}

QUrl DiceBearClient::requestUrl(const QUrl& host, Style style, const QString& seed, int size)
{
    QUrl url = host;
    url.setPath(host.path() + QStringLiteral("/9.x/") + rawValue(style) + QStringLiteral("/png"));
    // "&", "=", "+" and "#" are encoded too, so the whole seed arrives as one value. Both
    // arguments go in one pass: the encoded seed has "%2" of its own.
    const QByteArray encodedSeed = QUrl::toPercentEncoding(seed, "!$'()*,;:@/?");
    url.setQuery(QStringLiteral("seed=%1&size=%2&backgroundType=solid&backgroundColor=fbf9f4")
                     .arg(QString::fromLatin1(encodedSeed), QString::number(size)),
                 QUrl::StrictMode);
    return url;
}

QString DiceBearClient::fileName(Style style, const QString& seed)
{
    QString part;
    for (const char32_t c : seed.toUcs4())
        part += keptInFileName(c) ? QString::fromUcs4(&c, 1) : QStringLiteral("_");
    return QStringLiteral("dicebear-") + rawValue(style) + QLatin1Char('-') + Text::graphemePrefix(part, 40) +
           QStringLiteral(".png");
}

void DiceBearClient::download(Style style, const QString& seed, int size, std::function<void(const Result&)> completed)
{
    const QString effective = effectiveSeed(seed);
    const QUrl url = requestUrl(m_host, style, effective, size);
    qCInfo(lcDiceBear, "GET %s", qPrintable(url.toString(QUrl::FullyEncoded)));
    const quint64 id = m_nextId++;
    auto finished = [this, id, style, effective,
                     completed = std::move(completed)](const HttpExchange::Outcome& outcome) {
        // The exchange is still on the stack that called us: let it go after it returns.
        m_running.extract(id).mapped().release()->deleteLater();
        if (outcome.failure != HttpExchange::Outcome::Failure::none)
            completed(Error{Error::Kind::transport, 0, outcome.failureText});
        else if (outcome.status < 200 || outcome.status > 299)
            completed(Error{Error::Kind::status, outcome.status, QStringLiteral("HTTP %1").arg(outcome.status)});
        else
            completed(save(style, effective, outcome.body));
    };
    m_running.emplace(id, std::make_unique<HttpExchange>(HttpExchange::Request{url, {}, std::nullopt, timeout},
                                                         m_scheduler, std::move(finished)));
}

DiceBearClient::Result DiceBearClient::save(Style style, const QString& seed, const QByteArray& body) const
{
    // A proxy's error page or an empty answer must never replace the user's avatar.
    if (body.isEmpty())
        return notAnImage(QStringLiteral("The avatar service sent no picture."));
    if (QImage::fromData(body, "PNG").isNull())
        return notAnImage(QStringLiteral("The avatar service sent something that is not a PNG picture."));
    const QString name = fileName(style, seed);
    const QString path = AvatarLibrary::directory() + QLatin1Char('/') + name;
    if (const auto refusal = AppPaths::validate(path))
        return Error{Error::Kind::file, 0, refusal->description()};
    QString error;
    if (!FileIO::writeAtomically(path, body, &error))
        return Error{Error::Kind::file, 0, error};
    qCInfo(lcDiceBear, "saved %s (%lld bytes)", qPrintable(name), static_cast<long long>(body.size()));
    return name;
}

QString displayName(DiceBearClient::Style style)
{
    using S = DiceBearClient::Style;
    switch (style) {
    case S::avataaars:
        return QStringLiteral("Avataaars");
    case S::notionists:
        return QStringLiteral("Notionists");
    case S::lorelei:
        return QStringLiteral("Lorelei");
    case S::micah:
        return QStringLiteral("Micah");
    case S::adventurer:
        return QStringLiteral("Adventurer");
    case S::bigSmile:
        return QStringLiteral("Big Smile");
    case S::openPeeps:
        return QStringLiteral("Open Peeps");
    case S::bottts:
        return QStringLiteral("Bottts (Robot)");
    case S::pixelArt:
        return QStringLiteral("Pixel Art");
    case S::thumbs:
        return QStringLiteral("Thumbs");
    }
    return {};
}
