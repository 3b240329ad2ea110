#include "UI/Diagnostics/ReportBox.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Support/BuildInfo.h"
#include "Support/DesktopWorkspace.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/SymbolLabel.h"
#include "UI/Diagnostics/TintedLabel.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/Kit/Icons.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

ReportBox::ReportBox(AppContext& context, QWidget* parent)
    : RoundedPanel(context.theme, Fill::faint, 10, false, parent), m_context(context),
      m_report(context.workspace, context.scheduler), m_title(new QLabel(this)), m_send(new QPushButton(this)),
      m_description(new TintedLabel(context.theme, DiagnosticsFonts::text(10), TextTint::secondary(), this)),
      m_fileRow(new QWidget(this)), m_fileName(new ElidedLabel(context.theme, DiagnosticsFonts::mono(10),
                                                               TextTint::secondary(), Qt::ElideMiddle, m_fileRow))
{
    setObjectName(QStringLiteral("reportBox"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    auto* envelope = new SymbolLabel(context.theme, 14, this);
    envelope->setSymbol(QStringLiteral("envelope.badge"), TextTint::accent());
    m_title->setFont(DiagnosticsFonts::text(12, QFont::DemiBold));
    m_send->setObjectName(QStringLiteral("sendReportButton"));
    m_send->setIcon(Icons::symbol(QStringLiteral("paperplane.fill")));
    m_send->setFont(DiagnosticsFonts::text(11));
    connect(m_send, &QPushButton::clicked, this, &ReportBox::send);
    header->addWidget(envelope);
    header->addWidget(m_title);
    header->addStretch();
    header->addWidget(m_send);
    layout->addLayout(header);

    m_description->setWordWrap(true);
    layout->addWidget(m_description);

    m_fileRow->setObjectName(QStringLiteral("reportFileRow"));
    m_fileName->setObjectName(QStringLiteral("reportFileName"));
    auto* fileIcon = new SymbolLabel(context.theme, 12, m_fileRow);
    fileIcon->setSymbol(QStringLiteral("doc.text.fill"), TextTint::secondary());
    auto* reveal = new QToolButton(m_fileRow);
    reveal->setObjectName(QStringLiteral("revealReportButton"));
    reveal->setAutoRaise(true);
    reveal->setIcon(Icons::symbol(QStringLiteral("folder.fill")));
    m_reveal = reveal;
    connect(reveal, &QToolButton::clicked, this, [this] {
        if (m_lastReport)
            m_context.workspace.revealFile(*m_lastReport);
    });
    auto* fileLayout = new QHBoxLayout(m_fileRow);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->setSpacing(6);
    fileLayout->addWidget(fileIcon);
    fileLayout->addWidget(m_fileName, 1);
    fileLayout->addWidget(reveal);
    layout->addWidget(m_fileRow);

    relabel();
    showLastReport();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &ReportBox::relabel);
}

void ReportBox::send()
{
    m_lastReport = m_report.sendByEmail(m_context.log, m_context.settings, BuildInfo::version(), BuildInfo::build());
    showLastReport();
}

void ReportBox::relabel()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    const QString title = L10n::t(QStringLiteral("diagnostics.send_report"), language);
    m_title->setText(title);
    m_send->setText(title);
    m_description->setText(L10n::t(QStringLiteral("diagnostics.send_report_desc"), language));
    m_reveal->setToolTip(L10n::t(QStringLiteral("btn.show_in_files"), language));
    m_reveal->setAccessibleName(m_reveal->toolTip());
}

void ReportBox::showLastReport()
{
    m_fileRow->setVisible(m_lastReport.has_value());
    m_fileName->setText(m_lastReport ? QFileInfo(*m_lastReport).fileName() : QString());
}
