#include <gtest/gtest.h>

#include "SliderSection.h"

namespace velumo {
namespace {

TEST(SliderSection, readsBackWhatWasSavedAndLeavesWhatItDoesNotWrite)
{
    IniFile ini = IniFile::fromBytes("[Horn]\r\nHornlänge=1\r\n");
    const std::string plain = ini.toBytes();
    saveSliders({}, ini);
    EXPECT_EQ(ini.toBytes(), plain); // no sliders, no section
    EXPECT_TRUE(loadSliders(ini).empty());

    ini = IniFile::fromBytes("[Horn]\r\nHornlänge=1\r\n[Regler]\r\nFremd=ja\r\n");
    const std::vector<SliderSetting> three { { "EditVrk", 10.0, 30.0 }, { "Editl1", 0.1 + 0.2, 2.5 },
        { "EditH", -1e-7, 1e300 } };
    saveSliders(three, ini);
    EXPECT_EQ(loadSliders(IniFile::fromBytes(ini.toBytes())), three);
    // A smaller set leaves none of the larger behind.
    saveSliders({ three[1] }, ini);
    const IniFile again = IniFile::fromBytes(ini.toBytes());
    EXPECT_EQ(loadSliders(again), std::vector<SliderSetting> { three[1] });
    EXPECT_EQ(again.readString("Regler", "Fremd", ""), "ja");
    EXPECT_EQ(again.readString("Horn", "Hornlänge", ""), "1");
}

TEST(SliderSection, leavesOutEntriesThatNameNoBoxOrHaveNoNumbers)
{
    const IniFile ini = IniFile::fromBytes("[Regler]\r\n"
                                           "Regler1=CBKontur\r\nRegler1Min=0\r\nRegler1Max=1\r\n"
                                           "Regler2=EditVrk\r\nRegler2Min=zehn\r\nRegler2Max=30\r\n"
                                           "Regler3=Unbekannt\r\nRegler3Min=0\r\nRegler3Max=1\r\n"
                                           "Regler4=EditB\r\nRegler4Min=5\r\nRegler4Max=15\r\n"
                                           "Regler7=EditH\r\nRegler7Min=5\r\nRegler7Max=15\r\n");
    EXPECT_EQ(loadSliders(ini), (std::vector<SliderSetting> { { "EditB", 5.0, 15.0 } }));
}

} // namespace
} // namespace velumo
