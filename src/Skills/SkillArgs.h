#pragma once

#include <QMap>
#include <QString>

// The arguments of a skill call: always text to text; each skill parses its own numbers and dates.
using SkillArgs = QMap<QString, QString>;
