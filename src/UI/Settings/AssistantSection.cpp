#include "UI/Settings/AssistantSection.h"

#include "Persistence/AppSettings.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Picker.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Settings/LabelledRow.h"
#include "UI/Settings/ModelPickerField.h"
#include "UI/Settings/PickerFill.h"

#include <QLineEdit>

namespace {
using Row = AssistantSectionModel::Row;
using S = AppSettings;
}  // namespace

AssistantSection::AssistantSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("assistantSection"), parent)
{
    S& settings = context.settings;
    setTitle(QStringLiteral("settings.section.assistant"));

    auto* provider = makeControl<Picker>("providerPicker", 280);
    texts().follow([provider, &settings] {
        PickerItems providers;
        for (const AssistantProvider each : allCases<AssistantProvider>())
            providers << PickerItem::choice(AssistantSectionModel::providerTitle(each, settings.uiLanguage()),
                                            rawValue(each));
        PickerFill::fill(*provider, providers);
    });
    SettingBinding::choice(*provider, settings, &S::assistantProvider, &S::setAssistantProvider,
                           &S::assistantProviderChanged);
    addLabelledRow(QStringLiteral("settings.assistant"), {provider}, provider);

    auto* model = new ModelPickerField(context);
    m_rows[Row::model] = addLabelledRow(QStringLiteral("settings.model"), model, model->field());

    const auto field = [](const char* name) { return makeControl<QLineEdit>(name, 280); };
    // A key's field is named after its service, which stays the same in every language.
    const auto keyField = [this, &field](const char* name, const QString& service) {
        QLineEdit* edit = field(name);
        edit->setEchoMode(QLineEdit::Password);
        texts().add(QStringLiteral("settings.api_key_placeholder"),
                    [edit, service](const QString& text) { edit->setPlaceholderText(text.arg(service)); });
        return edit;
    };
    // A field's row with small print under it.
    const auto withNote = [this](LabelledRow* row, const QString& noteKey) {
        PlainTextLabel* note = makeLabel(TextStyle::Size::caption2, TextTint::secondary());
        note->setAlignment(Qt::AlignRight);
        texts().label(*note, noteKey);
        row->setNote(note);
        return row;
    };

    QLineEdit* openAIKey = keyField("openAIKeyField", QStringLiteral("OpenAI"));
    SettingBinding::text(*openAIKey, settings, &S::openAIAPIKey, &S::setOpenAIAPIKey, &S::openAIAPIKeyChanged);
    m_rows[Row::openAIKey] = addLabelledRow(QStringLiteral("settings.api_key"), {openAIKey}, openAIKey);

    QLineEdit* nvidiaKey = keyField("nvidiaKeyField", QStringLiteral("NVIDIA"));
    SettingBinding::text(*nvidiaKey, settings, &S::nvidiaAPIKey, &S::setNvidiaAPIKey, &S::nvidiaAPIKeyChanged);
    m_rows[Row::nvidiaKey] = withNote(addLabelledRow(QStringLiteral("settings.api_key"), {nvidiaKey}, nvidiaKey),
                                      QStringLiteral("settings.nvidia_note"));

    QLineEdit* lmStudio = field("lmStudioURLField");
    lmStudio->setPlaceholderText(QStringLiteral("http://127.0.0.1:1234"));
    SettingBinding::text(*lmStudio, settings, &S::lmStudioBaseURL, &S::setLmStudioBaseURL, &S::lmStudioBaseURLChanged);
    m_rows[Row::lmStudioURL] = withNote(addLabelledRow(QStringLiteral("settings.base_url"), {lmStudio}, lmStudio),
                                        QStringLiteral("settings.lmstudio_note"));

    QLineEdit* ollama = field("ollamaURLField");
    ollama->setPlaceholderText(QStringLiteral("http://127.0.0.1:11434"));
    SettingBinding::text(*ollama, settings, &S::ollamaBaseURL, &S::setOllamaBaseURL, &S::ollamaBaseURLChanged);
    m_rows[Row::ollamaURL] = withNote(addLabelledRow(QStringLiteral("settings.base_url"), {ollama}, ollama),
                                      QStringLiteral("settings.ollama_note"));

    showRows();
    connect(&settings, &S::assistantProviderChanged, this, &AssistantSection::showRows);
}

void AssistantSection::showRows()
{
    const QList<Row> shown = AssistantSectionModel::rows(context().settings.assistantProvider());
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it)
        it.value()->setVisible(shown.contains(it.key()));
}
