// Contrast measured on the drawn window, light and dark: the talk tab's named controls, the
// consent card's buttons and the minutes' speaker labels read at 4.5:1 against what they stand
// on, a check box's and a field's edges show at 3:1.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/QtPrinters.h"
#include "UI/Models/Contrast.h"
#include "UI/Screenshots.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QCheckBox>
#include <QHash>
#include <QLineEdit>
#include <QListView>
#include <QScrollArea>
#include <QStyleOption>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {
using Screenshots::Appearance;

// The most frequent colour of the pixels of `area` (what the text stands on), leaving out the
// pixels of `without` and those of the colour `besides`.
QColor commonest(const QImage& image, const QRect& area, const QRect& without = {}, const QColor& besides = {})
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && !without.contains(x, y) && image.pixelColor(x, y) != besides)
                ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            std::tie(best, most) = std::pair{it.key(), it.value()};
    return QColor::fromRgb(best);
}

// The strongest contrast any pixel of `area` makes with `background`: the text's (or the
// edge's) own colour where it is drawn fully.
double strongest(const QImage& image, const QRect& area, const QColor& background)
{
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y))
                best = std::max(best, Contrast::ratio(QColor::fromRgb(image.pixel(x, y)), background));
    return best;
}

QRect placeOf(const QWidget& widget, const QWidget& window)
{
    return QRect(widget.mapTo(&window, QPoint()), widget.size());
}

struct Named {
    const char* object;
    double minimum;
};

TEST(Contrast, TheNamedControlsReadOnTheDrawnWindow)
{
    const Named talk[] = {{"clockInButton", Contrast::kText}, {"fireButton", Contrast::kText},
                          {"phaseLabel", Contrast::kText},    {"transcriptHint", Contrast::kText},
                          {"versionLabel", Contrast::kText},  {"skillTipText", Contrast::kText},
                          {"cameraButton", Contrast::kText},  {"modeSegment-conversation", Contrast::kText}};
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        SCOPED_TRACE(appearance == Appearance::dark ? "dark" : "light");
        Screenshots::prepare(appearance);
        {
            UiTestContext ui;
            ui.settings.setUiLanguage(AppLanguage::english);
            MainWindow window(ui.context);
            window.resize(900, 900);
            window.show();
            QApplication::processEvents();
            const QImage image = window.grab().toImage();
            const QWidget& talkTab = *window.findChild<QWidget*>(QStringLiteral("talkTab"));
            for (const Named& named : talk) {
                SCOPED_TRACE(named.object);
                const QWidget* widget = talkTab.findChild<QWidget*>(QLatin1String(named.object));
                ASSERT_TRUE(widget && widget->isVisible());
                const QRect area = placeOf(*widget, window);
                EXPECT_GE(strongest(image, area, commonest(image, area)), named.minimum);
            }

            window.content().selectTab(AppTab::settings);
            auto& page = static_cast<QScrollArea&>(window.content().currentPage());
            auto* box = window.findChild<QCheckBox*>(QStringLiteral("bargeInToggle"));
            auto* field = window.findChild<QLineEdit*>(QStringLiteral("subfolderField"));
            for (QWidget* control : {static_cast<QWidget*>(box), static_cast<QWidget*>(field)}) {
                SCOPED_TRACE(control->objectName().toStdString());
                page.ensureWidgetVisible(control);
                QApplication::processEvents();
                const QImage shown = window.grab().toImage();
                QRect edge = placeOf(*control, window);
                if (control == box) {
                    QStyleOptionButton option;
                    option.initFrom(box);
                    edge = box->style()
                               ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box)
                               .translated(edge.topLeft());
                }
                // What the control stands on: the ring just outside it.
                const QColor around = commonest(shown, edge.adjusted(-3, -3, 3, 3), edge);
                EXPECT_GE(strongest(shown, edge, around), Contrast::kOutline);
            }
        }
    }
    Screenshots::restore();
}

// The box of the pixels of `area` that have exactly `colour`.
QRect boxOf(const QImage& image, const QRect& area, const QColor& colour)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(Contrast, TheConsentButtonsAndTheMinutesSpeakerLabelsRead)
{
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        SCOPED_TRACE(appearance == Appearance::dark ? "dark" : "light");
        Screenshots::prepare(appearance);
        {
            UiTestContext ui;
            ui.settings.setUiLanguage(AppLanguage::english);
            ui.settings.setAppMode(AppMode::minutes);
            ui.engine.setEnabled(true);
            ui.engine.setPendingSkill(
                PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail the notes to Mina"), {}));
            for (int speaker = 0; speaker < 8; ++speaker)  // each of the eight speaker colours
                ui.minutes.appendEntry(MinutesEntry::make(QDateTime::currentDateTime(), speaker,
                                                          QStringLiteral("Speaker"), QStringLiteral("Agreed.")));
            MainWindow window(ui.context);
            window.resize(900, 900);
            window.show();
            QApplication::processEvents();
            const QImage image = window.grab().toImage();
            for (const char* name : {"skillApproveButton", "skillCancelButton"}) {
                SCOPED_TRACE(name);
                const QRect area = placeOf(*window.findChild<QWidget*>(QLatin1String(name)), window);
                // The button's fill, without its outline.
                const QRect inside = area.adjusted(3, 3, -3, -3);
                EXPECT_GE(strongest(image, inside, commonest(image, inside)), Contrast::kText);
            }
            const auto& list = *window.findChild<QListView*>(QStringLiteral("minutesList"));
            for (int row = 0; row < list.model()->rowCount(); ++row) {
                SCOPED_TRACE(row);
                const QRect line =
                    list.visualRect(list.model()->index(row, 0)).translated(list.viewport()->mapTo(&window, QPoint()));
                ASSERT_TRUE(image.rect().contains(line));
                // The label's capsule: the one solid colour of the line besides what it stands on.
                const QColor around = commonest(image, line);
                const QColor fill = commonest(image, line, {}, around);
                const QRect capsule = boxOf(image, line, fill);
                // Inside its rounded ends, where the name is written.
                const QRect inside = capsule.adjusted(capsule.height() / 2, 1, -capsule.height() / 2, -1);
                EXPECT_GE(strongest(image, inside, fill), Contrast::kText) << fill.name().toStdString();
            }
        }
    }
    Screenshots::restore();
}

}  // namespace
