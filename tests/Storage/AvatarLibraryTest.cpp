#include "Storage/AvatarLibrary.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {
QImage picture(Qt::GlobalColor color)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QString writePicture(const QString& path, Qt::GlobalColor color)
{
    QDir().mkpath(QFileInfo(path).path());
    picture(color).save(path, "PNG");
    return path;
}
}  // namespace

class AvatarLibraryTest : public ::testing::Test {
protected:
    QString avatarsFile(const QString& name) const { return AvatarLibrary::directory() + QLatin1Char('/') + name; }

    ScopedDataRoot root;
};

TEST_F(AvatarLibraryTest, ImportCopiesTheBytesUnderANewNameWithAMappedExtension)
{
    const QList<std::pair<QString, QString>> cases{
        {"photo.png", "png"}, {"x.JPEG", "jpg"},   {"p.WebP", "webp"},
        {"p.HEIC", "heic"},   {"a.tar.gz", "png"}, {"scan.tiff", "png"},
    };
    for (const auto& [source, extension] : cases) {
        SCOPED_TRACE(source.toStdString());
        const QString sourcePath = root.base() + QStringLiteral("/picked/") + source;
        writePicture(sourcePath, Qt::red);
        LogCapture log(QStringLiteral("app.parlivox.avatars"));

        QString error;
        const auto name = AvatarLibrary::importImage(sourcePath, &error);

        ASSERT_TRUE(name) << error.toStdString();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^avatar-[0-9A-F]{8}\\.") + extension + QLatin1Char('$'))
                        .match(*name)
                        .hasMatch())
            << name->toStdString();
        EXPECT_EQ(FileIO::readAll(avatarsFile(*name)), FileIO::readAll(sourcePath));
        EXPECT_EQ(log.messages(), QStringList{QStringLiteral("imported avatar → ") + avatarsFile(*name)});
    }

    QString error;
    EXPECT_EQ(AvatarLibrary::importImage(root.base() + QStringLiteral("/nope.png"), &error), std::nullopt);
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(AvatarLibraryTest, NamesThatLeaveTheAvatarsDirectoryAreRefused)
{
    // Files the user would lose if a hand-edited avatar name could reach them.
    const QString memory = root.path() + QStringLiteral("/persona/memory.md");
    const QString profiles = root.path() + QStringLiteral("/speakers/profiles.json");
    const QString outside = root.base() + QStringLiteral("/outside.png");
    QDir().mkpath(root.path() + QStringLiteral("/persona"));
    QDir().mkpath(root.path() + QStringLiteral("/speakers"));
    ASSERT_TRUE(FileIO::writeAtomically(memory, "- fact\n"));
    ASSERT_TRUE(FileIO::writeAtomically(profiles, "[]"));
    writePicture(outside, Qt::blue);
    QFile::link(profiles, avatarsFile(QStringLiteral("linked.png")));
    QFile::link(outside, avatarsFile(QStringLiteral("escape.png")));

    const QStringList names{
        "../persona/memory.md",
        "..",
        ".",
        "/etc/passwd",
        "a/b.png",
        "..\\persona\\memory.md",
        QStringLiteral("x") + QChar(0) + QStringLiteral("y"),
        "linked.png",
        "escape.png",
        QStringLiteral("../../") + QFileInfo(outside).fileName(),
        memory,
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        LogCapture log(QStringLiteral("app.parlivox.avatars"));
        EXPECT_EQ(AvatarLibrary::absolutePath(name), std::nullopt);
        EXPECT_EQ(AvatarLibrary::loadImage(name), std::nullopt);
        AvatarLibrary::remove(name);
        ASSERT_FALSE(log.messages().isEmpty());
        EXPECT_TRUE(log.messages().first().startsWith(QStringLiteral("avatar path ")));
        EXPECT_TRUE(log.messages().first().contains(QStringLiteral(" rejected: ")));
    }
    EXPECT_TRUE(QFile::exists(memory));
    EXPECT_TRUE(QFile::exists(profiles));
    EXPECT_TRUE(QFile::exists(outside));
}

TEST_F(AvatarLibraryTest, MissingOrEmptyNamesGiveNothingWithoutALogLine)
{
    LogCapture log(QStringLiteral("app.parlivox.avatars"));
    for (const std::optional<QString>& name : {std::optional<QString>(), std::optional<QString>(QString()),
                                               std::optional<QString>(QStringLiteral("absent.png"))}) {
        EXPECT_EQ(AvatarLibrary::absolutePath(name), std::nullopt);
        EXPECT_EQ(AvatarLibrary::loadImage(name), std::nullopt);
    }
    EXPECT_TRUE(log.messages().isEmpty());
}

TEST_F(AvatarLibraryTest, ImagesAreServedFromTheCacheUntilTheWriterHasTheLibraryForgetThem)
{
    const QString path = writePicture(avatarsFile(QStringLiteral("a.png")), Qt::red);
    const auto first = AvatarLibrary::loadImage(QStringLiteral("a.png"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->pixelColor(0, 0), QColor(Qt::red));

    writePicture(path, Qt::green);
    EXPECT_EQ(AvatarLibrary::loadImage(QStringLiteral("a.png"))->pixelColor(0, 0), QColor(Qt::red));
    AvatarLibrary::forget(QStringLiteral("a.png"));  // the writer tells the library
    EXPECT_EQ(AvatarLibrary::loadImage(QStringLiteral("a.png"))->pixelColor(0, 0), QColor(Qt::green));

    QFile::remove(path);
    EXPECT_EQ(AvatarLibrary::absolutePath(QStringLiteral("a.png")), std::nullopt);
    AvatarLibrary::remove(QStringLiteral("a.png"));  // no file: the cached image stays
    EXPECT_TRUE(AvatarLibrary::loadImage(QStringLiteral("a.png")));

    // Undecodable files are not cached.
    const QString broken = avatarsFile(QStringLiteral("broken.png"));
    ASSERT_TRUE(FileIO::writeAtomically(broken, "not an image"));
    EXPECT_EQ(AvatarLibrary::loadImage(QStringLiteral("broken.png")), std::nullopt);
    writePicture(broken, Qt::blue);
    EXPECT_TRUE(AvatarLibrary::loadImage(QStringLiteral("broken.png")));
}

TEST_F(AvatarLibraryTest, RemoveDeletesTheFileAndForgetsItsImage)
{
    const QString source = writePicture(root.base() + QStringLiteral("/me.png"), Qt::yellow);
    const auto name = AvatarLibrary::importImage(source);
    ASSERT_TRUE(name);
    ASSERT_TRUE(AvatarLibrary::loadImage(*name));
    EXPECT_EQ(AvatarLibrary::absolutePath(*name), root.path() + QStringLiteral("/avatars/") + *name);

    AvatarLibrary::remove(*name);

    EXPECT_FALSE(QFile::exists(avatarsFile(*name)));
    EXPECT_EQ(AvatarLibrary::loadImage(*name), std::nullopt);
    EXPECT_TRUE(QFile::exists(source));
}
