#include "Skills/SkillCall.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
std::optional<SkillCall> fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}
}  // namespace

std::optional<SkillCall> SkillCall::decode(const QString& json, QString* error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(error, parseError.errorString());
    if (!document.isObject())
        return fail(error, QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();

    const QJsonValue skill = object.value(QLatin1String("skill"));
    if (!skill.isString())
        return fail(error, QStringLiteral("\"skill\" is missing or not a string"));
    SkillCall call{skill.toString(), std::nullopt};

    const QJsonValue args = object.value(QLatin1String("args"));
    if (args.isUndefined() || args.isNull())
        return call;
    if (!args.isObject())
        return fail(error, QStringLiteral("\"args\" is not an object"));
    SkillArgs decoded;
    const QJsonObject argsObject = args.toObject();
    for (auto it = argsObject.begin(); it != argsObject.end(); ++it) {
        if (!it.value().isString())
            return fail(error, QStringLiteral("argument \"%1\" is not a string").arg(it.key()));
        decoded.insert(it.key(), it.value().toString());
    }
    call.args = std::move(decoded);
    return call;
}
