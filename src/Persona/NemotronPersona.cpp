#include "Persona/NemotronPersona.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>

namespace {
bool readString(const QJsonObject& object, const char* key, QString& out)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

bool readInt(const QJsonObject& object, const char* key, int& out)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (number != std::trunc(number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(number);
    return true;
}
}  // namespace

std::optional<NemotronPersona> NemotronPersona::fromJson(const QJsonObject& object)
{
    NemotronPersona p;
    const bool complete = readString(object, "id", p.id) && readString(object, "modeAffinity", p.modeAffinity) &&
                          readString(object, "name", p.name) && readInt(object, "age", p.age) &&
                          readString(object, "sex", p.sex) && readString(object, "occupation", p.occupation) &&
                          readString(object, "district", p.district) && readString(object, "persona", p.persona) &&
                          readString(object, "professionalPersona", p.professionalPersona) &&
                          readString(object, "hobbiesAndInterests", p.hobbiesAndInterests) &&
                          readString(object, "displayLabel", p.displayLabel);
    if (!complete)
        return std::nullopt;
    return p;
}

std::optional<QList<NemotronPersona>> NemotronPersona::listFromJson(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<NemotronPersona> personas;
    for (const QJsonValue& element : document.array()) {
        const auto persona = element.isObject() ? fromJson(element.toObject()) : std::nullopt;
        if (!persona)
            return std::nullopt;
        personas.append(*persona);
    }
    return personas;
}

QJsonObject NemotronPersona::toJson() const
{
    return QJsonObject{
        {"id", id},
        {"modeAffinity", modeAffinity},
        {"name", name},
        {"age", age},
        {"sex", sex},
        {"occupation", occupation},
        {"district", district},
        {"persona", persona},
        {"professionalPersona", professionalPersona},
        {"hobbiesAndInterests", hobbiesAndInterests},
        {"displayLabel", displayLabel},
    };
}
