#pragma once
// Shared pieces of the scenario tests: scenarios assembled from source and
// served from memory, and a host that records what the executor asks of it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scenario/ScenarioAssembler.h"
#include "scenario/ScenarioExecutor.h"

namespace scenario_test {

// Compiled scenario files by their full name ("scenario\x.nsd").
struct MemoryFiles {
    std::map<std::string, std::vector<uint8_t>> files;

    static int Read(void* context, const std::string& name, std::vector<uint8_t>* out)
    {
        auto* self = static_cast<MemoryFiles*>(context);
        auto it = self->files.find(name);
        if (it == self->files.end())
            return 1;
        *out = it->second;
        return 0;
    }

    // Assembles the sources (name, text) together and stores the outputs.
    void Add(const std::vector<std::pair<std::string, std::string>>& sources)
    {
        std::vector<scenario::AsmSource> in;
        for (const auto& [name, text] : sources)
            in.push_back({name, text, false});
        std::vector<scenario::AsmOutput> out;
        std::string errors;
        ASSERT_TRUE(scenario::ScenarioAssembler().assemble(in, &out, &errors))
            << "the test scenario does not assemble: " << errors;
        for (auto& o : out)
            files["scenario\\" + o.name] = std::move(o.bytes);
    }
};

class RecordingHost : public scenario::ScenarioHost,
                      public scenario::PictureService,
                      public scenario::MessageService,
                      public scenario::SoundService,
                      public scenario::ShellService {
public:
    using HostResult = scenario::HostResult;

    bool withPictures = true, withMessages = true, withSounds = true, withShell = true;
    uint32_t now = 0;
    int busyFrames = 0;  // ShowWindow answers kBusy this many times first
    int32_t chosenLink = -1;  // -1: no link chosen yet
    std::string inputAnswer = "Hero";
    std::vector<std::string> log;
    std::vector<std::pair<std::string, std::string>> messages;
    int systemSaves = 0;

    std::function<bool()> stopWhen;  // the stop request, asked between instructions; null: never

    uint32_t TickCount() override { return now; }
    bool StopRequested() override { return stopWhen && stopWhen(); }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        messages.emplace_back(text, caption);
    }
    int SaveSystemData() override
    {
        ++systemSaves;
        return 0;
    }
    scenario::PictureService* Pictures() override { return withPictures ? this : nullptr; }
    scenario::MessageService* Messages() override { return withMessages ? this : nullptr; }
    scenario::SoundService* Sounds() override { return withSounds ? this : nullptr; }
    scenario::ShellService* Shell() override { return withShell ? this : nullptr; }

    std::string failing;  // a request whose log entry starts with this fails (and is not logged)

    HostResult Log(std::string entry)
    {
        if (!failing.empty() && entry.compare(0, failing.size(), failing) == 0)
            return HostResult::kFailed;
        log.push_back(std::move(entry));
        return HostResult::kDone;
    }
    static std::string Layer(const scenario::PictureLayer& l)
    {
        return std::to_string(l.key) + "," + l.name + "," + std::to_string(l.x) + "," + std::to_string(l.y) + "," +
               std::to_string(l.blit);
    }

    HostResult ShowPicture(const scenario::PictureLayer& l, int32_t effect, bool replace) override
    {
        return Log((replace ? "replace " : "show ") + Layer(l) + " effect " + std::to_string(effect));
    }
    HostResult PanPicture(const scenario::PictureLayer& l) override
    {
        return Log("pan " + std::to_string(l.key) + "," + l.name + "," + std::to_string(l.direction) + "," +
                   std::to_string(l.frames));
    }
    HostResult RemovePicture(int32_t key) override { return Log("remove " + std::to_string(key)); }
    HostResult SetRevealBand(bool on) override { return Log(on ? "vista on" : "vista off"); }
    std::string failRestoreName;  // RestorePicture of this name fails
    HostResult RestorePicture(const scenario::PictureLayer& l) override
    {
        if (l.name == failRestoreName)
            return HostResult::kFailed;
        return Log("restore " + Layer(l));
    }
    HostResult ClearPictures() override { return Log("clear pictures"); }

    HostResult ShowWindow(bool show) override
    {
        if (busyFrames > 0) {
            --busyFrames;
            return HostResult::kBusy;
        }
        return Log(show ? "window show" : "window hide");
    }
    HostResult SetName(const std::string& s) override { return Log("name " + s); }
    HostResult AddText(const std::string& s) override { return Log("text " + s); }
    HostResult AddRuby(const std::string& b, const std::string& r) override { return Log("ruby " + b + "/" + r); }
    HostResult BeginLink(int32_t id) override { return Log("link " + std::to_string(id)); }
    HostResult EndLink() override { return Log("endlink"); }
    HostResult SetColor(int32_t rgb) override { return Log("color " + std::to_string(rgb)); }
    HostResult NewLine() override { return Log("nl"); }
    HostResult EndPage() override { return Log("page"); }
    HostResult TakeChosenLink(int32_t* id) override
    {
        if (chosenLink < 0)
            return HostResult::kBusy;
        *id = chosenLink;
        return Log("chosen " + std::to_string(chosenLink));
    }
    HostResult SetFastForwardButton(bool pressed) override { return Log(pressed ? "ff on" : "ff off"); }
    HostResult InputName(const std::string& initial, std::string* out) override
    {
        *out = inputAnswer;
        return Log("input " + initial);
    }

    HostResult PlaySe(const std::string& n, bool loop) override { return Log((loop ? "seloop " : "se ") + n); }
    HostResult StopSe() override { return Log("sestop"); }
    HostResult PlayVoice(const std::string& n) override { return Log("voice " + n); }
    HostResult PlayMusic(int32_t t) override { return Log("music " + std::to_string(t)); }
    HostResult StopMusic() override { return Log("musicstop"); }

    HostResult PlayMovie(const std::string& n) override { return Log("movie " + n); }
    HostResult StartQuake(int32_t axis, int32_t frames, int32_t envelope, int32_t amplitude) override
    {
        return Log("quake " + std::to_string(axis) + "," + std::to_string(frames) + "," + std::to_string(envelope) +
                   "," + std::to_string(amplitude));
    }
    HostResult StartFlash(int32_t rgb) override { return Log("flash " + std::to_string(rgb)); }
    HostResult OpenBacklog() override { return Log("backlog"); }
    HostResult ShowPopupMenu() override { return Log("popup"); }
    HostResult SavePoint() override { return Log("savepoint"); }
    HostResult EndSceneReplay() override { return Log("replay end"); }
    HostResult ReturnToTitle() override { return Log("to title"); }
};

// An executor wired to memory files and a recording host.
struct Rig {
    MemoryFiles files;
    RecordingHost host;
    std::map<int32_t, int32_t> systemInt;
    ScenarioExecutor exec;

    Rig()
    {
        exec.setHost(&host);
        exec.setFileReader(&MemoryFiles::Read, &files);
        exec.setSystemVariables(&systemInt);
        ScenarioSettings settings;
        settings.waitMouse = 1000;
        settings.wait = 300;
        exec.setSettings(settings);
    }

    // Assembles, opens the first file and returns the open result.
    bool Start(const std::vector<std::pair<std::string, std::string>>& sources)
    {
        files.Add(sources);
        return exec.openScenario(sources.front().first);
    }

    // Steps with no input until the scenario ends, fails or `frames` pass.
    int Run(int frames = 100)
    {
        int result = kStepContinue;
        for (int i = 0; i < frames && result == kStepContinue; ++i)
            result = exec.step({});
        return result;
    }

    int Click()
    {
        scenario::StepInput input;
        input.advance = true;
        return exec.step(input);
    }

    int32_t Int(int32_t index) { return exec.valsInt()[index]; }
};

// Runs a hand-made file (for what the assembler refuses to write): `text`
// and the .ROData bytes `rodata`, followed by
// "push 1; st $9; end", and expects the error path for `reason` before $9 is
// set. `what` says what the file tries.
inline void ExpectFault(const std::vector<scenario::Instruction>& text, const std::string& reason,
                        const std::string& what, const std::vector<uint8_t>& rodata = {})
{
    Rig rig;
    scenario::ScenarioImage image;
    image.text = text;
    image.rodata = rodata;
    image.text.push_back({scenario::kOpPush, 0, 0, 1});
    image.text.push_back({scenario::kOpStore, scenario::kVarScenario, 0, 9});
    image.text.push_back({scenario::kOpEnd, 0, 0, 0});
    rig.files.files["scenario\\bad.nsd"] = scenario::WriteScenarioFile(image);
    ASSERT_TRUE(rig.exec.openScenario("bad.nsd")) << what;
    EXPECT_EQ(rig.Run(), kStepError) << what;
    EXPECT_NE(rig.exec.lastError().find(reason), std::string::npos)
        << what << ": failed for another reason: " << rig.exec.lastError();
    EXPECT_EQ(rig.exec.valsInt().count(9), 0u) << what << ": the scenario went on after the fault";
    EXPECT_EQ(rig.host.messages.size(), 1u) << what << ": the player is told once";
}

}  // namespace scenario_test
