#include "UI/Talk/SkillConfirmCard.h"

#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
QPushButton* button(const QString& text, const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    TextStyle::apply(*button, TextStyle::Size::caption);
    return button;
}
}  // namespace

SkillConfirmCard::SkillConfirmCard(AppContext& context, QWidget* parent)
    : CardFrame(10, parent), m_context(context), m_symbol(new QLabel(this)),
      m_summary(new PlainTextLabel(QString(), this)), m_question(new QLabel(QStringLiteral("진행할까요?"), this)),
      m_cancel(button(QStringLiteral("취소"), "skillCancelButton", this)),
      m_approve(button(QStringLiteral("진행"), "skillApproveButton", this))
{
    setObjectName(QStringLiteral("skillConfirmCard"));
    m_summary->setObjectName(QStringLiteral("skillSummary"));
    TextStyle::apply(*m_summary, TextStyle::Size::callout, QFont::DemiBold);
    m_summary->setWordWrap(true);
    TextStyle::apply(*m_question, TextStyle::Size::caption);
    m_cancel->setToolTip(QStringLiteral("Esc"));
    m_approve->setToolTip(QStringLiteral("Shift+Ctrl+↵"));
    m_approve->setDefault(false);
    m_approve->setAutoDefault(false);
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
    connect(&context.theme, &Theme::appearanceChanged, this, &SkillConfirmCard::refresh);
}

void SkillConfirmCard::refresh()
{
    const QColor accent = m_context.theme.color(ThemePalette::Token::accent);
    setColours(ThemePalette::withAlpha(accent, 0.1), ThemePalette::withAlpha(accent, 0.35));
    m_symbol->setPixmap(Icons::symbol(QStringLiteral("wand.and.stars"), accent).pixmap(20, 20));
    m_cancel->setIcon(Icons::symbol(QStringLiteral("xmark")));
    m_approve->setIcon(Icons::symbol(QStringLiteral("checkmark"), Qt::white));
    QPalette prominent = m_approve->palette();
    prominent.setColor(QPalette::Button, accent);
    prominent.setColor(QPalette::ButtonText, Qt::white);
    m_approve->setPalette(prominent);
    QPalette palette = m_question->palette();
    palette.setColor(QPalette::WindowText, m_context.theme.named(ThemePalette::Named::gray));
    m_question->setPalette(palette);
    const auto& pending = m_context.engine.pendingSkill();
    m_summary->setText(pending ? pending->summary : QString());
}
