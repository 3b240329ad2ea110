#include "UI/Settings/AssistantSection.h"

#include "Persistence/AppSettings.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Settings/ModelPickerField.h"
#include "UI/Settings/PickerFill.h"

#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
using Row = AssistantSectionModel::Row;
using S = AppSettings;

// A field over a note, both at the trailing edge.
QWidget* withNote(QLineEdit* field, QWidget* note)
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(field, 0, Qt::AlignRight);
    layout->addWidget(note, 0, Qt::AlignRight);
    return content;
}
}  // namespace

AssistantSection::AssistantSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("assistantSection"), parent)
{
    S& settings = context.settings;
    setTitle(QStringLiteral("settings.section.assistant"));

    auto* provider = makeControl<QComboBox>("providerPicker", 280);
    PickerItems providers;
    for (const AssistantProvider each : allCases<AssistantProvider>())
        providers << PickerItem::choice(title(each), rawValue(each));
    PickerFill::fill(*provider, providers);
    SettingBinding::choice(*provider, settings, &S::assistantProvider, &S::setAssistantProvider,
                           &S::assistantProviderChanged);
    addLabelledRow(QStringLiteral("settings.assistant"), provider, provider);

    auto* model = new ModelPickerField(context);
    m_rows[Row::model] = addLabelledRow(QStringLiteral("settings.model"), model, model->field());

    const auto field = [](const char* name, const QString& placeholder, bool secret) {
        auto* edit = makeControl<QLineEdit>(name, 280);
        edit->setPlaceholderText(placeholder);
        if (secret)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    };
    const auto note = [this](const QString& text) {
        PlainTextLabel* label = makeLabel(TextStyle::Size::caption2, TextTint::secondary());
        label->setWordWrap(false);
        label->setText(text);
        return label;
    };

    QLineEdit* openAIKey = field("openAIKeyField", QStringLiteral("OpenAI API key"), true);
    SettingBinding::text(*openAIKey, settings, &S::openAIAPIKey, &S::setOpenAIAPIKey, &S::openAIAPIKeyChanged);
    m_rows[Row::openAIKey] = addLabelledRow(QStringLiteral("settings.api_key"), openAIKey, openAIKey);

    QLineEdit* nvidiaKey = field("nvidiaKeyField", QStringLiteral("NVIDIA API key"), true);
    SettingBinding::text(*nvidiaKey, settings, &S::nvidiaAPIKey, &S::setNvidiaAPIKey, &S::nvidiaAPIKeyChanged);
    m_rows[Row::nvidiaKey] = addLabelledRow(
        QStringLiteral("settings.api_key"),
        withNote(nvidiaKey,
                 note(QStringLiteral("무료 API 키는 NVIDIA 개발자 사이트 build.nvidia.com 에서 발급받을 수 있어요."))),
        nvidiaKey);

    QLineEdit* lmStudio = field("lmStudioURLField", QStringLiteral("http://127.0.0.1:1234"), false);
    SettingBinding::text(*lmStudio, settings, &S::lmStudioBaseURL, &S::setLmStudioBaseURL, &S::lmStudioBaseURLChanged);
    m_rows[Row::lmStudioURL] = addFixedLabelledRow(
        QStringLiteral("Base URL"),
        withNote(lmStudio, note(QStringLiteral("LM Studio → Developer 탭 → Start Server 활성화 필요"))), lmStudio);

    QLineEdit* ollama = field("ollamaURLField", QStringLiteral("http://127.0.0.1:11434"), false);
    SettingBinding::text(*ollama, settings, &S::ollamaBaseURL, &S::setOllamaBaseURL, &S::ollamaBaseURLChanged);
    m_rows[Row::ollamaURL] = addFixedLabelledRow(
        QStringLiteral("Base URL"),
        withNote(ollama, note(QStringLiteral("터미널: `ollama serve` 후 `ollama pull qwen2.5:7b`"))), ollama);

    showRows();
    connect(&settings, &S::assistantProviderChanged, this, &AssistantSection::showRows);
}

void AssistantSection::showRows()
{
    const QList<Row> shown = AssistantSectionModel::rows(context().settings.assistantProvider());
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it)
        it.value()->setVisible(shown.contains(it.key()));
}
