// Control flow, the expression stack, variables and waits of the executor.
#include <climits>

#include "frame/CRand.h"
#include "frame/DebugOutput.h"
#include "scenario/ScenarioExecutor.h"
#include "scenario/SceneSeen.h"

using namespace scenario;
using Flow = ScenarioExecutor::Flow;

namespace {

constexpr size_t kMaxStringBytes = 65536;

int32_t Wrap(uint32_t v)
{
    return static_cast<int32_t>(v);
}

}  // namespace

bool ScenarioExecutor::varSlot(const Instruction& ins, std::map<int32_t, int32_t>** map, int32_t* index)
{
    const uint8_t space = ins.a & kVarSpaceMask;
    if (space == kVarScenario)
        *map = &valsInt_;
    else if (space == kVarSystem)
        *map = systemInt_;
    else {
        recordError("bad variable space " + std::to_string(space));
        return false;
    }
    *index = ins.c;
    if (ins.a & kVarIndirect) {
        int32_t offset;
        if (!stack.pop(&offset)) {
            recordError("expression stack underflow");
            return false;
        }
        *index = Wrap(static_cast<uint32_t>(ins.c) + static_cast<uint32_t>(offset));
    }
    return true;
}

Flow ScenarioExecutor::storeVar(std::map<int32_t, int32_t>* map, int32_t index, int32_t value)
{
    if (map->size() >= kMaxVariables && !map->count(index))
        return fail("too many variables");
    (*map)[index] = value;
    return Flow::kNext;
}

Flow ScenarioExecutor::jumpTo(int32_t target)
{
    if (target < 0 || static_cast<size_t>(target) >= script_->size())
        return fail("jump target " + std::to_string(target) + " outside " + scriptName_);
    pc_ = static_cast<size_t>(target);
    return Flow::kJumped;
}

Flow ScenarioExecutor::farTransfer(const Instruction& ins, bool call)
{
    std::string name;
    if (!script_->fileName(ins.b, &name))
        return fail("file number " + std::to_string(ins.b) + " has no .CMAP entry");
    if (ins.c < 0)
        return fail("jump target " + std::to_string(ins.c) + " outside " + name);
    if (call && calls_.size() >= kMaxCallDepth)
        return fail("call stack overflow");
    Frame back{scriptName_, pc_ + 1};
    if (!enter(name, static_cast<size_t>(ins.c)))
        return Flow::kError;
    if (call)
        calls_.push_back(std::move(back));
    return Flow::kJumped;
}

Flow ScenarioExecutor::executeControl(const Instruction& ins, StepInput& input)
{
    int32_t v;
    switch (ins.op) {
    case kOpNop:
        return Flow::kNext;
    case kOpEnd:
        return Flow::kEnd;
    case kOpToTitle:
        return Flow::kToTitle;
    case kOpError:
        return fail("error instruction");
    case kOpPush:
        return stack.push(ins.c) ? Flow::kNext : fail("expression stack overflow");
    case kOpLoad: {
        std::map<int32_t, int32_t>* map;
        int32_t index;
        if (!varSlot(ins, &map, &index))
            return Flow::kError;
        auto it = map->find(index);
        return stack.push(it == map->end() ? 0 : it->second) ? Flow::kNext : fail("expression stack overflow");
    }
    case kOpStore: {
        std::map<int32_t, int32_t>* map;
        int32_t index;
        if (!varSlot(ins, &map, &index))
            return Flow::kError;
        if (!stack.pop(&v))
            return fail("expression stack underflow");
        return storeVar(map, index, v);
    }
    case kOpDrop:
        return stack.pop(&v) ? Flow::kNext : fail("expression stack underflow");
    case kOpDup:
        if (!stack.peek(0, &v))
            return fail("expression stack underflow");
        return stack.push(v) ? Flow::kNext : fail("expression stack overflow");
    case kOpCalc:
        return calc(ins.a);
    case kOpJump:
        return jumpTo(ins.c);
    case kOpJumpZero:
    case kOpJumpNonZero:
        if (!stack.pop(&v))
            return fail("expression stack underflow");
        if ((v == 0) == (ins.op == kOpJumpZero))
            return jumpTo(ins.c);
        return Flow::kNext;
    case kOpCall: {
        if (calls_.size() >= kMaxCallDepth)
            return fail("call stack overflow");
        const size_t back = pc_ + 1;
        const Flow flow = jumpTo(ins.c);
        if (flow == Flow::kJumped)
            calls_.push_back({scriptName_, back});
        return flow;
    }
    case kOpReturn: {
        if (calls_.empty())
            return fail("return without a call");
        Frame back = calls_.back();
        if (back.name == scriptName_) {
            if (back.pc >= script_->size())
                return fail("return past the end of " + scriptName_);
            pc_ = back.pc;
        } else if (!enter(back.name, back.pc)) {
            return Flow::kError;
        }
        calls_.pop_back();
        return Flow::kJumped;
    }
    case kOpFarJump:
        return farTransfer(ins, false);
    case kOpFarCall:
        return farTransfer(ins, true);
    case kOpWaitClick:
        return clickWait(ins.a, input);
    default:
        return fail("unknown opcode " + std::to_string(ins.op));
    }
}

Flow ScenarioExecutor::calc(uint8_t op)
{
    int32_t r = 0, l = 0;
    const bool unary = op == kCalcNeg || op == kCalcNot || op == kCalcLogicalNot || op == kCalcRand;
    if (!stack.pop(&r) || (!unary && !stack.pop(&l)))
        return fail("expression stack underflow");
    const uint32_t ul = static_cast<uint32_t>(l), ur = static_cast<uint32_t>(r);
    int32_t result = 0;
    switch (op) {
    // Wrapping two's-complement arithmetic: overflow is defined, never undefined.
    case kCalcAdd: result = Wrap(ul + ur); break;
    case kCalcSub: result = Wrap(ul - ur); break;
    case kCalcMul: result = Wrap(ul * ur); break;
    case kCalcDiv:
    case kCalcMod:
        if (r == 0)
            return fail("division by zero");
        if (l == INT_MIN && r == -1)
            result = op == kCalcDiv ? INT_MIN : 0;
        else
            result = op == kCalcDiv ? l / r : l % r;
        break;
    case kCalcNeg: result = Wrap(0u - ur); break;
    case kCalcAnd: result = l & r; break;
    case kCalcOr: result = l | r; break;
    case kCalcXor: result = l ^ r; break;
    case kCalcNot: result = ~r; break;
    case kCalcShl: result = Wrap(ul << (ur & 31)); break;
    case kCalcShr: result = l >> (ur & 31); break;
    case kCalcEq: result = l == r; break;
    case kCalcNe: result = l != r; break;
    case kCalcLt: result = l < r; break;
    case kCalcLe: result = l <= r; break;
    case kCalcGt: result = l > r; break;
    case kCalcGe: result = l >= r; break;
    case kCalcLogicalAnd: result = l != 0 && r != 0; break;
    case kCalcLogicalOr: result = l != 0 || r != 0; break;
    case kCalcLogicalNot: result = r == 0; break;
    case kCalcRand:
        if (r <= 0)
            return fail("rand of a range below 1");
        result = crt::rand() % r;
        break;
    default:
        return fail("unknown operator " + std::to_string(op));
    }
    stack.push(result);  // cannot overflow: at least one value was popped
    return Flow::kNext;
}

int64_t ScenarioExecutor::waitElapsed()
{
    // The first frame of a wait starts its clock; the clock wraps like the tick count.
    const uint32_t now = host_->TickCount();
    if (!waiting_) {
        waiting_ = true;
        waitStart_ = now;
    }
    return static_cast<int64_t>(now - waitStart_);
}

Flow ScenarioExecutor::clickWait(uint8_t operand, StepInput& input)
{
    if (fastForward == 1)
        return Flow::kNext;
    const int64_t elapsed = waitElapsed();
    if (input.advance) {
        input.advance = false;
        return Flow::kNext;
    }
    if (input.rightClick) {
        input.rightClick = false;
        if (ShellService* shell = host_->Shell())
            shell->ShowPopupMenu();
    }
    if (fastForward == 2) {
        const int32_t delay = operand ? settings_.waitMouse : settings_.wait;
        if (elapsed >= delay)
            return Flow::kNext;
    }
    return Flow::kWait;
}

// Instructions below 0x20 that work on strings, scenes, timed waits and saves.
Flow ScenarioExecutor::executeVariables(const Instruction& ins)
{
    std::string literal;
    int32_t arg[1];
    switch (ins.op) {
    case kOpStrSet:
    case kOpStrCat:
    case kOpStrEqual: {
        if (!text(ins.c, &literal))
            return Flow::kError;
        if (ins.op == kOpStrEqual) {
            auto it = valsStr_.find(ins.b);
            const bool equal = (it == valsStr_.end() ? std::string() : it->second) == literal;
            return stack.push(equal ? 1 : 0) ? Flow::kNext : fail("expression stack overflow");
        }
        std::string& target = valsStr_[ins.b];
        if (ins.op == kOpStrSet)
            target = literal;
        else if (target.size() + literal.size() > kMaxStringBytes)
            return fail("string variable too long");
        else
            target += literal;
        return Flow::kNext;
    }
    case kOpStrCopy: {
        auto it = valsStr_.find(ins.c);
        std::string value = it == valsStr_.end() ? std::string() : it->second;
        valsStr_[ins.b] = std::move(value);
        return Flow::kNext;
    }
    case kOpSceneSeen:
        if (!args(1, arg))
            return Flow::kError;
        gSceneSeen.insert(arg[0]);
        return Flow::kNext;
    case kOpWaitTime: {
        if (!args(1, arg))
            return Flow::kError;
        if (fastForward == 1)
            return Flow::kNext;
        return waitElapsed() >= arg[0] ? Flow::kNext : Flow::kWait;
    }
    case kOpSaveSystem:
        if (host_->SaveSystemData() != 0)
            DebugOutput("Failed! - ScenarioExecutor::step SaveSystemData\n");
        return Flow::kNext;
    case kOpSavePoint: {
        ShellService* shell = host_->Shell();
        if (!servicePresent(shell, "shell"))
            return Flow::kError;
        return fromHost(shell->SavePoint(), "SavePoint");
    }
    case kOpTitle:
        if (!text(ins.c, &literal))
            return Flow::kError;
        title_ = literal;
        return Flow::kNext;
    default:
        return fail("unknown opcode " + std::to_string(ins.op));
    }
}
