// The camera card shows the newest frame mirrored (grey when asked) and takes frames only
// while it shows.
#include "UI/Camera/CameraPreviewCard.h"

#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(CameraPreviewCard, ShowsTheNewestFrameMirroredAndSubscribesOnlyWhileShown)
{
    UiTestContext ui;
    CameraPreviewCard card(ui.context);
    EXPECT_FALSE(ui.commands.cameraPreview) << "no subscription before it shows";
    ui.settings.setCameraGrayscaleProcessing(false);
    card.show();
    ASSERT_TRUE(ui.commands.cameraPreview);

    CameraFrame frame;
    frame.pixels = QImage(3, 2, QImage::Format_ARGB32);
    frame.pixels.fill(Qt::black);
    frame.pixels.setPixelColor(0, 0, Qt::red);  // a red pixel at the left
    ui.commands.cameraPreview->push(TalkScenes::portrait());
    ui.commands.cameraPreview->push(frame);  // the newer one wins
    QApplication::processEvents();
    ASSERT_EQ(card.picture().size(), QSize(3, 2));
    EXPECT_EQ(card.picture().pixelColor(2, 0), QColor(Qt::red)) << "mirrored like a looking glass";

    ui.settings.setCameraGrayscaleProcessing(true);
    ui.commands.cameraPreview->push(frame);
    QApplication::processEvents();
    EXPECT_TRUE(card.picture().isGrayscale());

    const auto subscription = ui.commands.cameraPreview;
    card.hide();
    EXPECT_TRUE(subscription->isClosed());
    card.show();
    EXPECT_NE(ui.commands.cameraPreview, subscription);
}
