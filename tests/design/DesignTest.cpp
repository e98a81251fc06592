#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "Design.h"
#include "DesignTable.h"

using velumo::Design;
using velumo::designTable;

TEST(DesignDefaults, newDesignHoldsTheTableDefaults)
{
    Design d;
    const std::pair<const char*, const char*> texts[] = { { "EditRdc", "8" }, { "Editfs", "50" },
        { "EditQes", "0.71" }, { "EditUe", "2.83" }, { "EditLSInfo2", "Info2" }, { "EditStk2", "1" },
        { "EditBrk", "500" }, { "EditLrk", "0.2" }, { "EditInfo", "Horn Info" }, { "EditAbst", "1" } };
    for (const auto& [name, text] : texts)
        EXPECT_EQ(d.text(name), text) << name;
    EXPECT_EQ(d.index("CBKontur"), 0);
    EXPECT_EQ(d.index("CBPosi"), 2);
    EXPECT_EQ(d.index("CBTyp"), 0);
    EXPECT_EQ(d.index("RGTreiber2"), 0);
    EXPECT_TRUE(d.checked("CBAKSkizzeOben"));
    EXPECT_FALSE(d.control("CBAKSkizzeOben").enabled);
    EXPECT_FALSE(d.control("CBRK2").enabled);
    EXPECT_FALSE(d.checked("CBAK"));
}

TEST(DesignDefaults, hintsAndDriver2Twins)
{
    Design d;
    EXPECT_EQ(d.control("EditxT1").hint, "PositionTreiber1");
    EXPECT_EQ(d.control("EditRdc2").hint, "Gleichstromwiderstand");
    EXPECT_EQ(d.control("EditStk2").hint, "Anzahl Treiber2");
    EXPECT_EQ(velumo::findControl("EditZ10k2")->twin, "EditZ10k");
    EXPECT_EQ(velumo::findControl("EditZ10k")->hint, "El. Impedanz bei 10 kHz");
}

TEST(DesignDefaults, itemListsAndGrids)
{
    const auto* kontur = velumo::findControl("CBKontur");
    ASSERT_NE(kontur, nullptr);
    ASSERT_EQ(kontur->items.size(), 7u);
    EXPECT_EQ(kontur->items[4], "Oktal hyperbol.");
    EXPECT_EQ(velumo::findControl("CBPosi")->items[3], "Boden + Wand");
    EXPECT_EQ(velumo::findControl("RGTreiber2")->items[2], "Werte lt. Liste");

    Design d;
    EXPECT_EQ(d.fwCell(1, 0), "1");
    EXPECT_EQ(d.fwCell(14, 0), "14");
    EXPECT_EQ(d.fwCell(0, 2), "C [uF]");
    EXPECT_EQ(d.fwCell(5, 2), "");
    EXPECT_EQ(d.minMaxCell(1, 8), "0");
    EXPECT_TRUE(d.axisAuto(8));
    EXPECT_EQ(d.optionCell(0, 1), "Konturauflösung [Punkte]");
    EXPECT_EQ(d.optionCell(1, 0), "100");
    EXPECT_EQ(d.optionCell(1, 1), "51");
    EXPECT_EQ(d.optionCell(1, 2), "1");
}

TEST(DesignTable, namesAndKeysAreUnique)
{
    std::set<std::string_view> names;
    std::set<std::pair<std::string_view, std::string_view>> keys;
    for (const auto& entry : designTable()) {
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        if (!entry.key.empty()) {
            EXPECT_TRUE(keys.insert({ entry.section, entry.key }).second) << entry.key;
        }
    }
    EXPECT_EQ(designTable().front().section, "Lautsprecher");
    EXPECT_THROW(Design().control("NoSuchBox"), std::out_of_range);
}

TEST(DesignTable, crossoverKeysUseTheSpecialNamesOfPositionsOneToFour)
{
    EXPECT_EQ(velumo::crossoverKey(1, 2), "C Hochpass");
    EXPECT_EQ(velumo::crossoverKey(2, 3), "L Hochpass");
    EXPECT_EQ(velumo::crossoverKey(3, 3), "L Tiefpass");
    EXPECT_EQ(velumo::crossoverKey(4, 2), "C Tiefpass");
    EXPECT_EQ(velumo::crossoverKey(1, 1), "R1");
    EXPECT_EQ(velumo::crossoverKey(12, 3), "L12");
    EXPECT_EQ(velumo::crossoverNumberedKey(1, 2), "C1");
    EXPECT_TRUE(velumo::isShuntPosition(10));
    EXPECT_FALSE(velumo::isShuntPosition(5));
}
