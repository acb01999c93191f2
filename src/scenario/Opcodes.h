#pragma once
// The instruction set of compiled scenarios: one table shared by the
// executor (dispatch, bounds) and the assembler (mnemonics, operand packing),
// so the two can never disagree. docs/FORMATS.md describes the same table.
#include <cstdint>
#include <string_view>

namespace scenario {

// One decoded 8-byte instruction: opcode, small operand a, 16-bit operand b,
// 32-bit operand c (all big-endian in the file).
struct Instruction {
    uint8_t op = 0;
    uint8_t a = 0;
    uint16_t b = 0;
    int32_t c = 0;
};

enum Op : uint8_t {
    // control, stack and variables
    kOpNop = 0x00,
    kOpEnd = 0x01,
    kOpError = 0x02,
    kOpPush = 0x03,      // push c
    kOpLoad = 0x04,      // push variable (a = space | indirect, c = index)
    kOpStore = 0x05,     // pop into variable
    kOpDrop = 0x06,
    kOpDup = 0x07,
    kOpCalc = 0x08,      // a = CalcOp
    kOpJump = 0x09,      // c = instruction index
    kOpJumpZero = 0x0A,  // pop; jump when 0
    kOpJumpNonZero = 0x0B,
    kOpCall = 0x0C,
    kOpReturn = 0x0D,
    kOpFarJump = 0x0E,  // b = file number (.CMAP), c = instruction index
    kOpFarCall = 0x0F,
    kOpStrSet = 0x10,    // valsStr[b] := string at c
    kOpStrCopy = 0x11,   // valsStr[b] := valsStr[c]
    kOpStrCat = 0x12,    // valsStr[b] += string at c
    kOpStrEqual = 0x13,  // push valsStr[b] == string at c
    kOpSceneSeen = 0x14,     // pop scene number into gSceneSeen
    kOpWaitClick = 0x18,     // a = auto-advance delay choice
    kOpWaitTime = 0x19,      // pop milliseconds
    kOpSaveSystem = 0x1A,
    kOpSavePoint = 0x1B,
    kOpTitle = 0x1C,         // save title := string at c
    kOpToTitle = 0x1D,       // the game is over: back to the start menu
    // pictures
    kOpShow = 0x20,      // string c; stack key, x, y, blit
    kOpReplace = 0x21,   // same operands as show
    kOpRemove = 0x22,    // stack key
    kOpEffect = 0x23,    // stack transition number
    kOpPan = 0x24,       // string c; stack key, direction, frames
    kOpVista = 0x25,     // stack on
    // message window and text
    kOpWindow = 0x30,    // stack show
    kOpName = 0x31,      // string c
    kOpNameVar = 0x32,   // valsStr[b]
    kOpText = 0x33,      // string c
    kOpTextVar = 0x34,   // valsStr[b]
    kOpRuby = 0x35,      // base string c; stack reading string offset
    kOpLink = 0x36,      // stack link id
    kOpEndLink = 0x37,
    kOpColor = 0x38,     // stack 0x00RRGGBB, -1 = default
    kOpNewLine = 0x39,
    kOpPage = 0x3A,      // click wait, then end of page
    kOpBacklog = 0x3B,
    kOpInput = 0x3C,     // valsStr[b] := name input with default string c
    kOpSelect = 0x3D,    // wait for a link choice, store its id (a, c as kOpStore)
    // sound and movies
    kOpSe = 0x40,        // string c (one-shot)
    kOpSeLoop = 0x41,    // string c
    kOpSeStop = 0x42,
    kOpVoice = 0x43,     // string c
    kOpMusic = 0x44,     // stack track
    kOpMusicStop = 0x45,
    kOpMovie = 0x46,     // string c
    // screen effects
    kOpQuake = 0x50,     // stack axis, frames, envelope, amplitude
    kOpFlash = 0x51,     // stack 0x00RRGGBB
};

enum CalcOp : uint8_t {
    kCalcAdd = 1, kCalcSub, kCalcMul, kCalcDiv, kCalcMod, kCalcNeg,
    kCalcAnd, kCalcOr, kCalcXor, kCalcNot, kCalcShl, kCalcShr,
    kCalcEq, kCalcNe, kCalcLt, kCalcLe, kCalcGt, kCalcGe,
    kCalcLogicalAnd, kCalcLogicalOr, kCalcLogicalNot, kCalcRand,
    kCalcLast = kCalcRand,
};

// Variable spaces in the low bits of operand a; kVarIndirect adds a popped
// value to the index in c.
constexpr uint8_t kVarScenario = 0;  // valsInt
constexpr uint8_t kVarSystem = 1;    // systemInt of the settings
constexpr uint8_t kVarSpaceMask = 0x03;
constexpr uint8_t kVarIndirect = 0x80;

// How the assembler writes an instruction's operands.
enum class Form : uint8_t {
    kNone,      // no operand
    kImm,       // push: one integer into c
    kVar,       // one variable reference into a and c
    kLabel,     // one label into c
    kFarLabel,  // "file", label: file number into b, label into c
    kSmallA,    // waitclick: one integer 0..255 into a
    kStr,       // first string into c, further operands pushed in order
    kStrVarStr, // string variable into b, string into c
    kStrVarVar, // string variable into b, string variable into c
    kStrVar,    // string variable into b
    kStack,     // every operand pushed in order
};

struct OpInfo {
    uint8_t op;
    std::string_view mnemonic;
    Form form;
    uint8_t stackArgs;  // values the instruction pops (Form kStr/kStack)
};

// The entry of an opcode, or null for a number that is not an instruction.
const OpInfo* FindOp(uint8_t op);
// The entry of a mnemonic, or null.
const OpInfo* FindOp(std::string_view mnemonic);
// The operator of a calc mnemonic ("add"...), or 0.
uint8_t FindCalcOp(std::string_view mnemonic);
std::string_view CalcOpName(uint8_t calc);

}  // namespace scenario
