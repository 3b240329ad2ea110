#include "UI/Diagnostics/PerformanceProbesPanel.h"

#include "Persistence/AppSettings.h"
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
    auto* title = new QLabel(QString::fromUtf8(PerformanceProbes::header()), this);
    title->setFont(DiagnosticsFonts::text(12, QFont::DemiBold));
    header->addWidget(title);
    header->addStretch();
    layout->addLayout(header);

    auto* hint = new TintedLabel(context.theme, DiagnosticsFonts::text(10), TextTint::secondary(), this);
    hint->setText(QString::fromUtf8(PerformanceProbes::hint()));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    int index = 0;
    for (const PerformanceProbe& probe : PerformanceProbes::all()) {
        auto* row = new SwitchRow(context.theme, 12, 10, this);
        row->setObjectName(QStringLiteral("probe%1").arg(QChar(u'A' + index++)));
        row->setTexts(QString::fromUtf8(probe.label), QString::fromUtf8(probe.description));
        SettingBinding::toggle(row->box(), context.settings, probe.get, probe.set, probe.changed);
        layout->addWidget(row);
    }
}
