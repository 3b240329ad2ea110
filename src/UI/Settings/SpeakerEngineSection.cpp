#include "UI/Settings/SpeakerEngineSection.h"

#include "UI/Kit/PlainTextLabel.h"

#include <QLabel>

SpeakerEngineSection::SpeakerEngineSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("speakerEngineSection"), parent)
{
    setTitle(QStringLiteral("settings.speaker_engine"));
    QLabel* icon = makeSymbol("waveform.badge.magnifyingglass", 22);
    icon->setFixedWidth(28);
    icon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);  // stays by the first line
    PlainTextLabel* description = makeLabel(TextStyle::Size::callout, TextTint::secondary());
    description->setObjectName(QStringLiteral("speakerEngineDescription"));
    texts().label(*description, QStringLiteral("settings.speaker_engine_desc"));

    QWidget* row = rowOf({icon, description}, 12);
    row->setContentsMargins(0, 4, 0, 4);
    addRow(row);
}
