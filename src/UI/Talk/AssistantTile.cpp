#include "UI/Talk/AssistantTile.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Face/FaceAvatar.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/LineText.h"
#include "UI/Talk/Dot.h"
#include "UI/Talk/FaceCard.h"
#include "UI/Talk/PillRow.h"
#include "UI/Talk/TextStyle.h"
#include "UI/Talk/WorkStateControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AssistantTile::AssistantTile(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_moods(context.scheduler), m_card(new FaceCard(context, this)),
      m_name(new ElidedLabel(context.theme, TextStyle::font(TextStyle::Size::caption, QFont::DemiBold),
                             TextTint::primary(), Qt::ElideRight)),
      m_dot(new Dot(7)), m_phase(new QLabel)
{
    setObjectName(QStringLiteral("assistantTile"));
    m_name->setObjectName(QStringLiteral("assistantName"));
    m_phase->setObjectName(QStringLiteral("phaseLabel"));
    TextStyle::apply(*m_phase, TextStyle::Size::caption, QFont::DemiBold);

    auto* status = new QWidget;
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(6);
    // A long name gives way (whole on hover) before the phase does.
    statusLayout->addWidget(m_name, 1);
    statusLayout->addWidget(m_dot);
    statusLayout->addWidget(m_phase);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_card, 1);
    auto* controls = new WorkStateControls(context, this);
    m_footer = &controls->row();
    m_footer->setLeading(status, 6);
    layout->addWidget(controls);

    refresh();
    followPhase();
    const EngineState& engine = context.engine;
    AppSettings& settings = context.settings;
    connect(&engine, &EngineState::phaseChanged, this, &AssistantTile::refresh);
    connect(&engine, &EngineState::phaseChanged, this, &AssistantTile::followPhase);
    connect(&settings, &AppSettings::restingUntilChanged, this, &AssistantTile::refresh);
    connect(&settings, &AppSettings::assistantNameChanged, this, &AssistantTile::refresh);
    connect(&settings, &AppSettings::uiLanguageChanged, this, &AssistantTile::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &AssistantTile::refresh);
    for (const auto changed :
         {&AppSettings::avatarGenderChanged, &AppSettings::avatarStyleChanged, &AppSettings::avatarImageNameChanged})
        connect(&settings, changed, this, &AssistantTile::refreshFace);
    connect(&m_moods, &IdleMoodAnimator::currentChanged, this, &AssistantTile::refreshFace);
}

void AssistantTile::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    followPhase();
}

void AssistantTile::hideEvent(QHideEvent* event)
{
    m_moods.stop();
    QWidget::hideEvent(event);
}

void AssistantTile::refresh()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    const ConversationPhase phase = m_context.engine.phase();
    const bool resting = m_context.settings.restingUntil().has_value();
    const QString name = LineText::trimmedSpacesAndTabs(m_context.settings.assistantName());
    m_name->setText(name.isEmpty() ? L10n::t(QStringLiteral("tile.assistant"), language) : name);

    const QColor colour = resting ? m_context.theme.named(ThemePalette::Named::orange)
                                  : ThemePalette::phaseColor(phase, m_context.theme.isDark());
    m_dot->setColour(colour);
    m_phase->setText(resting ? L10n::t(QStringLiteral("btn.resting"), language)
                             : L10n::t(QStringLiteral("phase.") + rawValue(phase), language));
    QPalette palette = m_phase->palette();
    palette.setColor(QPalette::WindowText, ThemePalette::text(colour, m_context.theme.isDark()));
    m_phase->setPalette(palette);
    m_card->face().setPhase(phase);
    m_card->face().setAccessibleName(m_phase->text());
    refreshFace();
}

void AssistantTile::refreshFace()
{
    const AppSettings& settings = m_context.settings;
    FaceAvatar& face = m_card->face();
    face.setGender(settings.avatarGender());
    face.setStyle(settings.avatarStyle());
    face.setCustomImageName(settings.avatarImageName());
    const QString mood = L10n::t(captionKey(m_moods.current()), settings.uiLanguage());
    face.setIdleMood(m_moods.current(), mood);
    face.setAccessibleDescription(m_context.engine.phase() == ConversationPhase::idle ? mood : QString());
}

void AssistantTile::followPhase()
{
    if (m_context.engine.phase() == ConversationPhase::idle && isVisible())
        m_moods.start();
    else
        m_moods.stop();
}
