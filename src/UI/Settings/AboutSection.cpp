#include "UI/Settings/AboutSection.h"

#include "Diagnostics/DiagnosticReport.h"
#include "Support/BuildInfo.h"
#include "Support/DesktopWorkspace.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Clipboard.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Models/MakerLinks.h"

#include <QHBoxLayout>
#include <QToolButton>

AboutSection::AboutSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("aboutSection"), parent)
{
    setTitle(QStringLiteral("settings.section.about"));
    QLabel* atom = makeSymbol("atom");
    PlainTextLabel* maker = makeLabel(TextStyle::Size::callout);
    TextStyle::setSize(*maker, TextStyle::Size::callout, true);
    maker->setWordWrap(false);
    texts().label(*maker, QStringLiteral("about.maker_value"));
    addLabelledRow(QStringLiteral("about.maker"), {atom, maker}, nullptr);

    PlainTextLabel* version = makeLabel(TextStyle::Size::callout, TextTint::secondary());
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setWordWrap(false);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    version->setText(BuildInfo::versionText());
    addLabelledRow(QStringLiteral("about.version"), {version}, nullptr);

    const QString address = DiagnosticReport::supportAddress();
    QToolButton* mail = link("supportMailLink", QUrl(QStringLiteral("mailto:") + address));
    mail->setText(address);
    mail->setAccessibleName(address);
    auto* copy = new QToolButton;
    copy->setObjectName(QStringLiteral("copyEmailButton"));
    copy->setAutoRaise(true);
    copy->setIcon(Icons::symbol(QStringLiteral("doc.on.doc")));
    texts().toolTip(*copy, QStringLiteral("about.copy_email"));
    connect(copy, &QToolButton::clicked, this, [this, address] { this->context().clipboard.setText(address); });
    addLabelledRow(QStringLiteral("about.contact"), {mail, copy}, nullptr);

    QToolButton* website = link("websiteLink", MakerLinks::website());
    website->setText(MakerLinks::website().toString());
    website->setAccessibleName(website->text());
    addLabelledRow(QStringLiteral("about.website"), {website}, nullptr);

    QToolButton* discussions =
        link("discussionsLink", MakerLinks::discussions(), QStringLiteral("bubble.left.and.bubble.right.fill"));
    texts().add(QStringLiteral("about.discussions"), [discussions](const QString& text) {
        discussions->setText(text);
        discussions->setAccessibleName(text);
    });
    QToolButton* issues = link("issuesLink", MakerLinks::newIssue(), QStringLiteral("ant.fill"));
    texts().add(QStringLiteral("about.issues"), [issues](const QString& text) {
        issues->setText(text);
        issues->setAccessibleName(text);
    });
    addLabelledRow(QStringLiteral("about.community"), {discussions, issues}, nullptr);
}

QToolButton* AboutSection::link(const char* objectName, const QUrl& address, const QString& symbol)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(objectName));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolButtonStyle(symbol.isEmpty() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
    if (!symbol.isEmpty())
        button->setIcon(Icons::symbol(symbol));
    TextStyle::setTint(*button, TextTint::accent(), context().theme);
    connect(button, &QToolButton::clicked, this, [this, address] { context().workspace.openUrl(address); });
    return button;
}
