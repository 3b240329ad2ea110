// The user's own avatar picture through the avatar library: only readable pictures are
// imported, each replacing the last; reset removes it; sharing copies it and opens the board.
#include "UI/Agent/AvatarPicker.h"

#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AvatarLibrary.h"
#include "UI/UiTestContext.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(AvatarPicker, importsOnlyReadablePicturesEachReplacingTheLast)
{
    ScopedDataRoot root;
    UiTestContext ui;
    const auto file = [&root](const QString& name, const QByteArray& bytes) {
        const QString path = root.base() + "/" + name;
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return path;
    };
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(root.base() + "/a.png");
    picture.save(root.base() + "/b.jpg");
    const QString text = file("notes.png", "just some notes");
    QFile whole(root.base() + "/a.png");
    whole.open(QIODevice::ReadOnly);
    const QString cut = file("cut.png", whole.readAll().left(40));

    AvatarPicker picker(ui.context);
    auto* error = picker.findChild<QLabel*>("avatarImportError");
    const auto upload = [&](const std::optional<QString>& path) {
        ui.dialogs.setNextPath(path);
        picker.findChild<QPushButton*>("uploadAvatarButton")->click();
    };
    const auto stored = [] { return QDir(AvatarLibrary::directory()).entryList(QDir::Files); };

    struct Step {
        std::optional<QString> path;
        QString failure;  // a part of the message; "" for none
        int storedFiles;
    };
    const Step steps[] = {
        {text, "“notes.png” cannot be used as an avatar", 0},
        {root.base() + "/a.png", "", 1},
        {cut, "“cut.png” cannot be used as an avatar", 1},
        {root.base() + "/b.jpg", "", 1},  // the first picture's file is gone
        {std::nullopt, "", 1},  // cancelled
    };
    std::optional<QString> name;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.path.value_or("(cancelled)").toStdString());
        upload(step.path);
        EXPECT_EQ(error->isHidden() ? "" : error->text().left(step.failure.size()), step.failure);
        EXPECT_EQ(stored().size(), step.storedFiles);
        if (step.failure.isEmpty() && step.path)
            name = stored().value(0);
        EXPECT_EQ(ui.settings.avatarImageName(), name);
    }
    EXPECT_TRUE(name->endsWith(".jpg"));
    EXPECT_EQ(ui.settings.avatarStyle(), AvatarStyle::custom);

    picker.findChild<QPushButton*>("shareAvatarButton")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(6, 6));
    ASSERT_EQ(ui.workspace.opened.size(), 1);
    const QByteArray shared = ui.workspace.opened.first().toEncoded();
    EXPECT_TRUE(shared.contains("?category=show-and-tell&title=My%20Parlivox%20avatar&body=")) << shared.data();
    EXPECT_TRUE(shared.contains("Ctrl%2BV")) << "a plus sign must not reach the board as a space";
    EXPECT_FALSE(picker.findChild<QLabel*>("avatarShareStatus")->isHidden());

    picker.findChild<QPushButton*>("resetAvatarButton")->click();
    EXPECT_EQ(stored(), QStringList());
    EXPECT_EQ(ui.settings.avatarImageName(), std::nullopt);
    EXPECT_EQ(ui.settings.avatarStyle(), AvatarStyle::custom);
    EXPECT_TRUE(picker.findChild<QPushButton*>("resetAvatarButton")->isHidden());
}

}  // namespace
