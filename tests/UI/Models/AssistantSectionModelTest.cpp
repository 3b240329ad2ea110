// Which rows the assistant section shows for each backend, and that the model field edits
// the chosen backend's own model setting and no other.
#include "UI/Models/AssistantSectionModel.h"

#include "Common/QtPrinters.h"
#include "UI/UiTestContext.h"

#include <gtest/gtest.h>

namespace {
using Row = AssistantSectionModel::Row;
using P = AssistantProvider;

QStringList allModels(const AppSettings& s)
{
    return {s.lmStudioModel(), s.ollamaModel(),      s.openAIModel(),    s.nvidiaModel(),
            s.codexCLIModel(), s.claudeCLIModel(),   s.geminiCLIModel(), s.cursorAgentModel(),
            s.kimiCLIModel(),  s.opencodeCLIModel(), s.ostrelCLIModel()};
}

TEST(AssistantSectionModel, eachBackendShowsItsRowsAndKeepsItsOwnModel)
{
    struct Case {
        P provider;
        QList<Row> rows;
        int modelIndex;  // in allModels(); -1: none
        QString placeholderKey;
    };
    const QList<Row> modelOnly{Row::model};
    const Case cases[] = {
        {P::ostrelHosted, {}, -1, ""},
        {P::lmStudio, {Row::model, Row::lmStudioURL}, 0, ""},
        {P::ollama, {Row::model, Row::ollamaURL}, 1, ""},
        {P::openAI, {Row::model, Row::openAIKey}, 2, ""},
        {P::nvidiaNIM, {Row::model, Row::nvidiaKey}, 3, ""},
        {P::codexCLI, modelOnly, 4, "settings.model_default"},
        {P::claudeCLI, modelOnly, 5, ""},
        {P::geminiCLI, modelOnly, 6, ""},
        {P::cursorAgent, modelOnly, 7, ""},
        {P::kimiCLI, modelOnly, 8, ""},
        {P::opencodeCLI, modelOnly, 9, ""},
        {P::ostrelCLI, modelOnly, 10, ""},
    };
    ASSERT_EQ(std::size(cases), allCases<P>().size());
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.provider).toStdString());
        UiTestContext ui;
        EXPECT_EQ(AssistantSectionModel::rows(c.provider), c.rows);
        EXPECT_EQ(AssistantSectionModel::placeholderKey(c.provider), c.placeholderKey);
        ui.settings.setAssistantProvider(c.provider);
        QStringList expected = allModels(ui.settings);
        AssistantSectionModel::setCurrentModel(ui.settings, "typed-model");
        if (c.modelIndex >= 0)
            expected[c.modelIndex] = "typed-model";
        EXPECT_EQ(allModels(ui.settings), expected);
        EXPECT_EQ(AssistantSectionModel::currentModel(ui.settings), c.modelIndex >= 0 ? "typed-model" : "");
    }
}

// The picker names every backend as it is called; the local servers say so in the interface
// language, in Korean as they always did.
TEST(AssistantSectionModel, aLocalServerSaysSoInTheInterfaceLanguage)
{
    for (const P provider : allCases<P>()) {
        SCOPED_TRACE(rawValue(provider).toStdString());
        EXPECT_EQ(AssistantSectionModel::providerTitle(provider, AppLanguage::korean), title(provider));
        const bool local = provider == P::lmStudio || provider == P::ollama;
        EXPECT_EQ(AssistantSectionModel::providerTitle(provider, AppLanguage::german) == title(provider), !local);
    }
    EXPECT_EQ(AssistantSectionModel::providerTitle(P::lmStudio, AppLanguage::german), "LM Studio (lokal)");
    EXPECT_EQ(AssistantSectionModel::providerTitle(P::ollama, AppLanguage::japanese), "Ollama（ローカル）");
}

}  // namespace
