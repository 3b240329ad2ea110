// The talk view's controls as tables: the level bar, the work-state and talk buttons, the
// mode segments' widths and the camera card's crop.
#include "Common/QtPrinters.h"
#include "UI/Models/CameraCard.h"
#include "UI/Models/MicLevelMeter.h"
#include "UI/Models/SegmentWidths.h"
#include "UI/Models/TalkButtons.h"
#include "UI/Models/ThemePalette.h"
#include "UI/Models/WorkState.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
using Phase = ConversationPhase;
using ThemePalette::Named;
}  // namespace

TEST(MicLevelMeter, ClampsTheLevelOnceAndColoursByLoudness)
{
    const QColor gray = ThemePalette::named(Named::gray, false);
    struct Case {
        double level;
        bool listening;
        double width;  // of a 200-wide bar
        QColor colour;
    };
    const Case cases[] = {
        {0.0, true, 2.0, ThemePalette::withAlpha(gray, 0.55)},
        {-0.7, true, 2.0, ThemePalette::withAlpha(gray, 0.55)},
        {std::numeric_limits<double>::quiet_NaN(), true, 2.0, ThemePalette::withAlpha(gray, 0.55)},
        {0.12, true, 24.0, ThemePalette::named(Named::warm, false)},
        {0.45, true, 90.0, ThemePalette::named(Named::green, false)},
        {1.8, true, 200.0, ThemePalette::named(Named::green, false)},
        {0.9, false, 180.0, ThemePalette::withAlpha(gray, 0.35)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        EXPECT_DOUBLE_EQ(MicLevelMeter::fillWidth(c.level, 200), c.width);
        EXPECT_EQ(MicLevelMeter::fillColor(c.level, c.listening, false), c.colour);
    }
    EXPECT_DOUBLE_EQ(MicLevelMeter::fillWidth(0.5, 1), 1.0) << "never past a tiny track";
}

TEST(WorkState, OneButtonIsPrimaryAndEachActsOnTheStateShown)
{
    using Action = WorkState::Action;
    struct Case {
        const char* name;
        bool clockedIn, resting;
        Action clockInAction;
        bool clockInEnabled, restEnabled, clockOutEnabled;
        bool clockInPrimary, clockOutPrimary;
    };
    const Case cases[] = {
        {"clocked out", false, false, Action::clockIn, true, false, false, true, false},
        {"clocked in", true, false, Action::clockIn, false, true, true, false, true},
        {"resting", true, true, Action::wake, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WorkState state = WorkState::of(c.clockedIn, c.resting);
        EXPECT_EQ(state.clockIn.action, c.clockInAction);
        EXPECT_EQ(state.clockIn.enabled, c.clockInEnabled);
        EXPECT_EQ(state.rest.enabled, c.restEnabled);
        EXPECT_EQ(state.clockOut.enabled, c.clockOutEnabled);
        EXPECT_EQ(state.clockIn.primary, c.clockInPrimary);
        EXPECT_EQ(state.clockOut.primary, c.clockOutPrimary);
        EXPECT_FALSE(state.rest.primary);
        EXPECT_EQ(state.primary().action, c.clockOutPrimary ? Action::clockOut : c.clockInAction);
        EXPECT_EQ(state.resting, c.resting);
    }
}

TEST(WorkState, CountdownNeverShowsLessThanASecond)
{
    const QDateTime now(QDate(2026, 1, 5), QTime(9, 0));
    const struct {
        qint64 untilMs;
        const char* text;
    } cases[] = {{3'600'000, "1:00:00"}, {3'599'001, "1:00:00"}, {61'000, "0:01:01"},
                 {400, "0:00:01"},       {0, "0:00:01"},         {-90'000, "0:00:01"}};
    for (const auto& c : cases)
        EXPECT_EQ(WorkState::countdown(now.addMSecs(c.untilMs), now), QLatin1String(c.text)) << c.untilMs;
}

TEST(TalkButtons, ActiveByPhaseAndOnlyTheCameraStaysEnabledWhenInactive)
{
    using TalkButtons::Kind;
    struct Case {
        Kind kind;
        bool gaze;
        Phase phase;
        bool active, enabled;
        const char* caption;
    };
    const Case cases[] = {
        {Kind::camera, false, Phase::speaking, false, true, "btn.camera_off"},
        {Kind::camera, true, Phase::idle, true, true, "btn.camera_on"},
        {Kind::fire, false, Phase::idle, true, true, "btn.fire"},
        {Kind::fire, false, Phase::listening, true, true, "btn.fire"},
        {Kind::fire, false, Phase::thinking, false, false, "btn.fire"},
        {Kind::fire, false, Phase::error, false, false, "btn.fire"},
        {Kind::stopSpeech, false, Phase::speaking, true, true, "btn.stop_tts"},
        {Kind::stopSpeech, false, Phase::thinking, true, true, "btn.stop_tts"},
        {Kind::stopSpeech, false, Phase::listening, false, false, "btn.stop_tts"},
        {Kind::stopSpeech, false, Phase::interrupted, false, false, "btn.stop_tts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caption) + " " + rawValue(c.phase).toStdString());
        const TalkButtons::Look look = TalkButtons::look(c.kind, c.gaze, c.phase, true);
        EXPECT_EQ(look.active, c.active);
        EXPECT_EQ(look.enabled, c.enabled);
        EXPECT_EQ(look.captionKey, QLatin1String(c.caption));
        EXPECT_NE(look.foreground, look.background);
    }
}

TEST(SegmentWidths, ShortLabelsStayWholeWhileTheWidestGiveWay)
{
    struct Case {
        QList<int> wanted;
        int available;
        QList<int> widths;
    };
    const Case cases[] = {
        {{80, 150, 90, 160, 80}, 600, {80, 150, 90, 160, 80}},
        {{80, 150, 90, 160, 80}, 500, {80, 125, 90, 125, 80}},
        {{80, 150, 90, 160, 80}, 440, {80, 95, 90, 95, 80}},
        {{80, 150, 90, 160, 80}, 100, {40, 40, 40, 40, 40}},  // never below the smallest
        {{30, 150}, 100, {30, 70}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegmentWidths::share(c.wanted, c.available, 40), c.widths) << c.available;
}

// Segments as (full with hint, caption whole, short caption, least): hints go first, then the
// widest captions change to their short forms, and only then are captions cut; a row that
// wraps puts on each line as many whole captions as fit.
TEST(SegmentWidths, HintsGoFirstThenTheWidestTakeTheirShortFormsThenTheyAreCut)
{
    using Segment = SegmentWidths::Segment;
    const QList<Segment> modes{{90, 90, 70, 30}, {160, 160, 90, 30}, {120, 120, 60, 30}, {80, 80, 80, 30}};
    const QList<Segment> buttons{{150, 110, 110, 30}, {70, 70, 70, 30}, {130, 100, 100, 30}};
    struct Case {
        QList<Segment> segments;
        int available;
        QList<int> widths;
    };
    const Case cases[] = {
        {modes, 450, {90, 160, 120, 80}},
        {modes, 449, {90, 90, 120, 80}},  // the widest only
        {modes, 380, {90, 90, 120, 80}},
        {modes, 379, {90, 90, 60, 80}},  // then the next widest
        {modes, 300, {70, 90, 60, 80}},  // all short
        {modes, 280, {70, 75, 60, 75}},  // the widest short forms cut to a common width
        {buttons, 350, {150, 70, 130}},
        {buttons, 320, {150, 70, 100}},  // a hint goes, the first one's stays while it fits
        {buttons, 290, {110, 70, 100}},
        {buttons, 250, {90, 70, 90}},  // cut only where no caption can stay whole
        {{{400, 400, 400, 50}}, 300, {300}},  // a label wider than its line
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegmentWidths::fit(c.segments, c.available), c.widths) << c.available;

    struct Lines {
        int available;
        QList<qsizetype> starts;
    };
    for (const Lines& c :
         {Lines{288, {0}}, Lines{287, {0, 2}}, Lines{180, {0, 1}}, Lines{170, {0, 1, 2}}, Lines{60, {0, 1, 2}}})
        EXPECT_EQ(SegmentWidths::lineStarts(buttons, 4, c.available), c.starts) << c.available;
}

TEST(CameraCard, FillsTheCardByCroppingTheCentreAndColoursTheGaze)
{
    struct Case {
        QSizeF picture, target;
        QRectF source;
    };
    const Case cases[] = {
        {{640, 480}, {320, 240}, {0, 0, 640, 480}},
        {{640, 480}, {400, 200}, {0, 80, 640, 320}},
        {{640, 480}, {200, 400}, {200, 0, 240, 480}},
        {{0, 0}, {200, 400}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CameraCard::fillSource(c.picture, c.target), c.source) << c.target.width();
    EXPECT_EQ(CameraCard::statusKey(GazeStatus::noFace), QStringLiteral("gaze.no_face"));
    EXPECT_EQ(CameraCard::statusColour(GazeStatus::lookingAway, false), ThemePalette::named(Named::orange, false));
    EXPECT_EQ(CameraCard::statusColour(GazeStatus::lookingAtScreen, true), ThemePalette::named(Named::green, true));
}
