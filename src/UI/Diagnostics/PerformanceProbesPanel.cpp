#include "UI/Diagnostics/PerformanceProbesPanel.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/SwitchRow.h"
#include "UI/Diagnostics/SymbolLabel.h"
#include "UI/Diagnostics/TintedLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/PerformanceProbes.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

PerformanceProbesPanel::PerformanceProbesPanel(AppContext& context, QWidget* parent)
    : RoundedPanel(context.theme, Fill::muted, 10, true, parent)
{
    setObjectName(QStringLiteral("performanceProbesPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    auto* icon = new SymbolLabel(context.theme, 14, this);
    icon->setSymbol(QStringLiteral("speedometer"), TextTint::accent());
    header->addWidget(icon);
    auto* title = new QLabel(this);
    title->setFont(DiagnosticsFonts::text(12, QFont::DemiBold));
    header->addWidget(title);
    header->addStretch();
    layout->addLayout(header);

    auto* hint = new TintedLabel(context.theme, DiagnosticsFonts::text(10), TextTint::secondary(), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    QList<SwitchRow*> rows;
    for (const PerformanceProbe& probe : PerformanceProbes::all()) {
        auto* row = new SwitchRow(context.theme, 12, 10, this);
        row->setObjectName(QStringLiteral("probe%1").arg(QChar(char16_t(u'A' + rows.size()))));
        SettingBinding::toggle(row->box(), context.settings, probe.get, probe.set, probe.changed);
        layout->addWidget(row);
        rows << row;
    }

    const auto relabel = [title, hint, rows, &settings = context.settings] {
        const auto t = [&settings](const char* key) { return L10n::t(QLatin1String(key), settings.uiLanguage()); };
        title->setText(t(PerformanceProbes::headerKey()));
        hint->setText(t(PerformanceProbes::hintKey()));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const PerformanceProbe& probe = PerformanceProbes::all()[std::size_t(i)];
            rows[i]->setTexts(t(probe.labelKey), t(probe.descriptionKey));
        }
    };
    relabel();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, relabel);
}
