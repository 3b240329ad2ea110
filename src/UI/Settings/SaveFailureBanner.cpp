#include "UI/Settings/SaveFailureBanner.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Settings/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>

SaveFailureBanner::SaveFailureBanner(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context),
      m_text(TextStyle::makeLabel(TextStyle::Size::callout, TextTint(ThemePalette::Named::red), context.theme))
{
    setObjectName(QStringLiteral("saveFailureBanner"));
    m_text->setObjectName(QStringLiteral("saveFailureText"));
    auto* icon = new QLabel;
    icon->setPixmap(
        Icons::symbol(QStringLiteral("exclamationmark.triangle.fill"), context.theme.named(ThemePalette::Named::red))
            .pixmap(16, 16));
    icon->setAlignment(Qt::AlignTop);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(icon);
    layout->addWidget(m_text, 1);
    hide();

    // Every change is announced before its failure, so the banner goes with each change and
    // comes back if that one could not be written either.
    const QMetaObject& settings = AppSettings::staticMetaObject;
    const QMetaMethod hideBanner = metaObject()->method(metaObject()->indexOfSlot("hide()"));
    for (int i = settings.methodOffset(); i < settings.methodCount(); ++i) {
        const QMetaMethod method = settings.method(i);
        const bool written = method.name() != "restingUntilChanged";  // kept in memory only
        if (method.methodType() == QMetaMethod::Signal && method.name().endsWith("Changed") && written)
            connect(&context.settings, method, this, hideBanner);
    }
    connect(&context.settings, &AppSettings::saveFailed, this, &SaveFailureBanner::report);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &SaveFailureBanner::relabel);
}

void SaveFailureBanner::report(const QString& cause)
{
    m_cause = cause;
    relabel();
    show();
}

void SaveFailureBanner::relabel()
{
    m_text->setText(L10n::t(QStringLiteral("settings.save_failed"), m_context.settings.uiLanguage()).arg(m_cause));
}
