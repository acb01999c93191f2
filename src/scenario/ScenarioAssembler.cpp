#include "scenario/ScenarioAssembler.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <map>
#include <optional>

#include "frame/TextEncoding.h"
#include "scenario/BigEndian.h"
#include "scenario/SCENARIO.h"

namespace scenario {

std::vector<uint8_t> WriteScenarioFile(const ScenarioImage& image)
{
    std::vector<uint8_t> text, val, cmap;
    for (const Instruction& ins : image.text) {
        text.push_back(ins.op);
        text.push_back(ins.a);
        AppendU16(&text, ins.b);
        AppendU32(&text, static_cast<uint32_t>(ins.c));
    }
    for (const auto& [index, value] : image.val) {
        AppendU32(&val, static_cast<uint32_t>(index));
        AppendU32(&val, static_cast<uint32_t>(value));
    }
    for (const auto& [number, offset] : image.cmap) {
        AppendU32(&cmap, number);
        AppendU32(&cmap, offset);
    }
    const std::pair<const char*, const std::vector<uint8_t>*> sections[] = {
        {".Text", &text}, {".ROData", &image.rodata}, {".Val", &val}, {".CMAP", &cmap}};
    std::vector<uint8_t> out(reinterpret_cast<const uint8_t*>("NASDAP66"),
                             reinterpret_cast<const uint8_t*>("NASDAP66") + 8);
    AppendU32(&out, SCENARIO::kFormatVersion);
    AppendU32(&out, 4);
    uint32_t offset = 16 + 4 * 16;
    for (const auto& [name, bytes] : sections) {
        char padded[8] = {};
        std::memcpy(padded, name, std::strlen(name));
        out.insert(out.end(), padded, padded + 8);
        AppendU32(&out, offset);
        AppendU32(&out, static_cast<uint32_t>(bytes->size()));
        offset += static_cast<uint32_t>(bytes->size());
    }
    for (const auto& section : sections)
        out.insert(out.end(), section.second->begin(), section.second->end());
    return out;
}

namespace {

enum class Kind { kInt, kStr, kVar, kStrVar, kLabel };

struct Operand {
    Kind kind = Kind::kInt;
    int64_t value = 0;     // integer, variable index, string variable index
    std::string text;      // string or label
    uint8_t space = 0;     // kVarScenario or kVarSystem
    bool indirect = false;
};

struct Statement {
    size_t file = 0;
    int line = 0;
    const OpInfo* info = nullptr;
    uint8_t calc = 0;  // for calc shorthands ("add")
    std::vector<Operand> operands;
    size_t address = 0;
};

struct FileState {
    std::map<std::string, size_t> labels;
    std::vector<Statement> statements;
    size_t size = 0;  // instructions
    ScenarioImage image;
    std::map<std::string, uint32_t> strings;   // .ROData offsets
    std::map<std::string, uint16_t> files;     // .CMAP numbers
};

class Parser {
public:
    Parser(const std::string& line, std::string* error) : s_(line), error_(error) {}

    void skipBlanks()
    {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r'))
            ++pos_;
    }
    bool atEnd()
    {
        skipBlanks();
        return pos_ >= s_.size() || s_[pos_] == ';';
    }
    bool peek(char c)
    {
        skipBlanks();
        return pos_ < s_.size() && s_[pos_] == c;
    }
    bool take(char c)
    {
        if (!peek(c))
            return false;
        ++pos_;
        return true;
    }
    std::string identifier()
    {
        skipBlanks();
        const size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' ||
                                    s_[pos_] == '.'))
            ++pos_;
        return s_.substr(start, pos_ - start);
    }
    size_t mark() const { return pos_; }
    void reset(size_t mark) { pos_ = mark; }

    bool integer(int64_t* out)
    {
        skipBlanks();
        size_t p = pos_;
        bool negative = false;
        if (p < s_.size() && (s_[p] == '-' || s_[p] == '+'))
            negative = s_[p++] == '-';
        int base = 10;
        if (p + 1 < s_.size() && s_[p] == '0' && (s_[p + 1] == 'x' || s_[p + 1] == 'X')) {
            base = 16;
            p += 2;
        }
        int64_t value = 0;
        size_t digits = 0;
        for (; p < s_.size(); ++p, ++digits) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s_[p])));
            int d = c >= '0' && c <= '9' ? c - '0' : (base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1);
            if (d < 0)
                break;
            value = value * base + d;
            if (value > 0xFFFFFFFFll)
                return fail("number out of range");
        }
        if (digits == 0)
            return fail("number expected");
        pos_ = p;
        *out = negative ? -value : value;
        // Hexadecimal may spell the whole 32-bit pattern (0xFFFFFFFF = -1).
        if (base == 16 && !negative && value > INT32_MAX)
            *out = value - 0x100000000ll;
        if (*out < INT32_MIN || *out > INT32_MAX)
            return fail("number out of range");
        return true;
    }

    bool string(std::string* out)
    {
        if (!take('"'))
            return fail("string expected");
        std::string value;
        while (pos_ < s_.size() && s_[pos_] != '"') {
            char c = s_[pos_++];
            if (c == '\\') {
                if (pos_ >= s_.size())
                    break;
                const char e = s_[pos_++];
                c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                if (e != 'n' && e != 't' && e != '\\' && e != '"')
                    return fail("unknown escape in string");
            }
            value += c;
        }
        if (!take('"'))
            return fail("unterminated string");
        *out = std::move(value);
        return true;
    }

    bool operand(Operand* out)
    {
        skipBlanks();
        if (pos_ >= s_.size())
            return fail("operand expected");
        const char c = s_[pos_];
        if (c == '"') {
            out->kind = Kind::kStr;
            return string(&out->text);
        }
        if (c == '$' || c == '#') {
            ++pos_;
            out->kind = Kind::kVar;
            out->space = c == '$' ? kVarScenario : kVarSystem;
            if (take('[')) {
                out->indirect = true;
                if (!integer(&out->value))
                    return false;
                return take(']') || fail("']' expected");
            }
            return integer(&out->value);
        }
        if (c == '&') {
            ++pos_;
            out->kind = Kind::kStrVar;
            if (!integer(&out->value))
                return false;
            return (out->value >= 0 && out->value <= 0xFFFF) || fail("string variable out of range 0-65535");
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+') {
            out->kind = Kind::kInt;
            return integer(&out->value);
        }
        out->kind = Kind::kLabel;
        out->text = identifier();
        return !out->text.empty() || fail("operand expected");
    }

    bool fail(const std::string& message)
    {
        if (error_->empty())
            *error_ = message;
        return false;
    }

private:
    const std::string& s_;
    size_t pos_ = 0;
    std::string* error_;
};

class Assembly {
public:
    Assembly(const std::vector<AsmSource>& sources, std::string* errors) : sources_(sources), errors_(errors)
    {
        files_.resize(sources.size());
        for (size_t i = 0; i < sources.size(); ++i)
            index_[sources[i].name] = i;
    }

    bool run(std::vector<AsmOutput>* out)
    {
        for (size_t f = 0; f < sources_.size(); ++f)
            parseFile(f);
        if (!errors_->empty())
            return false;
        for (size_t f = 0; f < sources_.size(); ++f) {
            for (const Statement& st : files_[f].statements)
                emit(f, st);
            if (files_[f].image.text.empty())
                error(f, 0, "no instructions");
        }
        if (!errors_->empty())
            return false;
        out->clear();
        for (size_t f = 0; f < sources_.size(); ++f)
            out->push_back({sources_[f].name, WriteScenarioFile(files_[f].image), files_[f].labels});
        return true;
    }

private:
    void error(size_t file, int line, const std::string& message)
    {
        *errors_ += sources_[file].name + ":" + std::to_string(line) + ": " + message + "\n";
    }

    static size_t stackOperands(const Statement& st)
    {
        size_t n = st.operands.size();
        if (st.info->form == Form::kStr && n > 0)
            --n;  // the first string goes into the instruction itself
        return n;
    }

    void parseFile(size_t f)
    {
        FileState& fs = files_[f];
        const std::string& text = sources_[f].text;
        size_t start = 0;
        int line = 0;
        while (start <= text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            ++line;
            std::string message;
            if (!parseLine(f, line, text.substr(start, end - start), &message))
                error(f, line, message);
            start = end + 1;
        }
        (void)fs;
    }

    bool parseLine(size_t f, int line, const std::string& text, std::string* message)
    {
        FileState& fs = files_[f];
        Parser p(text, message);
        if (p.atEnd())
            return true;
        const size_t mark = p.mark();
        std::string word = p.identifier();
        if (!word.empty() && word[0] != '.' && p.take(':')) {
            if (!fs.labels.emplace(word, fs.size).second)
                return p.fail("label '" + word + "' defined twice");
            if (p.atEnd())
                return true;
            word = p.identifier();
        } else {
            p.reset(mark);
            word = p.identifier();
        }
        if (word.empty())
            return p.fail("instruction expected");
        std::vector<Operand> operands;
        if (!p.atEnd()) {
            do {
                Operand op;
                if (!p.operand(&op))
                    return false;
                operands.push_back(std::move(op));
            } while (p.take(','));
            if (!p.atEnd())
                return p.fail("',' or end of line expected");
        }
        if (word == ".val") {
            if (operands.size() != 2 || operands[0].kind != Kind::kInt || operands[1].kind != Kind::kInt)
                return p.fail(".val takes a variable number and a value");
            fs.image.val.emplace_back(static_cast<int32_t>(operands[0].value), static_cast<int32_t>(operands[1].value));
            return true;
        }
        if (word == ".file") {
            if (operands.size() != 2 || operands[0].kind != Kind::kInt || operands[1].kind != Kind::kStr ||
                operands[0].value < 0 || operands[0].value > 0xFFFF)
                return p.fail(".file takes a number 0-65535 and a name");
            return fileNumber(f, operands[1].text, static_cast<uint16_t>(operands[0].value), message);
        }
        Statement st{f, line, FindOp(word), 0, std::move(operands), fs.size};
        if (!st.info) {
            st.calc = FindCalcOp(word);
            if (!st.calc)
                return p.fail("unknown instruction '" + word + "'");
            st.info = FindOp(kOpCalc);
            if (!st.operands.empty())
                return p.fail(word + " takes no operands");
        }
        if (!check(st, message))
            return false;
        fs.size += 1 + (st.info->form == Form::kStr || st.info->form == Form::kStack ? stackOperands(st) : 0);
        fs.statements.push_back(std::move(st));
        return true;
    }

    // Operand shapes; label values are checked when emitting.
    bool check(const Statement& st, std::string* message)
    {
        auto fail = [message](const std::string& m) {
            *message = m;
            return false;
        };
        const auto& ops = st.operands;
        const std::string name(st.info->mnemonic);
        auto is = [&ops](size_t i, Kind k) { return i < ops.size() && ops[i].kind == k; };
        switch (st.info->form) {
        case Form::kNone:
            return ops.empty() || fail(name + " takes no operands");
        case Form::kImm:
            return (ops.size() == 1 && !is(0, Kind::kStrVar) && !is(0, Kind::kLabel)) ||
                   fail(name + " takes one number, string or variable");
        case Form::kVar:
            return (ops.size() == 1 && is(0, Kind::kVar)) || fail(name + " takes one variable");
        case Form::kLabel:
            return (ops.size() == 1 && (is(0, Kind::kLabel) || is(0, Kind::kInt))) || fail(name + " takes a label");
        case Form::kFarLabel:
            return (ops.size() == 2 && is(0, Kind::kStr) && (is(1, Kind::kLabel) || is(1, Kind::kInt))) ||
                   fail(name + " takes \"file\", label");
        case Form::kSmallA:
            if (st.calc)
                return true;
            return (ops.size() == 1 && is(0, Kind::kInt) && ops[0].value >= 0 && ops[0].value <= 255) ||
                   fail(name + " takes a number 0-255");
        case Form::kStrVarStr:
            return (ops.size() == 2 && is(0, Kind::kStrVar) && is(1, Kind::kStr)) ||
                   fail(name + " takes &variable, \"string\"");
        case Form::kStrVarVar:
            return (ops.size() == 2 && is(0, Kind::kStrVar) && is(1, Kind::kStrVar)) ||
                   fail(name + " takes &variable, &variable");
        case Form::kStrVar:
            return (ops.size() == 1 && is(0, Kind::kStrVar)) || fail(name + " takes &variable");
        case Form::kStr:
            if (!is(0, Kind::kStr))
                return fail(name + " takes a string first");
            [[fallthrough]];
        case Form::kStack: {
            const size_t n = stackOperands(st);
            if (n != 0 && n != st.info->stackArgs)
                return fail(name + " takes " + std::to_string(st.info->stackArgs) +
                            " value operand(s), or none when they are already pushed");
            for (size_t i = ops.size() - n; i < ops.size(); ++i) {
                if (ops[i].kind == Kind::kLabel || ops[i].kind == Kind::kStrVar || ops[i].indirect)
                    return fail(name + ": operands are numbers, strings or direct variables");
            }
            return true;
        }
        }
        return fail("bad instruction form");
    }

    bool fileNumber(size_t f, const std::string& name, uint16_t number, std::string* message)
    {
        FileState& fs = files_[f];
        auto it = fs.files.find(name);
        if (it != fs.files.end())
            return it->second == number || (*message = "file '" + name + "' numbered twice", false);
        for (const auto& [other, n] : fs.files) {
            if (n == number) {
                *message = "file number " + std::to_string(number) + " used twice";
                return false;
            }
        }
        fs.files[name] = number;
        fs.image.cmap.emplace_back(number, stringOffset(f, name, /*convert=*/false));
        return true;
    }

    uint16_t autoFileNumber(size_t f, const std::string& name)
    {
        FileState& fs = files_[f];
        auto it = fs.files.find(name);
        if (it != fs.files.end())
            return it->second;
        uint16_t number = 0;
        for (bool used = true; used;) {
            used = false;
            for (const auto& entry : fs.files)
                used = used || entry.second == number;
            if (used)
                ++number;
        }
        std::string ignored;
        fileNumber(f, name, number, &ignored);
        return number;
    }

    uint32_t stringOffset(size_t f, const std::string& raw, bool convert = true)
    {
        FileState& fs = files_[f];
        std::string value = raw;
        if (convert && sources_[f].utf8 && !Utf8ToSjisStrict(raw, &value))
            value = raw;
        auto it = fs.strings.find(value);
        if (it != fs.strings.end())
            return it->second;
        const uint32_t offset = static_cast<uint32_t>(fs.image.rodata.size());
        fs.image.rodata.insert(fs.image.rodata.end(), value.begin(), value.end());
        fs.image.rodata.push_back(0);
        fs.strings[value] = offset;
        return offset;
    }

    std::optional<int32_t> label(size_t f, int line, const std::string& file, const Operand& op)
    {
        if (op.kind == Kind::kInt)
            return static_cast<int32_t>(op.value);
        auto target = index_.find(file);
        if (target == index_.end()) {
            error(f, line, "label '" + op.text + "' of a file outside this assembly; give an instruction number");
            return std::nullopt;
        }
        const auto& labels = files_[target->second].labels;
        auto it = labels.find(op.text);
        if (it == labels.end()) {
            error(f, line, "unknown label '" + op.text + "'" + (file != sources_[f].name ? " in " + file : ""));
            return std::nullopt;
        }
        return static_cast<int32_t>(it->second);
    }

    void push(size_t f, const Operand& op)
    {
        auto& text = files_[f].image.text;
        switch (op.kind) {
        case Kind::kVar:
            text.push_back({kOpLoad, static_cast<uint8_t>(op.space | (op.indirect ? kVarIndirect : 0)), 0,
                            static_cast<int32_t>(op.value)});
            break;
        case Kind::kStr:
            text.push_back({kOpPush, 0, 0, static_cast<int32_t>(stringOffset(f, op.text))});
            break;
        default:
            text.push_back({kOpPush, 0, 0, static_cast<int32_t>(op.value)});
            break;
        }
    }

    void emit(size_t f, const Statement& st)
    {
        auto& text = files_[f].image.text;
        const auto& ops = st.operands;
        Instruction ins{st.info->op, 0, 0, 0};
        switch (st.info->form) {
        case Form::kNone:
            break;
        case Form::kImm:
            push(f, ops[0]);
            return;
        case Form::kVar:
            ins.a = static_cast<uint8_t>(ops[0].space | (ops[0].indirect ? kVarIndirect : 0));
            ins.c = static_cast<int32_t>(ops[0].value);
            break;
        case Form::kLabel:
            if (auto target = label(f, st.line, sources_[f].name, ops[0]))
                ins.c = *target;
            break;
        case Form::kFarLabel:
            ins.b = autoFileNumber(f, ops[0].text);
            if (auto target = label(f, st.line, ops[0].text, ops[1]))
                ins.c = *target;
            break;
        case Form::kSmallA:
            ins.a = st.calc ? st.calc : static_cast<uint8_t>(ops[0].value);
            break;
        case Form::kStrVarStr:
            ins.b = static_cast<uint16_t>(ops[0].value);
            ins.c = static_cast<int32_t>(stringOffset(f, ops[1].text));
            break;
        case Form::kStrVarVar:
            ins.b = static_cast<uint16_t>(ops[0].value);
            ins.c = static_cast<int32_t>(ops[1].value);
            break;
        case Form::kStrVar:
            ins.b = static_cast<uint16_t>(ops[0].value);
            break;
        case Form::kStr:
        case Form::kStack: {
            const size_t first = st.info->form == Form::kStr ? 1 : 0;
            for (size_t i = first; i < ops.size(); ++i)
                push(f, ops[i]);
            if (first)
                ins.c = static_cast<int32_t>(stringOffset(f, ops[0].text));
            break;
        }
        }
        text.push_back(ins);
    }

    const std::vector<AsmSource>& sources_;
    std::string* errors_;
    std::vector<FileState> files_;
    std::map<std::string, size_t> index_;
};

}  // namespace

bool ScenarioAssembler::assemble(const std::vector<AsmSource>& sources, std::vector<AsmOutput>* out,
                                 std::string* errors)
{
    errors->clear();
    Assembly assembly(sources, errors);
    return assembly.run(out);
}

}  // namespace scenario
