// loadState on arbitrary save files: a refused load must leave the running
// state exactly as it was, and an accepted one must be able to run on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "frame/ProfileFile.h"
#include "scenario/ScenarioAssembler.h"
#include "scenario/ScenarioExecutor.h"

namespace {

class NoHost : public scenario::ScenarioHost {
public:
    uint32_t TickCount() override { return 0; }
    void ShowMessage(const std::string&, const std::string&) override {}
    int SaveSystemData() override { return 0; }
};

struct Files {
    std::map<std::string, std::vector<uint8_t>> bytes;
    static int Read(void* context, const std::string& name, std::vector<uint8_t>* out)
    {
        auto* self = static_cast<Files*>(context);
        auto it = self->bytes.find(name);
        if (it == self->bytes.end())
            return 1;
        *out = it->second;
        return 0;
    }
};

const Files& StoryFiles()
{
    static const Files files = [] {
        Files f;
        std::vector<scenario::AsmOutput> out;
        std::string errors;
        scenario::ScenarioAssembler().assemble(
            {{"a.nsd", "push 1\nfarcall \"b.nsd\", 0\nwaitclick 0\nend\n", false},
             {"b.nsd", "push 2\nwaitclick 0\nret\n", false}},
            &out, &errors);
        for (auto& o : out)
            f.bytes["scenario\\" + o.name] = o.bytes;
        return f;
    }();
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ProfileFile save;
    if (save.loadFromMemory(data, size) != 0)
        return 0;
    Files files = StoryFiles();
    NoHost host;
    std::map<int32_t, int32_t> systemInt;
    ScenarioExecutor exec;
    exec.setHost(&host);
    exec.setFileReader(&Files::Read, &files);
    exec.setSystemVariables(&systemInt);
    exec.openScenario("a.nsd");
    exec.step({});
    const size_t position = exec.position();
    const std::string name = exec.scenarioName();
    const std::vector<int32_t> stack = exec.stack.values();
    if (exec.loadState(save) != kLoadOk) {
        if (exec.position() != position || exec.scenarioName() != name || exec.stack.values() != stack)
            std::abort();  // a refused load changed the running game
        return 0;
    }
    scenario::StepInput click;
    click.advance = true;
    for (int frame = 0; frame < 4; ++frame)
        exec.step(click);
    return 0;
}
