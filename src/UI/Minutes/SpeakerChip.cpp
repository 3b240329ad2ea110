#include "UI/Minutes/SpeakerChip.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Support/Text.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/MinutesListModel.h"
#include "UI/Talk/Dot.h"
#include "UI/Talk/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {
QToolButton* iconButton(const char* objectName, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setIconSize(QSize(12, 12));
    return button;
}
}  // namespace

SpeakerChip::SpeakerChip(AppContext& context, QWidget* parent)
    : CardFrame(-1, parent), m_context(context), m_dot(new Dot(8, this)), m_star(new QLabel(this)),
      m_label(new PlainTextLabel(QString(), this)), m_count(new QLabel(this)),
      m_rename(iconButton("speakerRenameButton", this)), m_enroll(iconButton("speakerEnrollButton", this)),
      m_field(new QLineEdit(this)), m_commit(iconButton("speakerCommitButton", this))
{
    setObjectName(QStringLiteral("speakerChip"));
    m_label->setObjectName(QStringLiteral("speakerLabel"));
    m_field->setObjectName(QStringLiteral("speakerNameField"));
    // The speaker's label is what the field renames.
    m_label->setBuddy(m_field);
    m_field->setFixedWidth(100);
    TextStyle::apply(*m_label, TextStyle::Size::caption);
    TextStyle::apply(*m_count, TextStyle::Size::caption2);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(4);
    for (QWidget* part : QWidgetList{m_dot, m_star, m_label, m_count, m_rename, m_enroll, m_field, m_commit})
        layout->addWidget(part);
    m_field->hide();
    m_commit->hide();

    connect(m_rename, &QToolButton::clicked, this, &SpeakerChip::edit);
    connect(m_enroll, &QToolButton::clicked, this, &SpeakerChip::edit);
    connect(m_commit, &QToolButton::clicked, this, &SpeakerChip::commit);
    connect(m_field, &QLineEdit::returnPressed, this, &SpeakerChip::commit);
    connect(&context.theme, &Theme::appearanceChanged, this, &SpeakerChip::refresh);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &SpeakerChip::refresh);
}

void SpeakerChip::setSpeaker(const Speaker& speaker)
{
    m_speaker = speaker;
    refresh();
}

bool SpeakerChip::isEditing() const
{
    return !m_field->isHidden();
}

void SpeakerChip::edit()
{
    m_field->setText(m_speaker.label);
    for (QWidget* part : QWidgetList{m_field, m_commit})
        part->show();
    for (QWidget* part : QWidgetList{m_star, m_label, m_count, m_rename, m_enroll})
        part->hide();
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectAll();
}

void SpeakerChip::commit()
{
    const QString name = Text::trimmed(m_field->text());
    m_field->hide();
    m_commit->hide();
    refresh();
    if (name.isEmpty())
        return;
    if (m_speaker.isEnrolled)
        emit renameRequested(name);
    else
        emit enrollRequested(name);
}

void SpeakerChip::refresh()
{
    const Theme& theme = m_context.theme;
    const QColor colour = theme.named(MinutesListModel::speakerColour(m_speaker.id));
    setColours(ThemePalette::withAlpha(colour, 0.18));
    m_dot->setColour(colour);
    m_label->setText(m_speaker.label);
    m_count->setText(QStringLiteral("(%1)").arg(m_speaker.utteranceCount));
    QPalette palette = m_count->palette();
    palette.setColor(QPalette::WindowText, theme.color(ThemePalette::Token::secondary));
    m_count->setPalette(palette);
    m_star->setPixmap(
        Icons::symbol(QStringLiteral("star.fill"), theme.named(ThemePalette::Named::yellow)).pixmap(8, 8));
    m_rename->setIcon(Icons::symbol(QStringLiteral("pencil")));
    m_enroll->setIcon(Icons::symbol(QStringLiteral("person.crop.circle.badge.plus")));
    m_commit->setIcon(Icons::symbol(QStringLiteral("checkmark.circle.fill")));
    const AppLanguage language = m_context.settings.uiLanguage();
    const auto name = [language](QWidget* part, const char* key) {
        part->setToolTip(L10n::t(QLatin1String(key), language));
        part->setAccessibleName(part->toolTip());
    };
    name(m_rename, "minutes.rename");
    name(m_enroll, "minutes.enroll");
    name(m_commit, "btn.done");
    m_field->setPlaceholderText(L10n::t(QStringLiteral("minutes.name"), language));
    m_field->setAccessibleName(m_field->placeholderText());
    if (isEditing())
        return;
    for (QWidget* part : QWidgetList{m_label, m_count, m_rename})
        part->show();
    m_star->setVisible(m_speaker.isEnrolled);
    m_enroll->setVisible(!m_speaker.isEnrolled);
}
