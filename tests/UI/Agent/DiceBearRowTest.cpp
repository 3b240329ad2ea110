// The avatar download row against a local avatar service: the seed and style sent, the busy
// button, the failure line, and a new picture under the same name shown at once.
#include "UI/Agent/DiceBearRow.h"

#include "Common/LocalHttpServer.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AvatarLibrary.h"
#include "UI/BoundControls.h"

#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {
QByteArray png(Qt::GlobalColor colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(DiceBearRow, downloadsThePortraitAndMakesItTheAvatar)
{
    ScopedDataRoot root;
    UiTestContext ui;
    LocalHttpServer server;
    LocalHttpServer::Reply reply;
    server.setHandler([&reply](const LocalHttpServer::Request&) { return reply; });
    ui.settings.setAssistantName("Mina");
    DiceBearRow row(ui.context, server.url());
    auto* button = row.findChild<QPushButton*>("diceBearDownloadButton");
    auto* error = row.findChild<QLabel*>("diceBearError");

    struct Step {
        const char* name;
        QString seed;  // typed; "" leaves the field empty
        LocalHttpServer::Reply reply;
        QByteArray requested;  // path and seed
        QString avatar;
        QString failure;
        Qt::GlobalColor shown = Qt::transparent;
    };
    const Step steps[] = {
        {"no seed: the assistant's name",
         "",
         {200, png(Qt::red), "image/png", {}, false},
         "/9.x/notionists/png?seed=Mina",
         "dicebear-notionists-Mina.png",
         "",
         Qt::red},
        {"same again, a new picture",
         "",
         {200, png(Qt::blue), "image/png", {}, false},
         "/9.x/notionists/png?seed=Mina",
         "dicebear-notionists-Mina.png",
         "",
         Qt::blue},
        {"not found",
         "Sky",
         {404, "missing", "text/plain", {}, false},
         "/9.x/notionists/png?seed=Sky",
         "dicebear-notionists-Mina.png",
         "Download failed: HTTP 404",
         Qt::blue},
        {"typed seed",
         "Sky",
         {200, png(Qt::green), "image/png", {}, false},
         "/9.x/notionists/png?seed=Sky",
         "dicebear-notionists-Sky.png",
         "",
         Qt::green},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        reply = step.reply;
        editAsUser(*row.findChild<QLineEdit*>("diceBearSeedField"), step.seed);
        button->click();
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(button->text(), "Downloading…");
        EXPECT_TRUE(error->isHidden()) << "an old failure goes at once";
        QElapsedTimer waited;
        waited.start();
        while (!button->isEnabled() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

        ASSERT_TRUE(button->isEnabled());
        EXPECT_TRUE(server.requests().last().path.startsWith(step.requested));
        EXPECT_EQ(ui.settings.avatarImageName(), step.avatar);
        EXPECT_EQ(ui.settings.avatarStyle(), AvatarStyle::custom);
        EXPECT_EQ(error->isHidden() ? "" : error->text(), step.failure);
        EXPECT_EQ(AvatarLibrary::loadImage(step.avatar)->pixelColor(0, 0), QColor(step.shown));
    }

    editByScreenReader(*row.findChild<QComboBox*>("diceBearStylePicker"), "pixel-art");
    button->click();
    EXPECT_TRUE(server.waitForRequests(int(std::size(steps)) + 1));
    EXPECT_TRUE(server.requests().last().path.startsWith("/9.x/pixel-art/png?seed=Sky"));
}

}  // namespace
