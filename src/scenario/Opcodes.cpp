#include "scenario/Opcodes.h"

#include <array>

namespace scenario {
namespace {

constexpr OpInfo kOps[] = {
    {kOpNop, "nop", Form::kNone, 0},
    {kOpEnd, "end", Form::kNone, 0},
    {kOpError, "error", Form::kNone, 0},
    {kOpPush, "push", Form::kImm, 0},
    {kOpLoad, "ld", Form::kVar, 0},
    {kOpStore, "st", Form::kVar, 1},
    {kOpDrop, "drop", Form::kNone, 1},
    {kOpDup, "dup", Form::kNone, 1},
    {kOpCalc, "calc", Form::kSmallA, 0},
    {kOpJump, "jmp", Form::kLabel, 0},
    {kOpJumpZero, "jz", Form::kLabel, 1},
    {kOpJumpNonZero, "jnz", Form::kLabel, 1},
    {kOpCall, "call", Form::kLabel, 0},
    {kOpReturn, "ret", Form::kNone, 0},
    {kOpFarJump, "farjmp", Form::kFarLabel, 0},
    {kOpFarCall, "farcall", Form::kFarLabel, 0},
    {kOpStrSet, "sset", Form::kStrVarStr, 0},
    {kOpStrCopy, "scpy", Form::kStrVarVar, 0},
    {kOpStrCat, "scat", Form::kStrVarStr, 0},
    {kOpStrEqual, "seq", Form::kStrVarStr, 0},
    {kOpSceneSeen, "seen", Form::kStack, 1},
    {kOpWaitClick, "waitclick", Form::kSmallA, 0},
    {kOpWaitTime, "wait", Form::kStack, 1},
    {kOpSaveSystem, "syssave", Form::kNone, 0},
    {kOpSavePoint, "savepoint", Form::kNone, 0},
    {kOpTitle, "title", Form::kStr, 0},
    {kOpToTitle, "totitle", Form::kNone, 0},
    {kOpShow, "show", Form::kStr, 4},
    {kOpReplace, "replace", Form::kStr, 4},
    {kOpRemove, "remove", Form::kStack, 1},
    {kOpEffect, "effect", Form::kStack, 1},
    {kOpPan, "pan", Form::kStr, 3},
    {kOpVista, "vista", Form::kStack, 1},
    {kOpWindow, "window", Form::kStack, 1},
    {kOpName, "name", Form::kStr, 0},
    {kOpNameVar, "namevar", Form::kStrVar, 0},
    {kOpText, "text", Form::kStr, 0},
    {kOpTextVar, "textvar", Form::kStrVar, 0},
    {kOpRuby, "ruby", Form::kStr, 1},
    {kOpLink, "link", Form::kStack, 1},
    {kOpEndLink, "endlink", Form::kNone, 0},
    {kOpColor, "color", Form::kStack, 1},
    {kOpNewLine, "nl", Form::kNone, 0},
    {kOpPage, "page", Form::kNone, 0},
    {kOpBacklog, "backlog", Form::kNone, 0},
    {kOpInput, "input", Form::kStrVarStr, 0},
    {kOpSelect, "select", Form::kVar, 0},
    {kOpSe, "se", Form::kStr, 0},
    {kOpSeLoop, "seloop", Form::kStr, 0},
    {kOpSeStop, "sestop", Form::kNone, 0},
    {kOpVoice, "voice", Form::kStr, 0},
    {kOpMusic, "music", Form::kStack, 1},
    {kOpMusicStop, "musicstop", Form::kNone, 0},
    {kOpMovie, "movie", Form::kStr, 0},
    {kOpQuake, "quake", Form::kStack, 4},
    {kOpFlash, "flash", Form::kStack, 1},
};

constexpr std::string_view kCalcNames[] = {
    "",    "add", "sub", "mul", "div", "mod",  "neg", "and",  "or",   "xor", "not", "shl",
    "shr", "eq",  "ne",  "lt",  "le",  "gt",   "ge",  "land", "lor", "lnot", "rand",
};
static_assert(std::size(kCalcNames) == kCalcLast + 1);

constexpr std::array<const OpInfo*, 256> MakeIndex()
{
    std::array<const OpInfo*, 256> index{};
    for (const OpInfo& info : kOps)
        index[info.op] = &info;
    return index;
}

constexpr std::array<const OpInfo*, 256> kIndex = MakeIndex();

}  // namespace

const OpInfo* FindOp(uint8_t op)
{
    return kIndex[op];
}

const OpInfo* FindOp(std::string_view mnemonic)
{
    for (const OpInfo& info : kOps) {
        if (info.mnemonic == mnemonic)
            return &info;
    }
    return nullptr;
}

uint8_t FindCalcOp(std::string_view mnemonic)
{
    for (uint8_t i = 1; i <= kCalcLast; ++i) {
        if (kCalcNames[i] == mnemonic)
            return i;
    }
    return 0;
}

std::string_view CalcOpName(uint8_t calc)
{
    return calc >= 1 && calc <= kCalcLast ? kCalcNames[calc] : std::string_view();
}

}  // namespace scenario
