// The minutes view: each chip renames or enrols its own speaker, the recording can be shown
// in the file manager, and the transcript follows its newest line until the user scrolls up.
#include "UI/Minutes/MinutesView.h"

#include "Common/QtPrinters.h"
#include "UI/Minutes/SpeakerChip.h"
#include "UI/Talk/EndFollower.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {
SpeakerChip* chipOf(MinutesView& view, int speakerID)
{
    for (SpeakerChip* chip : view.findChildren<SpeakerChip*>())
        if (chip->speaker().id == speakerID)
            return chip;
    return nullptr;
}
}  // namespace

TEST(MinutesView, EachChipNamesOrEnrolsItsOwnSpeaker)
{
    struct Case {
        const char* name;
        int speakerID;  // 1 automatic, 2 enrolled (TalkScenes::fillMinutes)
        const char* button;
        QString typed;
        bool enrolled;  // what the engine answers
        QStringList commands;
    };
    const Case cases[] = {
        {"enrol the automatic speaker",
         1,
         "speakerEnrollButton",
         QStringLiteral("  Bea "),
         true,
         {QStringLiteral("enrollSpeaker(1, Bea)"), QStringLiteral("renameSpeaker(1, Bea)")}},
        {"a refused enrolment renames nothing",
         1,
         "speakerRenameButton",
         QStringLiteral("Bea"),
         false,
         {QStringLiteral("enrollSpeaker(1, Bea)")}},
        {"rename the enrolled speaker",
         2,
         "speakerRenameButton",
         QStringLiteral("Mina Kim"),
         true,
         {QStringLiteral("renameSpeaker(2, Mina Kim)")}},
        {"a blank name closes the field", 1, "speakerRenameButton", QStringLiteral("   "), true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestContext ui;
        TalkScenes::fillMinutes(ui);
        ui.commands.enrollAnswer = c.enrolled;
        MinutesView view(ui.context);
        view.show();
        SpeakerChip* chip = chipOf(view, c.speakerID);
        ASSERT_TRUE(chip);
        QTest::mouseClick(chip->findChild<QToolButton*>(QLatin1String(c.button)), Qt::LeftButton);
        ASSERT_TRUE(chip->isEditing());
        auto* field = chip->findChild<QLineEdit*>();
        EXPECT_EQ(field->text(), chip->speaker().label);
        // The speakers refresh while the field is open (a new line was attributed): it stays.
        ui.minutes.setKnownSpeakers(ui.minutes.knownSpeakers());
        ASSERT_EQ(chipOf(view, c.speakerID), chip);
        EXPECT_TRUE(chip->isEditing());
        field->setText(c.typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(chip->isEditing());
        EXPECT_EQ(ui.commands.calls, c.commands);
    }
}

TEST(MinutesView, ShowsTheRecordingAndSpeakerNamesAsTyped)
{
    UiTestContext ui;
    MinutesView view(ui.context);
    view.show();
    auto* capsule = view.findChild<QWidget*>(QStringLiteral("recordingCapsule"));
    EXPECT_FALSE(capsule->isVisible());
    TalkScenes::fillMinutes(ui);
    ui.minutes.setKnownSpeakers({{4, QStringLiteral("<b>Bo</b>"), {}, 2, false}});
    EXPECT_TRUE(capsule->isVisible());
    const QString shown = view.findChild<QLabel*>(QStringLiteral("recordingFileName"))->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("meeting-2026")) && shown.endsWith(QStringLiteral(".caf")))
        << shown.toStdString();
    QTest::mouseClick(view.findChild<QToolButton*>(QStringLiteral("revealRecordingButton")), Qt::LeftButton);
    EXPECT_EQ(ui.commands.calls, QStringList{QStringLiteral("revealRecordingInFinder()")});
    auto* label = view.findChild<QLabel*>(QStringLiteral("speakerLabel"));
    EXPECT_EQ(label->text(), QStringLiteral("<b>Bo</b>"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

TEST(MinutesView, TranscriptFollowsTheNewestLineUntilTheUserScrollsUp)
{
    UiTestContext ui;
    MinutesView view(ui.context);
    view.resize(500, 220);
    view.show();
    const QListView& list = *view.findChild<QListView*>();
    QScrollBar& bar = *list.verticalScrollBar();
    int number = 0;
    const auto say = [&](int lines) {
        for (int i = 0; i < lines; ++i)
            ui.minutes.appendEntry(MinutesEntry::make(QDateTime::currentDateTime(), 1, QStringLiteral("A"),
                                                      QStringLiteral("line %1").arg(++number)));
        QApplication::processEvents();
    };
    say(30);
    ASSERT_GT(bar.maximum(), 0);
    EXPECT_EQ(bar.value(), bar.maximum());
    bar.triggerAction(QAbstractSlider::SliderToMinimum);
    say(3);
    ui.minutes.renameSpeaker(1, QStringLiteral("Bea"));
    QApplication::processEvents();
    EXPECT_EQ(bar.value(), 0);
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    say(3);
    EXPECT_EQ(bar.value(), bar.maximum());
    EXPECT_TRUE(view.follower().isFollowing());
}
