// The dialog state and the person's actions on it, without a window: the
// rules the ImGui view relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "frame/TextEncoding.h"

namespace {

using platform::ControlKind;
using platform::Notify;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
std::string Sjis(const char8_t* text) { return Utf8ToSjis(Utf8(text)); }

constexpr int kEdit = 10;
constexpr int kCheck = 11;
constexpr int kSlider = 12;
constexpr int kCombo = 13;

platform::DialogTemplate Template(bool withCancel)
{
    platform::DialogTemplate t{0,
                               "t",
                               100,
                               100,
                               {
                                   {1, ControlKind::kDefaultButton, "OK", 0, 0, 10, 10},
                                   {kEdit, ControlKind::kEdit, "", 0, 0, 10, 10},
                                   {kCheck, ControlKind::kCheckBox, "c", 0, 0, 10, 10},
                                   {kSlider, ControlKind::kSlider, "", 0, 0, 10, 10},
                                   {kCombo, ControlKind::kCombo, "", 0, 0, 10, 10},
                               }};
    if (withCancel)
        t.controls.push_back({platform::kIdCancel, ControlKind::kButton, "Cancel", 0, 0, 10, 10});
    return t;
}

// Records what the handler hears; OK ends with 0, Cancel with 1.
class Recorder : public platform::DialogHandler {
public:
    void OnInit(platform::DialogState&) override {}
    void OnCommand(platform::DialogState& dialog, int id, Notify notify) override
    {
        heard.push_back({id, notify});
        if (id == 1)
            dialog.End(0);
        if (id == platform::kIdCancel)
            dialog.End(1);
    }
    std::vector<std::pair<int, Notify>> heard;
};

TEST(DialogInput, typing_keeps_shift_jis_characters_and_refuses_the_rest)
{
    platform::DialogState state(Template(false));
    Recorder handler;
    platform::DialogInput input(state, handler);
    input.Type(kEdit, Utf8(u8"ｶﾅかな漢字🍣한A"));
    EXPECT_EQ(state.Text(kEdit), Sjis(u8"ｶﾅかな漢字A"))
        << "half-width kana, kana, kanji and ASCII are Shift-JIS; the emoji and the Hangul are not";
    int refused = 0;
    for (const auto& [id, notify] : handler.heard)
        refused += notify == Notify::kRefused ? 1 : 0;
    EXPECT_EQ(refused, 2) << "each refused character must reach the handler once";
    input.Type(kEdit, "\xFF");
    EXPECT_EQ(state.Text(kEdit), Sjis(u8"ｶﾅかな漢字A")) << "a byte that is not UTF-8 must be refused";
}

TEST(DialogInput, the_limit_counts_characters_not_bytes)
{
    platform::DialogState state(Template(false));
    Recorder handler;
    platform::DialogInput input(state, handler);
    state.SetLimit(kEdit, 4);
    input.Type(kEdit, Utf8(u8"あいうえお"));
    EXPECT_EQ(state.Text(kEdit), Sjis(u8"あいうえ")) << "four double-byte characters fit a limit of 4";
    input.EraseLast(kEdit);
    EXPECT_EQ(state.Text(kEdit), Sjis(u8"あいう")) << "Backspace removes a whole double-byte character";
    input.Type(kEdit, "ab");
    EXPECT_EQ(state.Text(kEdit), Sjis(u8"あいうa"));
    state.SetText(kEdit, Sjis(u8"かきくけこさ"));
    EXPECT_EQ(platform::SjisCharacterCount(state.Text(kEdit)), 4) << "text set by the program obeys the limit too";
    input.SetEditText(kEdit, Utf8(u8"たちつてとな"));
    EXPECT_EQ(state.Text(kEdit), Sjis(u8"たちつて")) << "the view's text obeys the limit too";
}

TEST(DialogInput, enter_and_escape_press_the_default_and_cancel_buttons)
{
    {
        platform::DialogState state(Template(true));
        Recorder handler;
        platform::DialogInput input(state, handler);
        input.Escape();
        EXPECT_TRUE(state.Ended());
        EXPECT_EQ(state.Result(), 1) << "Esc must press Cancel";
    }
    {
        platform::DialogState state(Template(false));
        Recorder handler;
        platform::DialogInput input(state, handler);
        input.Escape();
        EXPECT_FALSE(state.Ended()) << "Esc must do nothing in a dialog without Cancel";
        EXPECT_TRUE(handler.heard.empty());
        input.Enter();
        EXPECT_TRUE(state.Ended());
        EXPECT_EQ(state.Result(), 0) << "Enter must press the default button";
    }
}

TEST(DialogInput, disabled_controls_ignore_the_person)
{
    platform::DialogState state(Template(false));
    Recorder handler;
    platform::DialogInput input(state, handler);
    state.SetRange(kSlider, 0, 255);
    state.AddItem(kCombo, "D");
    for (int id : {kEdit, kCheck, kSlider, kCombo, 1})
        state.Enable(id, false);
    input.Type(kEdit, "a");
    input.Press(kCheck);
    input.MoveSlider(kSlider, 9);
    input.Choose(kCombo, 0);
    input.Enter();
    EXPECT_TRUE(handler.heard.empty()) << "a disabled control must not reach the handler";
    EXPECT_EQ(state.Text(kEdit), "");
    EXPECT_FALSE(state.IsChecked(kCheck));
    EXPECT_EQ(state.Pos(kSlider), 0);
    EXPECT_EQ(state.Selection(kCombo), -1);
    EXPECT_FALSE(state.Ended());
}

TEST(DialogState, sliders_and_combos_stay_in_range)
{
    platform::DialogState state(Template(false));
    state.SetRange(kSlider, 0, 4);
    state.SetPos(kSlider, 9);
    EXPECT_EQ(state.Pos(kSlider), 4) << "a trackbar's position stays inside its range";
    state.AddItem(kCombo, "D");
    state.Select(kCombo, 3);
    EXPECT_EQ(state.Selection(kCombo), -1) << "selecting past the list selects nothing";
    EXPECT_EQ(state.ItemText(kCombo, state.Selection(kCombo)), "") << "and no selection reads as empty text";
}


}  // namespace
