// "scene.dat": the reader's refusals, a count bounded by the bytes present,
// the writer's layout, and the scene labels the demo builder reads.
#include "scenario/SceneOffsetMap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using scenario::ReadSceneOffsetMap;
using scenario::SceneMapResult;
using Map = std::map<int, int>;

SceneMapResult Read(const std::string& bytes, Map* map)
{
    return ReadSceneOffsetMap(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), map);
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

TEST(SceneOffsetMap, empty_and_foreign_files_are_refused_untouched)
{
    Map map{{7, 7}};
    EXPECT_EQ(Read("", &map), SceneMapResult::kEmpty);
    EXPECT_EQ(ReadSceneOffsetMap(nullptr, 0, &map), SceneMapResult::kEmpty);
    EXPECT_EQ(Read("SSA", &map), SceneMapResult::kBadMagic) << "shorter than the magic";
    EXPECT_EQ(Read("ssad" + std::string(12, '\0'), &map), SceneMapResult::kBadMagic);
    EXPECT_EQ(map, (Map{{7, 7}})) << "a refused file leaves the map alone";
    EXPECT_EQ(Read("SSAD", &map), SceneMapResult::kOk) << "the magic alone: no count, no entries";
    EXPECT_EQ(Read("SSAD" + Bytes({0, 0, 0, 5}), &map), SceneMapResult::kOk);
    EXPECT_EQ(map, (Map{{7, 7}}));
}

TEST(SceneOffsetMap, count_is_bounded_by_the_entries_present)
{
    const std::string entries = Bytes({0, 0, 0, 1, 0, 0, 0, 10, 0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 1, 0});
    for (const std::string& count : {Bytes({0, 0, 0, 3}), Bytes({0xFF, 0xFF, 0xFF, 0xFF})}) {
        Map map;
        EXPECT_EQ(Read("SSAD" + count + entries + Bytes({0, 0, 0}), &map), SceneMapResult::kOk);
        EXPECT_EQ(map, (Map{{1, 10}, {-2, 256}})) << "only the two whole entries are read";
    }
    Map one;
    EXPECT_EQ(Read("SSAD" + Bytes({0, 0, 0, 1}) + entries, &one), SceneMapResult::kOk);
    EXPECT_EQ(one, (Map{{1, 10}})) << "a smaller count reads fewer entries";
}

TEST(SceneOffsetMap, writer_output_reads_back_and_a_repeated_scene_keeps_the_later_position)
{
    const std::vector<uint8_t> bytes = scenario::WriteSceneOffsetMap({{1, 1}, {2, 3}, {1, 9}});
    ASSERT_EQ(bytes.size(), 8u + 3 * 8);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "SSAD" + Bytes({0, 0, 0, 3}));
    Map map;
    EXPECT_EQ(ReadSceneOffsetMap(bytes.data(), bytes.size(), &map), SceneMapResult::kOk);
    EXPECT_EQ(map, (Map{{1, 9}, {2, 3}}));
}

TEST(SceneOffsetMap, scene_labels_name_their_number)
{
    int32_t n = 0;
    EXPECT_TRUE(scenario::SceneNumberOfLabel("scene12", &n));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(scenario::SceneNumberOfLabel("scene-3", &n));
    EXPECT_EQ(n, -3);
    n = 99;
    for (const char* label : {"scene", "scene-", "scenex", "scene1a", "scene1234567890", "Scene1", "intro"})
        EXPECT_FALSE(scenario::SceneNumberOfLabel(label, &n)) << label;
    EXPECT_EQ(n, 99) << "a refused label writes nothing";
}

}  // namespace
