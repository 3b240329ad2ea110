// The minutes list model follows the store row by row: appends insert, renames change data,
// anything else resets; and every speaker id has one colour.
#include "UI/Models/MinutesListModel.h"

#include "Common/QtPrinters.h"
#include "Pipeline/MinutesStore.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {
MinutesEntry line(int speakerID, const char* text)
{
    return MinutesEntry::make(QDateTime(QDate(2026, 1, 5), QTime(9, 30, 7)), speakerID,
                              QStringLiteral("Speaker %1").arg(speakerID), QLatin1String(text));
}
}  // namespace

TEST(MinutesListModel, AppendsRowsRenamesInPlaceAndResetsOnAnythingElse)
{
    MinutesStore store;
    store.appendEntry(line(1, "first"));
    MinutesListModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    store.appendEntry(line(2, "second"));
    store.appendEntry(line(1, "third"));
    EXPECT_EQ(inserted.size(), 2);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.newestID(), store.entries().last().id);
    const QModelIndex last = model.index(2);
    EXPECT_EQ(last.data().toString(), QStringLiteral("third"));
    EXPECT_EQ(last.data(MinutesListModel::speakerIDRole).toInt(), 1);
    EXPECT_EQ(last.data(MinutesListModel::timeRole).toString(),
              QDateTime(QDate(2026, 1, 5), QTime(9, 30, 7)).toLocalTime().toString(QStringLiteral("HH:mm:ss")));

    store.renameSpeaker(1, QStringLiteral("Mina"));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(model.index(0).data(MinutesListModel::speakerRole).toString(), QStringLiteral("Mina"));
    EXPECT_EQ(inserted.size(), 2) << "a rename adds no row";

    QList<MinutesEntry> replaced = store.entries().mid(1);
    store.setEntries(replaced);  // the oldest line dropped: not an append
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(model.rowCount(), 2);
    store.setEntries({});
    EXPECT_EQ(reset.size(), 2);
    EXPECT_EQ(model.newestID(), QUuid());
}

TEST(MinutesListModel, GivesEachSpeakerOneOfEightColours)
{
    using ThemePalette::Named;
    const struct {
        int id;
        Named colour;
    } cases[] = {{0, Named::blue}, {1, Named::green}, {2, Named::orange},  {3, Named::purple},
                 {4, Named::pink}, {5, Named::teal},  {6, Named::red},     {7, Named::indigo},
                 {8, Named::blue}, {9, Named::green}, {-3, Named::purple}, {-8, Named::blue}};
    for (const auto& c : cases)
        EXPECT_EQ(MinutesListModel::speakerColour(c.id), c.colour) << c.id;
}
