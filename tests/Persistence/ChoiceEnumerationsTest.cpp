#include "Common/QtPrinters.h"
#include "Persistence/AppLanguage.h"
#include "Persistence/AppMode.h"
#include "Persistence/AssistantProvider.h"
#include "Persistence/AvatarGender.h"
#include "Persistence/AvatarStyle.h"
#include "Persistence/ConversationPhase.h"

#include <gtest/gtest.h>

#include <set>

namespace {
// Every raw value reads back as its own case, and raw values are unique.
template <typename E>
void expectRoundTrip()
{
    std::set<QString> seen;
    for (const E value : allCases<E>()) {
        const QString raw = rawValue(value);
        EXPECT_FALSE(raw.isEmpty());
        EXPECT_TRUE(seen.insert(raw).second) << "duplicate raw value " << raw.toStdString();
        EXPECT_EQ(fromRawValue<E>(raw), value);
    }
}

template <typename E>
QString joinedRawValues()
{
    QStringList raw;
    for (const E value : allCases<E>())
        raw << rawValue(value);
    return raw.join(',');
}
}  // namespace

TEST(ChoiceEnumerations, RawValuesRoundTripAndAreUnique)
{
    expectRoundTrip<AppMode>();
    expectRoundTrip<AssistantProvider>();
    expectRoundTrip<AvatarGender>();
    expectRoundTrip<ConversationPhase>();
    expectRoundTrip<AppLanguage>();
    expectRoundTrip<AvatarStyle>();
}

TEST(ChoiceEnumerations, ConstructionIsExactAndCaseSensitive)
{
    EXPECT_EQ(fromRawValue<AssistantProvider>(u"openai"), std::nullopt);
    EXPECT_EQ(fromRawValue<AppMode>(u" minutes"), std::nullopt);
    EXPECT_EQ(fromRawValue<AppLanguage>(u"zh-hant"), std::nullopt);
}

// The raw values are what the settings file holds, so none may change; the order is the pickers'.
TEST(ChoiceEnumerations, StoredRawValuesInPickerOrder)
{
    EXPECT_EQ(joinedRawValues<AppMode>(), "conversation,minutes,brainstorm,counseling,translate");
    EXPECT_EQ(joinedRawValues<AppLanguage>(), "ko,en,ja,zh,zh-Hant,es,fr,de,it,pt,ru,ar,hi,id,vi,th,tr,nl,pl,sv");
    EXPECT_EQ(joinedRawValues<AssistantProvider>(),
              "ostrel-hosted,lm-studio,ollama,openAI,nvidia-nim,codex-cli,"
              "claude-cli,gemini-cli,cursor-agent,kimi-cli,opencode-cli,ostrel-cli");
}

TEST(ChoiceEnumerations, ModelPresetsPutTheAgentDefaultFirst)
{
    EXPECT_TRUE(modelPresets(AssistantProvider::ostrelHosted).isEmpty());
    for (auto provider : {AssistantProvider::codexCLI, AssistantProvider::geminiCLI, AssistantProvider::cursorAgent,
                          AssistantProvider::kimiCLI, AssistantProvider::opencodeCLI, AssistantProvider::ostrelCLI}) {
        ASSERT_FALSE(modelPresets(provider).isEmpty());
        EXPECT_EQ(modelPresets(provider).first(), QString()) << rawValue(provider).toStdString();
    }
    EXPECT_FALSE(modelPresets(AssistantProvider::claudeCLI).contains(QString()));
    EXPECT_EQ(modelPresets(AssistantProvider::claudeCLI).first(), "sonnet");
    for (auto provider : {AssistantProvider::lmStudio, AssistantProvider::ollama, AssistantProvider::openAI,
                          AssistantProvider::nvidiaNIM})
        EXPECT_FALSE(modelPresets(provider).contains(QString()));
}

TEST(ChoiceEnumerations, EveryChoiceHasAPickerTitle)
{
    for (auto language : allCases<AppLanguage>())
        EXPECT_FALSE(title(language).isEmpty());
    for (auto provider : allCases<AssistantProvider>())
        EXPECT_FALSE(title(provider).isEmpty());
}
