#pragma once

#include <QString>

// Why a skill run failed. Skills report bad arguments with a spoken sentence, not an error;
// errors are failed platform actions, in the skill domain or passed through from the platform.
struct SkillError {
    static constexpr const char* kSkillDomain = "Parlivox.skill";

    QString domain;
    int code = 0;
    QString message;  // shown and spoken as it is

    static SkillError skill(int code, QString message)
    {
        return {QString::fromLatin1(kSkillDomain), code, std::move(message)};
    }
    const QString& description() const { return message; }

    bool operator==(const SkillError&) const = default;
};
