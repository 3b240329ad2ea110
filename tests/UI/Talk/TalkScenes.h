#pragma once

#include "Conversation/ConversationTurn.h"
#include "Skills/SkillRegistry.h"
#include "Vision/CameraFrame.h"

#include <QList>

struct UiTestContext;

// What the talk view's tests draw: a small skill registry, a camera picture, turns, and a
// whole busy session (turns, reply, skill, error, minutes) written into the test context.
namespace TalkScenes {

// Three skills with examples: calendar.list_today, memory.add, system.rest.
const SkillRegistry& skills();

// A portrait as the camera delivers it (8-bit BGRA).
CameraFrame portrait();

// `count` turns, alternating user and assistant, the newest last.
QList<ConversationTurn> turns(int count, int firstNumber = 1);

// The talk tab in use: clocked in and listening, four turns, a transcript, a skill waiting for
// consent and an error.
void busy(UiTestContext& ui);

// Speakers 1 and 2 (the second enrolled) with a recording and four lines.
void fillMinutes(UiTestContext& ui);

}  // namespace TalkScenes
