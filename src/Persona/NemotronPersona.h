#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// A persona of the catalog: a fictional person whose tone and background the assistant
// takes on in Korean conversations. Stored as a JSON object whose keys are the field names.
struct NemotronPersona {
    QString id;
    QString modeAffinity;  // an AppMode raw value, or any other text
    QString name;
    int age = 0;
    QString sex;
    QString occupation;
    QString district;
    QString persona;
    QString professionalPersona;
    QString hobbiesAndInterests;
    QString displayLabel;

    bool operator==(const NemotronPersona&) const = default;

    // Nothing unless all eleven keys are present with the right types; other keys are ignored.
    static std::optional<NemotronPersona> fromJson(const QJsonObject& object);
    // Nothing unless the text is an array whose every element decodes.
    static std::optional<QList<NemotronPersona>> listFromJson(const QByteArray& json);
    QJsonObject toJson() const;
};
