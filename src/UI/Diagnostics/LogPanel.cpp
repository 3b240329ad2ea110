#include "UI/Diagnostics/LogPanel.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/LogListView.h"
#include "UI/Diagnostics/RoundedPanel.h"
#include "UI/Diagnostics/TintedLabel.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Models/PipelineLogModel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* smallButton(const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setFont(DiagnosticsFonts::text(11));
    return button;
}
}  // namespace

LogPanel::LogPanel(AppContext& context, const char* copyKey, int window, int listHeight, bool followsNewest,
                   QWidget* parent)
    : QWidget(parent), m_context(context), m_model(new PipelineLogModel(context.log, window, this)),
      m_title(new TintedLabel(context.theme, DiagnosticsFonts::text(10, QFont::DemiBold), TextTint::secondary(), this))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_title->setObjectName(QStringLiteral("logTitle"));
    // Made in the order they read, which is the order of Tab: the header's buttons, then the list.
    auto* copy = smallButton("copyLogButton", this);
    auto* clear = smallButton("clearLogButton", this);
    m_list = new LogListView(*m_model, context.scheduler, followsNewest, this);
    m_list->setObjectName(QStringLiteral("logList"));
    const auto relabel = [copy, clear, copyKey, &settings = context.settings] {
        copy->setText(L10n::t(QLatin1String(copyKey), settings.uiLanguage()));
        clear->setText(L10n::t(QStringLiteral("btn.clear"), settings.uiLanguage()));
    };
    relabel();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, relabel);
    connect(copy, &QPushButton::clicked, this, [this] { m_context.clipboard.setText(copyText()); });
    connect(clear, &QPushButton::clicked, this, [this] { m_context.commands.clearLog(); });

    auto* header = new QHBoxLayout;
    header->addWidget(m_title);
    header->addStretch();
    header->addWidget(copy);
    header->addWidget(clear);

    auto* box = new RoundedPanel(context.theme, RoundedPanel::Fill::faint, 6, false, this);
    box->setFixedHeight(listHeight);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(8, 8, 8, 8);
    boxLayout->addWidget(m_list);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(box);
}

void LogPanel::setName(const QString& name)
{
    m_title->setAccessibleName(name);
    m_list->setAccessibleName(name);
}

void LogPanel::setTitle(const QString& title)
{
    m_title->setText(title);
}
