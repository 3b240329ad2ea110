// The persona picker of a mode: the mode's own personas, then the others, in catalog order.
#include "UI/Models/PersonaChoices.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(PersonaChoices, groupsTheModesOwnPersonasBeforeTheOthers)
{
    const auto persona = [](const char* id, const char* affinity) {
        NemotronPersona p;
        p.id = id;
        p.modeAffinity = affinity;
        p.displayLabel = QString(id).toUpper();
        return p;
    };
    const QList<NemotronPersona> catalog{persona("c1", "conversation"), persona("m1", "minutes"),
                                         persona("x1", "party"), persona("c2", "conversation"),
                                         persona("b1", "Brainstorm")};
    struct Case {
        AppMode mode;
        QStringList texts;
    };
    const Case cases[] = {
        {AppMode::conversation, {"[이 모드용]", "C1", "C2", "[다른 모드용]", "M1", "X1", "B1"}},
        {AppMode::brainstorm, {"[다른 모드용]", "C1", "M1", "X1", "C2", "B1"}},  // affinity compared exactly
        {AppMode::translate, {"[다른 모드용]", "C1", "M1", "X1", "C2", "B1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.mode).toStdString());
        QStringList texts;
        for (const PickerItem& item : PersonaChoices::items(catalog, c.mode, AppLanguage::korean)) {
            texts << (item.kind == PickerItem::Kind::header ? "[" + item.text + "]" : item.text);
            if (item.kind == PickerItem::Kind::choice) {
                EXPECT_EQ(item.value.toUpper(), item.text);
            }
        }
        EXPECT_EQ(texts, c.texts);
    }
}

}  // namespace
