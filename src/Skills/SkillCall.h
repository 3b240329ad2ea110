#pragma once

#include "Skills/SkillArgs.h"

#include <QString>

#include <optional>

// A decoded tool-call line: {"skill": id, "args": {text: text}}.
struct SkillCall {
    QString skill;
    std::optional<SkillArgs> args;  // absent when the line has no "args" or "args": null

    SkillArgs argsOrEmpty() const { return args.value_or(SkillArgs()); }

    // Nothing, with the reason in `error`, unless the text is one JSON object whose "skill" is
    // a string and whose "args", when present, holds only strings. Other keys are ignored.
    static std::optional<SkillCall> decode(const QString& json, QString* error = nullptr);

    bool operator==(const SkillCall&) const = default;
};
