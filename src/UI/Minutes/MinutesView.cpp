#include "UI/Minutes/MinutesView.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MinutesStore.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/Theme.h"
#include "UI/Minutes/MinutesRowDelegate.h"
#include "UI/Minutes/SpeakerChip.h"
#include "UI/Models/EmptyConversation.h"
#include "UI/Models/MinutesListModel.h"
#include "UI/Talk/CardFrame.h"
#include "UI/Talk/EndFollower.h"
#include "UI/Talk/KeyedRows.h"
#include "UI/Talk/TextStyle.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int stripHeight = 36;
}

MinutesView::MinutesView(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_symbol(new QLabel(this)), m_title(new QLabel(this)),
      m_recording(new CardFrame(-1, this)), m_recordingSymbol(new QLabel(m_recording)),
      m_fileName(new PlainTextLabel(QString(), m_recording)), m_reveal(new QToolButton(m_recording)),
      m_chips(new QHBoxLayout), m_transcript(new CardFrame(10, this)),
      m_model(new MinutesListModel(context.minutes, this)), m_list(new QListView(m_transcript)),
      m_empty(new QLabel(m_transcript))
{
    setObjectName(QStringLiteral("minutesView"));
    m_recording->setObjectName(QStringLiteral("recordingCapsule"));
    m_fileName->setObjectName(QStringLiteral("recordingFileName"));
    m_reveal->setObjectName(QStringLiteral("revealRecordingButton"));
    m_list->setObjectName(QStringLiteral("minutesList"));
    m_empty->setObjectName(QStringLiteral("minutesEmpty"));

    TextStyle::apply(*m_title, TextStyle::Size::caption, QFont::DemiBold);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(TextStyle::font(TextStyle::Size::caption2).pointSizeF());
    m_fileName->setFont(mono);
    m_reveal->setAutoRaise(true);
    m_reveal->setFocusPolicy(Qt::StrongFocus);
    connect(m_reveal, &QToolButton::clicked, this, [this] { m_context.commands.revealRecordingInFinder(); });
    auto* capsule = new QHBoxLayout(m_recording);
    capsule->setContentsMargins(8, 2, 8, 2);
    capsule->setSpacing(6);
    capsule->addWidget(m_recordingSymbol);
    capsule->addWidget(m_fileName);
    capsule->addWidget(m_reveal);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(m_symbol);
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_recording);

    auto* chips = new QWidget;
    chips->setObjectName(QStringLiteral("speakerChips"));
    chips->setLayout(m_chips);
    m_chips->setContentsMargins(0, 2, 0, 2);
    m_chips->setSpacing(6);
    m_chips->addStretch(1);
    auto* strip = new QScrollArea(this);
    strip->setObjectName(QStringLiteral("speakerStrip"));
    strip->setWidget(chips);
    strip->setWidgetResizable(true);
    strip->setFrameShape(QFrame::NoFrame);
    strip->setFocusPolicy(Qt::NoFocus);
    strip->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip->setMaximumHeight(stripHeight);
    strip->setStyleSheet(QStringLiteral("QScrollArea, #speakerChips { background: transparent; }"));

    m_list->setModel(m_model);
    m_list->setItemDelegate(new MinutesRowDelegate(context.theme, m_list));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setWordWrap(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    m_follower = new EndFollower(*m_list->verticalScrollBar());
    TextStyle::apply(*m_empty, TextStyle::Size::callout);
    m_empty->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_empty->setWordWrap(true);
    m_empty->setContentsMargins(20, 20, 20, 20);
    auto* transcript = new QVBoxLayout(m_transcript);
    transcript->setContentsMargins(8, 8, 8, 8);
    transcript->addWidget(m_empty);
    transcript->addWidget(m_list, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(header);
    layout->addWidget(strip);
    layout->addWidget(m_transcript, 1);

    relabel();
    refreshRecording();
    refreshSpeakers();
    refreshEntries();
    connect(&context.engine, &EngineState::currentRecordingURLChanged, this, &MinutesView::refreshRecording);
    connect(&context.minutes, &MinutesStore::knownSpeakersChanged, this, &MinutesView::refreshSpeakers);
    connect(&context.minutes, &MinutesStore::entriesChanged, this, &MinutesView::refreshEntries);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &MinutesView::relabel);
    for (const auto changed : {&EngineState::enabledChanged, &EngineState::phaseChanged})
        connect(&context.engine, changed, this, &MinutesView::showHint);
    connect(&context.settings, &AppSettings::restingUntilChanged, this, &MinutesView::showHint);
    connect(&context.theme, &Theme::appearanceChanged, this, &MinutesView::relabel);
}

void MinutesView::refreshRecording()
{
    const std::optional<QUrl>& url = m_context.engine.currentRecordingURL();
    m_recording->setVisible(url.has_value());
    if (!url)
        return;
    const QString name = QFileInfo(url->toLocalFile()).fileName();
    m_fileName->setText(m_fileName->fontMetrics().elidedText(name, Qt::ElideMiddle, widestFileName));
    m_fileName->setToolTip(name);
}

void MinutesView::refreshSpeakers()
{
    const QList<Speaker>& speakers = m_context.minutes.knownSpeakers();
    QList<int> ids;
    for (const Speaker& speaker : speakers)
        ids << speaker.id;
    // A chip keeps its identity (and an open name field) as long as its speaker stays.
    KeyedRows::follow(m_chipByID, ids, *m_chips, 0, [this, &ids](qsizetype i) {
        auto* chip = new SpeakerChip(m_context);
        const int id = ids[i];
        connect(chip, &SpeakerChip::renameRequested, this,
                [this, id](const QString& name) { m_context.commands.renameSpeaker(id, name); });
        connect(chip, &SpeakerChip::enrollRequested, this, [this, id](const QString& name) { enroll(id, name); });
        return chip;
    });
    for (const Speaker& speaker : speakers)
        m_chipByID[speaker.id]->setSpeaker(speaker);
}

void MinutesView::enroll(int speakerID, const QString& name)
{
    // The name follows only a voice that was really stored; it also relabels the lines
    // already written under this speaker.
    if (m_context.commands.enrollSpeaker(speakerID, name))
        m_context.commands.renameSpeaker(speakerID, name);
}

void MinutesView::refreshEntries()
{
    const bool empty = m_model->rowCount() == 0;
    m_empty->setVisible(empty);
    m_list->setVisible(!empty);
}

void MinutesView::showHint()
{
    m_empty->setText(L10n::t(EmptyConversation::hintKey(m_context.engine, m_context.settings, false),
                             m_context.settings.uiLanguage()));
}

void MinutesView::relabel()
{
    const Theme& theme = m_context.theme;
    const AppLanguage language = m_context.settings.uiLanguage();
    const QColor secondary = theme.color(ThemePalette::Token::secondary);
    const QColor red = theme.named(ThemePalette::Named::red);
    m_title->setText(L10n::t(QStringLiteral("mode.minutes"), language));
    m_list->setAccessibleName(m_title->text());
    showHint();
    for (QLabel* label : {m_title, m_empty}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, secondary);
        label->setPalette(palette);
    }
    m_symbol->setPixmap(Icons::symbol(QStringLiteral("doc.text.fill"), secondary).pixmap(14, 14));
    m_recordingSymbol->setPixmap(Icons::symbol(QStringLiteral("waveform.circle.fill"), red).pixmap(14, 14));
    m_reveal->setIcon(Icons::symbol(QStringLiteral("folder.fill")));
    m_reveal->setToolTip(L10n::t(QStringLiteral("btn.show_in_files"), language));
    m_reveal->setAccessibleName(m_reveal->toolTip());
    m_recording->setColours(ThemePalette::withAlpha(red, 0.1));
    m_transcript->setColours(ThemePalette::withAlpha(secondary, 0.06));
    m_list->viewport()->update();
}
