// A tool-call line from a reply: decoded into a call or refused with a reason, and a decoded
// call holds exactly the line's skill and arguments.
#include "FuzzCheck.h"
#include "Skills/SkillCall.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<SkillCall> call = SkillCall::decode(line, &error);
    fuzzCheck(call.has_value() != !error.isEmpty(), "a refused line has a reason, a decoded one none");
    fuzzCheck(SkillCall::decode(line) == call, "the reason is optional");
    if (!call)
        return 0;

    const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
    fuzzCheck(call->skill == object.value(QLatin1String("skill")).toString(), "the skill is the line's");
    const QJsonValue stated = object.value(QLatin1String("args"));
    fuzzCheck(call->args.has_value() == stated.isObject(), "arguments only from an object");
    const QVariantMap expected = stated.toObject().toVariantMap();
    const SkillArgs args = call->argsOrEmpty();
    fuzzCheck(args.size() == expected.size(), "every argument is kept");
    for (auto it = args.cbegin(); it != args.cend(); ++it)
        fuzzCheck(expected.value(it.key()) == it.value(), "each with its own text");
    return 0;
}
