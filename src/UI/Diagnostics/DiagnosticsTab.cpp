#include "UI/Diagnostics/DiagnosticsTab.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/LogView.h"
#include "UI/Diagnostics/PerformanceProbesPanel.h"
#include "UI/Diagnostics/ReportBox.h"
#include "UI/Diagnostics/RoundedPanel.h"
#include "UI/Diagnostics/SwitchRow.h"
#include "UI/Diagnostics/TimelineView.h"
#include "UI/Diagnostics/TintedLabel.h"
#include "UI/Diagnostics/TrackingPanel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Kit/TabOrder.h"
#include "UI/Models/TimelineSlot.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Why the timeline is not drawn, in a muted box.
QWidget* notice(AppContext& context, const QString& text)
{
    auto* box = new RoundedPanel(context.theme, RoundedPanel::Fill::muted, 10, false);
    box->setObjectName(QStringLiteral("timelineNotice"));
    auto* label = new TintedLabel(context.theme, DiagnosticsFonts::text(12), TextTint::secondary(), box);
    label->setObjectName(QStringLiteral("timelineNoticeText"));
    label->setText(text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(label);
    return box;
}
}  // namespace

DiagnosticsTab::DiagnosticsTab(AppContext& context, QWidget* parent)
    : QScrollArea(parent), m_context(context), m_title(new QLabel), m_logging(new SwitchRow(context.theme, 12, 10)),
      m_timelineSlot(new QVBoxLayout), m_logButton(new QPushButton), m_rawLogSlot(new QVBoxLayout)
{
    setObjectName(QStringLiteral("diagnosticsTab"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("diagnosticsColumn"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);

    m_title->setFont(DiagnosticsFonts::text(17, QFont::DemiBold));
    layout->addWidget(m_title);
    layout->addWidget(new TrackingPanel(context));
    m_logging->setObjectName(QStringLiteral("diagnosticsLoggingSwitch"));
    SettingBinding::toggle(m_logging->box(), context.settings, &AppSettings::diagnosticsLoggingEnabled,
                           &AppSettings::setDiagnosticsLoggingEnabled, &AppSettings::diagnosticsLoggingEnabledChanged);
    layout->addWidget(m_logging);
    m_probes = new PerformanceProbesPanel(context);
    layout->addWidget(m_probes);
    m_timelineSlot->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_timelineSlot);
    layout->addWidget(new ReportBox(context));

    m_logButton->setObjectName(QStringLiteral("rawLogButton"));
    m_logButton->setFont(DiagnosticsFonts::text(11));
    connect(m_logButton, &QPushButton::clicked, this, &DiagnosticsTab::toggleRawLog);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_logButton);
    buttonRow->addStretch();
    layout->addLayout(buttonRow);
    m_rawLogSlot->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_rawLogSlot);
    layout->addStretch();
    setWidget(column);

    relabel();
    fillTimelineSlot();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &DiagnosticsTab::relabel);
    connect(&context.settings, &AppSettings::diagnosticsLoggingEnabledChanged, this, &DiagnosticsTab::fillTimelineSlot);
    connect(&context.settings, &AppSettings::probeTimelineRenderEnabledChanged, this,
            &DiagnosticsTab::fillTimelineSlot);
}

void DiagnosticsTab::relabel()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    m_title->setText(L10n::t(QStringLiteral("diagnostics.title"), language));
    m_logging->setTexts(L10n::t(QStringLiteral("settings.diagnostics_logging"), language),
                        L10n::t(QStringLiteral("settings.diagnostics_logging_help"), language));
    m_logButton->setText(L10n::t(QLatin1String(m_rawLog ? "diagnostics.hide_log" : "diagnostics.show_log"), language));
    if (m_timelineSlotContent && !qobject_cast<TimelineView*>(m_timelineSlotContent))
        fillTimelineSlot();  // the logging notice is in the interface language
}

// The timeline exists only while it is drawn, so with its probe off nothing follows the log.
void DiagnosticsTab::fillTimelineSlot()
{
    const TimelineSlot slot =
        timelineSlot(m_context.settings.diagnosticsLoggingEnabled(), m_context.settings.probeTimelineRenderEnabled());
    delete m_timelineSlotContent;
    m_timelineSlotContent = slot == TimelineSlot::timeline
                                ? static_cast<QWidget*>(new TimelineView(m_context))
                                : notice(m_context, timelineSlotNotice(slot, m_context.settings.uiLanguage()));
    m_timelineSlot->addWidget(m_timelineSlotContent);
    // Made after the rest, it goes where it shows in the order of Tab.
    TabOrder::placeAfter(*m_probes, *m_timelineSlotContent);
}

void DiagnosticsTab::toggleRawLog()
{
    if (m_rawLog) {
        delete m_rawLog;
        m_rawLog = nullptr;
    } else {
        m_rawLog = new LogView(m_context);
        m_rawLogSlot->addWidget(m_rawLog);
    }
    relabel();
}
