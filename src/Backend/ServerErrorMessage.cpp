#include "Backend/ServerErrorMessage.h"

#include "Backend/StrictJson.h"

#include <QJsonDocument>

namespace ServerErrorMessage {

std::optional<QString> of(const QString& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue error = object.value(QLatin1String("error"));
    std::optional<QString> message;
    if (error.isObject())
        message = StrictJson::string(error.toObject(), QLatin1String("message")).value;
    if (!message)
        message = StrictJson::string(object, QLatin1String("message")).value;
    if (!message && error.isString())
        message = error.toString();
    if (!message || message->trimmed().isEmpty())
        return std::nullopt;
    return message;
}

}  // namespace ServerErrorMessage
