#include "Platform/PocketsphinxDecoder.h"

#include "Common/QtPrinters.h"
#include "Common/WithoutLibrary.h"
#include "STT/SystemStreamingRecognizer.h"
#include "Support/QtScheduler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// A model folder laid out as the packages lay it out, with empty files.
void makeModel(const QDir& root, const QString& name, bool withDictionary = true)
{
    ASSERT_TRUE(root.mkpath(name + QLatin1Char('/') + name));
    const QDir acoustic(root.filePath(name + QLatin1Char('/') + name));
    for (const char* file : {"mdef", "means", "variances", "transition_matrices", "feat.params", "sendump"})
        touch(acoustic.filePath(QString::fromLatin1(file)));
    touch(root.filePath(name + QLatin1Char('/') + name + QStringLiteral(".lm.bin")));
    if (withDictionary)
        touch(root.filePath(name + QStringLiteral("/cmudict-") + name + QStringLiteral(".dict")));
}

TEST(PocketsphinxDecoder, FindsCompleteModelsAndNamesTheirLocales)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    makeModel(root, QStringLiteral("en-us"));
    makeModel(root, QStringLiteral("zh-hant"));
    makeModel(root, QStringLiteral("fr-fr"), false);
    ASSERT_TRUE(root.mkdir(QStringLiteral("empty")));
    const QList<SpeechModel> models = PocketsphinxDecoder::installedModels(dir.path());
    ASSERT_EQ(models.size(), 2);
    EXPECT_EQ(models[0].localeID, QStringLiteral("en-US"));
    EXPECT_EQ(models[0].dictionary, dir.filePath(QStringLiteral("en-us/cmudict-en-us.dict")));
    EXPECT_EQ(models[1].localeID, QStringLiteral("zh-Hant"));
    EXPECT_TRUE(PocketsphinxDecoder::installedModels(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(PocketsphinxDecoder, MissingModelFilesAreAnErrorNotACrash)
{
    PocketsphinxDecoder decoder;
    QString error;
    EXPECT_FALSE(decoder.load({QStringLiteral("en-GB"), QStringLiteral("/nonexistent/en-gb"), {}, {}}, &error));
    EXPECT_EQ(error, QStringLiteral("model files for en-GB are missing"));
    EXPECT_FALSE(decoder.startUtterance(&error));
    const std::int16_t silence[160] = {};
    EXPECT_FALSE(decoder.process(silence, 160, &error));
    EXPECT_EQ(decoder.endUtterance(), QString());
}

// Without the library a session cannot start listening, and says why rather than crashing.
TEST(PocketsphinxDecoder, WithoutPocketsphinxRecognitionFailsToStartWithTheReason)
{
    if (!withoutLibrary(QStringLiteral("libpocketsphinx.so.3")))
        return;
    const SpeechEngine engine = PocketsphinxDecoder::installedEngine();
    ASSERT_FALSE(engine.models.isEmpty()) << "pocketsphinx-en-us (scripts/install-deps)";
    PocketsphinxDecoder decoder;
    QString error;
    EXPECT_FALSE(decoder.load(engine.models.first(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("no speech recognition: libpocketsphinx.so.3 cannot be loaded: ")))
        << error.toStdString();

    QtScheduler scheduler;
    SystemStreamingRecognizer recognizer(scheduler, engine);
    std::optional<std::optional<QString>> started;
    recognizer.start(QStringLiteral("en-US"), {48000, 1}, [&](std::optional<QString> failure) { started = failure; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.has_value(); }));
    ASSERT_TRUE(started->has_value());
    EXPECT_TRUE(started->value().contains(error)) << started->value().toStdString();
}

}  // namespace
