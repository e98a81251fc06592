#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "SweepPlan.h"

using velumo::KeyValue;
using velumo::Sweep;
using velumo::SweepKind;

namespace {

const std::vector<velumo::ProjectKey>& keys() { return velumo::projectFileKeys(); }

TEST(SweepPlan, parsesSetSplittingAtTheFirstSlashAndEquals)
{
    const std::pair<const char*, KeyValue> good[] = {
        { "Horn/Hornlänge=2.1", { "Horn", "Hornlänge", "2.1" } },
        { "Lautsprecher/el. Belastbarkeit=100", { "Lautsprecher", "el. Belastbarkeit", "100" } },
        { " horn / HORNLÄNGE = 2.1", { "Horn", "Hornlänge", " 2.1" } },
        { "Horn/Info=a=b/c", { "Horn", "Info", "a=b/c" } },
        { "Frequenzweiche/C Hochpass=", { "Frequenzweiche", "C Hochpass", "" } },
    };
    for (const auto& [arg, expected] : good) {
        KeyValue kv;
        std::string error;
        EXPECT_TRUE(velumo::parseSet(arg, keys(), &kv, &error)) << arg << ": " << error;
        EXPECT_EQ(kv, expected);
    }
    const std::pair<const char*, std::string> bad[] = {
        { "Hornlänge=2.1",
            "--set \"Hornlänge=2.1\": erwartet wird Abschnitt/Schlüssel=Wert, z. B. "
            "\"Horn/Hornlänge=2.1\"." },
        { "Hron/Hornlänge=2", "--set \"Hron/Hornlänge=2\": unbekannter Abschnitt \"Hron\"." },
        { "Horn/Hornlaenge=2",
            "--set \"Horn/Hornlaenge=2\": unbekannter Schlüssel \"Hornlaenge\" im Abschnitt "
            "\"Horn\"." },
        { "Horn/Info=a\nb", "--set \"Horn/Info=a b\": der Wert darf keinen Zeilenumbruch enthalten." },
    };
    for (const auto& [arg, message] : bad) {
        KeyValue kv;
        std::string error;
        EXPECT_FALSE(velumo::parseSet(arg, keys(), &kv, &error)) << arg;
        EXPECT_EQ(error, message);
    }
}

TEST(SweepPlan, generatesSweepValuesInTheProgramsNumberFormat)
{
    using Values = std::vector<std::string>;
    const std::tuple<const char*, SweepKind, Values> good[] = {
        { "Horn/Hornlänge=1.5:3.0:4", SweepKind::Linear, { "1.5", "2", "2.5", "3" } },
        { "Horn/Hornlänge=0:0.3:4", SweepKind::Linear, { "0", "0.1", "0.2", "0.3" } },
        { "Horn/Hornlänge=1.5:3:1", SweepKind::Linear, { "1.5" } },
        { "Horn/Mundhöhe=10:1000:3:log", SweepKind::Log, { "10", "100", "1000" } },
        { "Horn/Hornlänge=1.5, 2,2.50", SweepKind::List, { "1.5", "2", "2.50" } },
    };
    for (const auto& [arg, kind, values] : good) {
        Sweep s;
        std::string error;
        EXPECT_TRUE(velumo::parseSweep(arg, keys(), &s, &error)) << arg << ": " << error;
        EXPECT_EQ(s.kind, kind) << arg;
        EXPECT_EQ(s.values, values) << arg;
    }
    const std::pair<const char*, std::string> bad[] = {
        { "Horn/Hornlänge=3:1.5:16", "der Anfang 3 ist größer als das Ende 1.5." },
        { "Horn/Hornlänge=1:3:0", "die Anzahl muss mindestens 1 sein." },
        { "Horn/Hornlänge=1:3:2.5", "die Anzahl \"2.5\" ist keine ganze Zahl." },
        { "Horn/Hornlänge=1:3:1000001", "höchstens 1000000 Werte je Variation." },
        { "Horn/Hornlänge=1:3",
            "fehlerhafter Bereich; erwartet wird von:bis:Anzahl, von:bis:Anzahl:log oder "
            "w1,w2,w3." },
        { "Horn/Hornlänge=1,5:3:4", "\"1,5\" ist keine Zahl." },
        { "Horn/Hornlänge=0:3:4:log", "logarithmische Schritte brauchen einen Anfang größer als 0." },
        { "Horn/Hornlänge=", "die Liste ist leer." },
        { "Horn/Hornlänge=1,,2", "leerer Wert in der Liste." },
    };
    for (const auto& [arg, message] : bad) {
        Sweep s;
        std::string error;
        EXPECT_FALSE(velumo::parseSweep(arg, keys(), &s, &error)) << arg;
        EXPECT_EQ(error.rfind("--sweep \"" + std::string(arg) + "\": " + message, 0), 0u) << error;
    }
}

Sweep sweep(const char* key, std::vector<std::string> values)
{
    return Sweep { "Horn", key, SweepKind::List, std::move(values) };
}

TEST(SweepPlan, firstSweepChangesSlowest)
{
    velumo::SweepPlan plan;
    std::string error;
    ASSERT_TRUE(velumo::makeSweepPlan(
        { sweep("Hornlänge", { "1", "2" }), sweep("Mundhöhe", { "10", "20", "30" }) }, {}, &plan, &error));
    ASSERT_EQ(plan.designCount, 6u);
    std::string order;
    for (std::uint64_t i = 0; i < plan.designCount; ++i)
        for (const KeyValue& kv : velumo::designValues(plan, i))
            order += kv.value + (kv.key == "Mundhöhe" ? " " : "/");
    EXPECT_EQ(order, "1/10 1/20 1/30 2/10 2/20 2/30 ");
    EXPECT_EQ(velumo::designValues(plan, 4),
        (std::vector<KeyValue> { { "Horn", "Hornlänge", "2" }, { "Horn", "Mundhöhe", "20" } }));
}

TEST(SweepPlan, refusesRepeatedKeysAndTooManyDesigns)
{
    velumo::SweepPlan plan;
    std::string error;
    EXPECT_FALSE(velumo::makeSweepPlan(
        { sweep("Hornlänge", { "1" }), sweep("HORNLÄNGE", { "2" }) }, {}, &plan, &error));
    EXPECT_EQ(error, "--sweep: \"Horn/HORNLÄNGE\" wird zweimal variiert.");
    EXPECT_FALSE(velumo::makeSweepPlan(
        { sweep("Hornlänge", { "1" }) }, { { "Horn", "Hornlänge", "3" } }, &plan, &error));
    EXPECT_EQ(error, "--sweep: \"Horn/Hornlänge\" wird mit --set gesetzt und zugleich variiert.");
    const std::vector<std::string> many(10000, "1");
    EXPECT_FALSE(velumo::makeSweepPlan(
        { sweep("Lrk", many), sweep("Brk", many), sweep("Abr", many), sweep("fbr", { "1", "2" }) }, {}, &plan,
        &error));
    EXPECT_EQ(error, "--sweep: mehr als 1000000000000 Entwürfe.");
}

TEST(SweepPlan, shardsPartitionTheDesignsInOrder)
{
    EXPECT_EQ(velumo::shardRange(10, { 3, 4 }).begin, 6u);
    EXPECT_EQ(velumo::shardRange(10, { 3, 4 }).end, 8u) << "slices of 3, 3, 2, 2";
    for (std::uint64_t total : { 0, 1, 7, 10, 13 })
        for (std::uint64_t n : { 1, 3, 4, 16 }) {
            std::uint64_t next = 0;
            for (std::uint64_t k = 1; k <= n; ++k) {
                const velumo::IndexRange r = velumo::shardRange(total, { k, n });
                EXPECT_EQ(r.begin, next) << total << " in " << k << "/" << n;
                EXPECT_LE(r.end - r.begin, total / n + 1);
                EXPECT_GE(r.end - r.begin, total / n);
                next = r.end;
            }
            EXPECT_EQ(next, total);
        }
}

TEST(SweepPlan, parsesTheOtherOptionsAndRefusesBadOnes)
{
    std::string error;
    velumo::Shard shard;
    velumo::VaryBound vary;
    velumo::Band band;
    int jobs = 0;
    std::uint64_t seed = 0;
    velumo::Sweep sweep;
    ASSERT_TRUE(velumo::parseSweep("Horn/Kontur=1:7:7", keys(), &sweep, &error)) << error;
    ASSERT_TRUE(velumo::parseShard("2/8", &shard, &error) && velumo::parseBand("30:300", &band, &error)
        && velumo::parseVary("Horn/Hornlänge=1:4", keys(), &vary, &error)
        && velumo::parseJobs("4", &jobs, &error) && velumo::parseSeed("18446744073709551615", &seed, &error))
        << error;
    EXPECT_EQ(std::tie(shard.k, shard.n, jobs, seed), std::make_tuple(2u, 8u, 4, 18446744073709551615u));
    EXPECT_EQ(std::tie(vary.section, vary.key, vary.low, vary.high),
        std::make_tuple("Horn", "Hornlänge", 1.0, 4.0));
    EXPECT_EQ(std::tie(band.low, band.high), std::make_tuple(30.0, 300.0));

    using Parse = std::function<bool()>;
    const std::pair<Parse, std::string> bad[] = {
        { [&] { return velumo::parseShard("0/4", &shard, &error); },
            "--shard \"0/4\": K muss zwischen 1 und N liegen." },
        { [&] { return velumo::parseShard("1/0", &shard, &error); },
            "--shard \"1/0\": N muss mindestens 1 sein." },
        { [&] { return velumo::parseShard("2-8", &shard, &error); },
            "--shard \"2-8\": erwartet wird K/N, z. B. \"2/8\" für den zweiten von acht Teilen." },
        { [&] { return velumo::parseVary("Horn/Hornlänge=4:1", keys(), &vary, &error); },
            "--vary \"Horn/Hornlänge=4:1\": von muss kleiner als bis sein." },
        // A choice read from "5.5" is not the design the row or best.vlm names.
        { [&] { return velumo::parseVary("horn/kontur=1:6", keys(), &vary, &error); },
            "--vary \"horn/kontur=1:6\": \"Horn/Kontur\" nimmt nur ganze Zahlen und lässt sich nicht "
            "stufenlos "
            "optimieren; gehen Sie die Werte mit --sweep durch, z. B. --sweep \"Horn/Kontur=1,2,3\"." },
        { [&] { return velumo::parseSweep("Horn/Kontur=1:2:3", keys(), &sweep, &error); },
            "--sweep \"Horn/Kontur=1:2:3\": \"1.5\" ist keine ganze Zahl; \"Horn/Kontur\" nimmt nur ganze "
            "Zahlen." },
        { [&] { return velumo::parseBand("0:300", &band, &error); },
            "--band \"0:300\": F1 muss größer als 0 Hz sein." },
        { [&] { return velumo::parseBand("300", &band, &error); },
            "--band \"300\": erwartet werden zwei Zahlen F1:F2." },
        { [&] { return velumo::parseJobs("0", &jobs, &error); },
            "--jobs \"0\": erwartet wird eine ganze Zahl von 1 bis 1024." },
        { [&] { return velumo::parseSeed("-1", &seed, &error); },
            "--seed \"-1\": erwartet wird eine ganze Zahl ab 0." },
    };
    for (const auto& [parse, message] : bad) {
        EXPECT_FALSE(parse());
        EXPECT_EQ(error, message);
    }
    EXPECT_EQ(std::tie(shard.k, shard.n, jobs, band.low), std::make_tuple(2u, 8u, 4, 30.0))
        << "a refused argument leaves the previous value";
}

} // namespace
