// The name input: the scenario's "input" instruction opens it through the
// message service, and what the player types (through the same calls the view
// makes) reaches the scenario's string variable as Shift-JIS.
#include <gtest/gtest.h>

#include "game/NameInputDialog.h"
#include "game/TextHost.h"
#include "frame/TextEncoding.h"
#include "support/ScenarioFixture.h"

namespace {

using namespace name_input;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
std::string Sjis(const char8_t* text) { return Utf8ToSjis(Utf8(text)); }

class Host : public scenario::ScenarioHost {
public:
    uint32_t TickCount() override { return 0; }
    void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
    int SaveSystemData() override { return 0; }
    scenario::MessageService* Messages() override { return &text; }
    TextHost text{nullptr, nullptr, nullptr, nullptr};
    std::vector<std::string> messages;
};

class NameInputTest : public ::testing::Test {
protected:
    // Runs `input &4, "<initial>"` with the responder typing `typed` (UTF-8)
    // and pressing OK; returns string variable 4.
    std::string RunInput(const char8_t* initial, const std::string& typed, bool clearFirst)
    {
        scenario_test::MemoryFiles files;
        files.Add({{"name.nsd", Sjis(u8"input &4, \"") + Sjis(initial) + "\"\nend\n"}});
        ScenarioExecutor executor;
        Host host;
        std::map<int32_t, int32_t> system;
        executor.setFileReader(scenario_test::MemoryFiles::Read, &files);
        executor.setHost(&host);
        executor.setSystemVariables(&system);
        EXPECT_TRUE(executor.openScenario("name.nsd"));
        platform::SetDialogResponder([&](platform::DialogState& state, platform::DialogInput& input) {
            shownInitial = state.Text(kName);
            if (clearFirst) {
                while (!state.Text(kName).empty())
                    input.EraseLast(kName);
            }
            input.Type(kName, typed);
            note = state.Text(kNote);
            input.Enter();
        });
        executor.step(scenario::StepInput{});
        platform::SetDialogResponder(nullptr);
        EXPECT_FALSE(executor.failed()) << executor.lastError();
        EXPECT_TRUE(host.messages.empty());
        return executor.valsStr()[4];
    }
    std::string shownInitial;
    std::string note;
};

TEST_F(NameInputTest, a_typed_name_with_kana_reaches_the_variable_and_foreign_characters_are_refused)
{
    const std::string name = RunInput(u8"ななし", Utf8(u8"やまだ太郎🍣"), true);
    EXPECT_EQ(shownInitial, Sjis(u8"ななし")) << "the field starts with the scenario's initial name";
    EXPECT_EQ(name, Sjis(u8"やまだ太郎")) << "the name is stored as Shift-JIS, the emoji left out";
    EXPECT_FALSE(note.empty()) << "a refused character leaves a note under the field";
}

TEST_F(NameInputTest, an_empty_entry_keeps_the_initial_name)
{
    EXPECT_EQ(RunInput(u8"ななし", "", true), Sjis(u8"ななし"));
    EXPECT_TRUE(note.empty()) << "no note without a refused character";
}

TEST_F(NameInputTest, at_most_sixteen_characters)
{
    const std::string name = RunInput(u8"", Utf8(u8"あいうえおかきくけこさしすせそたちつてと"), false);
    EXPECT_EQ(name, Sjis(u8"あいうえおかきくけこさしすせそた")) << "characters past the sixteenth are dropped";
    EXPECT_EQ(platform::SjisCharacterCount(name), kMaxCharacters);
}

TEST(NameInputDialog, without_a_window_the_initial_name_stands)
{
    EXPECT_EQ(RunNameInputDialog(Sjis(u8"ななし")), Sjis(u8"ななし"));
}

}  // namespace
