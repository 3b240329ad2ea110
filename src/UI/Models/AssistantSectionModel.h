#pragma once

#include "Persistence/AssistantProvider.h"

enum class AppLanguage;

#include <QList>
#include <QString>

#include <optional>

class AppSettings;

// What the assistant section shows for the chosen backend: the rows below the backend
// picker, and the setting its model field edits. Each backend keeps its own model name.
namespace AssistantSectionModel {

enum class Row { model, openAIKey, nvidiaKey, lmStudioURL, ollamaURL };

// The backend's name in the picker: a local server says it is local in the interface language.
QString providerTitle(AssistantProvider provider, AppLanguage language);

// The rows shown under the backend picker, in their order.
QList<Row> rows(AssistantProvider provider);

// The model-name setting of a backend; nothing for the hosted one, which has none.
struct ModelSetting {
    QString (AppSettings::*get)() const;
    void (AppSettings::*set)(const QString&);
    void (AppSettings::*changed)();
};
std::optional<ModelSetting> modelSetting(AssistantProvider provider);

// The key of the empty model field's placeholder; "" for none.
QString placeholderKey(AssistantProvider provider);

// The model name of the backend chosen now ("" for none), and the edit of it; an edit of the
// hosted backend's model is dropped.
QString currentModel(const AppSettings& settings);
void setCurrentModel(AppSettings& settings, const QString& model);

}  // namespace AssistantSectionModel
