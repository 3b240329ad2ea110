#include "Persona/NemotronPersonaCatalog.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Persistence/AppSettings.h"
#include "Support/FileIO.h"
#include "Support/UserDefaults.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
NemotronPersona extra(const QString& id, const QString& mode = QStringLiteral("conversation"))
{
    NemotronPersona p;
    p.id = id;
    p.modeAffinity = mode;
    p.name = QStringLiteral("테스트");
    p.age = 30;
    p.sex = QStringLiteral("남자");
    p.occupation = QStringLiteral("개발자");
    p.district = QStringLiteral("서울-강남구");
    p.persona = QStringLiteral("요약");
    p.professionalPersona = QStringLiteral("방식");
    p.hobbiesAndInterests = QStringLiteral("취미");
    p.displayLabel = id + QStringLiteral(" label");
    return p;
}

void writeExtras(const QJsonArray& array)
{
    QDir().mkpath(QFileInfo(NemotronPersonaCatalog::extrasFilePath()).absolutePath());
    ASSERT_TRUE(FileIO::writeAtomically(NemotronPersonaCatalog::extrasFilePath(), QJsonDocument(array).toJson()));
}

QStringList ids(const QList<NemotronPersona>& personas)
{
    QStringList result;
    for (const auto& p : personas)
        result << p.id;
    return result;
}
}  // namespace

TEST(NemotronPersonaCatalog, BuiltInsComeFirstAndTheDefaultsPerModeIgnoreExtras)
{
    ScopedDataRoot root;
    const QStringList builtIns{"a1b2c3d4-conv-default", "a1b2c3d4-mins-default", "a1b2c3d4-brain-default",
                               "a1b2c3d4-coun-default"};
    EXPECT_EQ(ids(NemotronPersonaCatalog::allPersonas()), builtIns);
    writeExtras({extra("t-1", "translate").toJson(), extra("m-1", "minutes").toJson()});
    EXPECT_EQ(NemotronPersonaCatalog::defaultID(AppMode::minutes), "a1b2c3d4-mins-default");
    EXPECT_EQ(NemotronPersonaCatalog::defaultID(AppMode::translate), "a1b2c3d4-conv-default");
}

TEST(NemotronPersonaCatalog, ChosenPersonaFallsBackToTheModeDefault)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defaults.json"));
    UserDefaults defaults(path);
    AppSettings settings(defaults, {});
    EXPECT_EQ(NemotronPersonaCatalog::chosenID(settings, AppMode::minutes), "a1b2c3d4-mins-default");
    EXPECT_EQ(NemotronPersonaCatalog::chosenID(settings, AppMode::translate), "a1b2c3d4-conv-default");
    settings.setNemotronPersonaID("", AppMode::minutes);
    EXPECT_EQ(NemotronPersonaCatalog::chosenID(settings, AppMode::minutes), "a1b2c3d4-mins-default");
    settings.setNemotronPersonaID("my-persona", AppMode::brainstorm);
    UserDefaults reloadedDefaults(path);
    const AppSettings reloaded(reloadedDefaults, {});
    EXPECT_EQ(NemotronPersonaCatalog::chosenID(reloaded, AppMode::brainstorm), "my-persona");
    EXPECT_EQ(reloaded.nemotronPersonaIDByMode().value("minutes"), "") << "an empty id is stored as given";
}

TEST(NemotronPersonaCatalog, ExtrasFollowInFileOrderSkippingKnownIds)
{
    ScopedDataRoot root;
    EXPECT_EQ(NemotronPersonaCatalog::persona("new-2"), std::nullopt);
    QJsonObject withExtraKey = extra("new-2").toJson();
    withExtraKey.insert("unused", "ignored");
    QJsonObject duplicate = extra("new-1").toJson();
    duplicate.insert("name", "second");
    writeExtras({extra("new-1").toJson(), extra("a1b2c3d4-coun-default").toJson(), duplicate, withExtraKey});
    const auto all = NemotronPersonaCatalog::allPersonas();
    EXPECT_EQ(ids(all).mid(4), (QStringList{"new-1", "new-2"}));
    EXPECT_EQ(all.at(4).name, QStringLiteral("테스트")) << "the first of two equal ids wins";
    EXPECT_EQ(NemotronPersonaCatalog::persona("a1b2c3d4-coun-default")->name, QStringLiteral("오다솜"));
    EXPECT_EQ(NemotronPersonaCatalog::persona("NEW-1"), std::nullopt) << "ids match exactly";
    EXPECT_EQ(NemotronPersonaCatalog::persona("new-2")->displayLabel, "new-2 label") << "edits count at the next call";
}

TEST(NemotronPersonaCatalog, OneFaultyExtraHidesAllExtras)
{
    ScopedDataRoot root;
    QJsonObject missingLabel = extra("b").toJson();
    missingLabel.remove("displayLabel");
    QJsonObject ageAsText = extra("c").toJson();
    ageAsText.insert("age", "30");
    QJsonObject fractionalAge = extra("d").toJson();
    fractionalAge.insert("age", 30.5);
    for (const QJsonObject& faulty : {missingLabel, ageAsText, fractionalAge}) {
        writeExtras({extra("a").toJson(), faulty});
        EXPECT_EQ(NemotronPersonaCatalog::allPersonas().size(), 4);
    }
    for (const QByteArray& bytes : {QByteArray("{\"not\": \"an array\"}"), QByteArray("[{")}) {
        ASSERT_TRUE(FileIO::writeAtomically(NemotronPersonaCatalog::extrasFilePath(), bytes));
        EXPECT_EQ(NemotronPersonaCatalog::allPersonas().size(), 4);
    }
}

TEST(NemotronPersona, JsonRoundTripKeepsEveryField)
{
    const NemotronPersona p = extra("round");
    EXPECT_EQ(NemotronPersona::fromJson(p.toJson()), p);
}
