#include "UI/Talk/UserTile.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/App/AppContext.h"
#include "UI/Camera/CameraPlaceholder.h"
#include "UI/Camera/CameraPreviewCard.h"
#include "UI/Kit/Theme.h"
#include "UI/Talk/FaceCard.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/PillRow.h"
#include "UI/Talk/TextStyle.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
using TalkButtons::Kind;

struct ButtonSpec {
    Kind kind;
    const char* objectName;
};

constexpr ButtonSpec buttonSpecs[] = {
    {Kind::camera, "cameraButton"},
    {Kind::fire, "fireButton"},
    {Kind::stopSpeech, "stopSpeechButton"},
};
}  // namespace

UserTile::UserTile(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_actions(context.settings, context.engine, context.commands),
      m_picture(new QStackedWidget(this)), m_placeholder(new CameraPlaceholder(m_picture)),
      m_card(new CameraPreviewCard(context, m_picture)), m_you(new QLabel)
{
    setObjectName(QStringLiteral("userTile"));
    m_you->setObjectName(QStringLiteral("youLabel"));
    TextStyle::apply(*m_you, TextStyle::Size::caption, QFont::Medium);
    m_picture->addWidget(m_placeholder);
    m_picture->addWidget(m_card);
    m_picture->setMinimumHeight(FaceCard::shortest);
    m_picture->setMaximumHeight(FaceCard::tallest);

    m_footer = new PillRow(8, PillRow::Lines::wrap, this);
    m_footer->setLeading(m_you, 8);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const ButtonSpec& spec = buttonSpecs[i];
        auto* button = new PillButton(10, 6, 8);
        button->setObjectName(QLatin1String(spec.objectName));
        button->setFont(TextStyle::font(TextStyle::Size::caption, QFont::Medium));
        connect(button, &PillButton::clicked, this, [this, kind = spec.kind] { m_actions.press(kind); });
        m_footer->add(button);
        m_buttons[i] = button;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_picture, 1);
    layout->addWidget(m_footer);

    refresh();
    for (const auto changed : {&EngineState::phaseChanged, &EngineState::cameraActiveChanged})
        connect(&context.engine, changed, this, &UserTile::refresh);
    for (const auto changed : {&AppSettings::cameraGazeEnabledChanged, &AppSettings::uiLanguageChanged})
        connect(&context.settings, changed, this, &UserTile::refresh);
    connect(&context.theme, &Theme::appearanceChanged, this, &UserTile::refresh);
}

void UserTile::refresh()
{
    const AppSettings& settings = m_context.settings;
    const AppLanguage language = settings.uiLanguage();
    const bool gaze = settings.cameraGazeEnabled();
    const bool dark = m_context.theme.isDark();
    const QColor secondary = m_context.theme.color(ThemePalette::Token::secondary);
    if (gaze && m_context.engine.cameraActive()) {
        m_picture->setCurrentWidget(m_card);
    } else {
        m_placeholder->setContent(
            gaze ? QStringLiteral("waveform") : QStringLiteral("video.slash.fill"),
            L10n::t(gaze ? QStringLiteral("camera.idle") : QStringLiteral("btn.camera_off"), language), secondary);
        m_picture->setCurrentWidget(m_placeholder);
    }
    m_you->setText(L10n::t(QStringLiteral("tile.you"), language));
    QPalette palette = m_you->palette();
    palette.setColor(QPalette::WindowText, secondary);
    m_you->setPalette(palette);

    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const TalkButtons::Look look = TalkButtons::look(buttonSpecs[i].kind, gaze, m_context.engine.phase(), dark);
        m_buttons[i]->setLook({look.symbol, L10n::t(look.captionKey, language), look.hint,
                               L10n::t(look.helpKey, language), look.background, look.foreground});
        m_buttons[i]->setEnabled(look.enabled);
    }
}
