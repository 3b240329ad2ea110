#include "UI/Settings/SettingsPage.h"

#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Settings/LocalizedTexts.h"
#include "UI/Settings/SaveFailureBanner.h"
#include "UI/Settings/TextStyle.h"

#include <QEvent>
#include <QVBoxLayout>

namespace {
constexpr int kMargin = 16;
}

SettingsPage::SettingsPage(AppContext& context, const QString& objectName, const QString& titleKey, QWidget* parent)
    : QScrollArea(parent)
{
    setObjectName(objectName);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The column is centred by its side margins, set with the width, so wrapped texts take the
    // height they need at the width they get.
    auto* page = new QWidget;
    page->setObjectName(objectName + QStringLiteral("Page"));
    m_column = new QVBoxLayout(page);
    m_column->setSpacing(22);
    auto* title = new PlainTextLabel;
    title->setObjectName(objectName + QStringLiteral("Title"));
    TextStyle::setSize(*title, TextStyle::Size::title);
    (new LocalizedTexts(context.settings, this))->label(*title, titleKey, this);
    m_column->addWidget(title);
    m_column->addWidget(new SaveFailureBanner(context));
    m_column->addStretch(1);
    setWidget(page);
}

void SettingsPage::addSection(QWidget* section)
{
    m_column->insertWidget(m_column->count() - 1, section);
}

bool SettingsPage::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        const int side = std::max(kMargin, (viewport()->width() - kColumnWidth) / 2);
        m_column->setContentsMargins(side, kMargin, side, 24);
    }
    return QScrollArea::viewportEvent(event);
}
