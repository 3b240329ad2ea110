#include "UI/Talk/SkillConfirmCard.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/FilledButton.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/PendingSkillText.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
template <typename Button>
Button* button(const char* objectName, QWidget* parent)
{
    auto* button = new Button(parent);
    button->setObjectName(QLatin1String(objectName));
    TextStyle::apply(*button, TextStyle::Size::caption);
    return button;
}
}  // namespace

SkillConfirmCard::SkillConfirmCard(AppContext& context, QWidget* parent)
    : CardFrame(10, parent), m_context(context), m_symbol(new QLabel(this)),
      m_summary(new PlainTextLabel(QString(), this)), m_question(new QLabel(this)),
      m_cancel(button<QPushButton>("skillCancelButton", this)),
      m_approve(button<FilledButton>("skillApproveButton", this))
{
    setObjectName(QStringLiteral("skillConfirmCard"));
    m_summary->setObjectName(QStringLiteral("skillSummary"));
    TextStyle::apply(*m_summary, TextStyle::Size::callout, QFont::DemiBold);
    m_summary->setWordWrap(true);
    TextStyle::apply(*m_question, TextStyle::Size::caption);
    m_cancel->setToolTip(QStringLiteral("Esc"));
    m_approve->setToolTip(QStringLiteral("Shift+Ctrl+↵"));
    m_approve->setDefault(false);
    m_cancel->setAutoDefault(false);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(m_summary);
    texts->addWidget(m_question);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_symbol);
    layout->addLayout(texts, 1);
    layout->addWidget(m_cancel);
    layout->addWidget(m_approve);

    connect(m_cancel, &QPushButton::clicked, this, [this] { m_context.commands.cancelPendingSkill(); });
    connect(m_approve, &QPushButton::clicked, this, [this] { m_context.commands.approvePendingSkill(); });
    // Parented to the card: live only while it shows.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancel, &QShortcut::activated, m_cancel, &QPushButton::click);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* approve = new QShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | key), this);
        connect(approve, &QShortcut::activated, m_approve, &QPushButton::click);
    }

    refresh();
    connect(&context.engine, &EngineState::pendingSkillChanged, this, &SkillConfirmCard::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &SkillConfirmCard::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &SkillConfirmCard::refresh);
}

void SkillConfirmCard::showEvent(QShowEvent* event)
{
    CardFrame::showEvent(event);
    // Shown again with its tab, the card keeps where the focus was before it first came.
    if (!isAncestorOf(window()->focusWidget()))
        m_focusBefore = window()->focusWidget();
    m_cancel->setFocus(Qt::OtherFocusReason);
}

void SkillConfirmCard::hideEvent(QHideEvent* event)
{
    // Before Qt moves the focus on from a hidden button to whatever comes next.
    if (isAncestorOf(window()->focusWidget()) && m_focusBefore && m_focusBefore->isVisible())
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    CardFrame::hideEvent(event);
}

void SkillConfirmCard::refresh()
{
    const QColor accent = m_context.theme.color(ThemePalette::Token::accent);
    setColours(ThemePalette::withAlpha(accent, 0.1), ThemePalette::withAlpha(accent, 0.35));
    m_symbol->setPixmap(Icons::symbol(QStringLiteral("wand.and.stars"), accent).pixmap(20, 20));
    m_cancel->setIcon(Icons::symbol(QStringLiteral("xmark")));
    m_approve->setIcon(Icons::symbol(QStringLiteral("checkmark"), Qt::white));
    m_approve->setFill(ThemePalette::filled(ThemePalette::Token::accent, m_context.theme.isDark()));
    QPalette palette = m_question->palette();
    palette.setColor(QPalette::WindowText, m_context.theme.color(ThemePalette::Token::secondary));
    m_question->setPalette(palette);
    const AppLanguage language = m_context.settings.uiLanguage();
    const auto& pending = m_context.engine.pendingSkill();
    m_summary->setText(pending ? PendingSkillText::summary(*pending, m_context.services.skills, language) : QString());
    m_question->setText(L10n::t(QStringLiteral("skill.confirm_question"), language));
    m_cancel->setText(L10n::t(QStringLiteral("btn.cancel"), language));
    m_approve->setText(L10n::t(QStringLiteral("btn.proceed"), language));
    // Whoever lands on a button hears what it decides on.
    for (QPushButton* button : {m_cancel, static_cast<QPushButton*>(m_approve)})
        button->setAccessibleDescription(m_summary->text() + QStringLiteral(" — ") + m_question->text());
}
