// The compiled-scenario loader on arbitrary bytes, and the executor running
// whatever loads for a few frames against a host that answers every service
// (so every instruction family is reached) or none (the error path).
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "scenario/SCENARIO.h"
#include "scenario/ScenarioExecutor.h"

namespace {

class AnyHost : public scenario::ScenarioHost,
                public scenario::PictureService,
                public scenario::MessageService,
                public scenario::SoundService,
                public scenario::ShellService {
public:
    using R = scenario::HostResult;
    bool services = true;
    uint32_t now = 0;

    uint32_t TickCount() override { return now += 100; }
    void ShowMessage(const std::string&, const std::string&) override {}
    int SaveSystemData() override { return 0; }
    scenario::PictureService* Pictures() override { return services ? this : nullptr; }
    scenario::MessageService* Messages() override { return services ? this : nullptr; }
    scenario::SoundService* Sounds() override { return services ? this : nullptr; }
    scenario::ShellService* Shell() override { return services ? this : nullptr; }

    R ShowPicture(const scenario::PictureLayer&, int32_t, bool) override { return R::kDone; }
    R PanPicture(const scenario::PictureLayer&) override { return R::kDone; }
    R RemovePicture(int32_t) override { return R::kDone; }
    R SetRevealBand(bool) override { return R::kDone; }
    R RestorePicture(const scenario::PictureLayer&) override { return R::kDone; }
    R ClearPictures() override { return R::kDone; }
    R ShowWindow(bool) override { return R::kDone; }
    R SetName(const std::string&) override { return R::kDone; }
    R AddText(const std::string&) override { return R::kDone; }
    R AddRuby(const std::string&, const std::string&) override { return R::kDone; }
    R BeginLink(int32_t) override { return R::kDone; }
    R EndLink() override { return R::kDone; }
    R SetColor(int32_t) override { return R::kDone; }
    R NewLine() override { return R::kDone; }
    R EndPage() override { return R::kDone; }
    R TakeChosenLink(int32_t* id) override
    {
        *id = 1;
        return R::kDone;
    }
    R SetFastForwardButton(bool) override { return R::kDone; }
    R InputName(const std::string&, std::string* out) override
    {
        *out = "x";
        return R::kDone;
    }
    R PlaySe(const std::string&, bool) override { return R::kDone; }
    R StopSe() override { return R::kDone; }
    R PlayVoice(const std::string&) override { return R::kDone; }
    R PlayMusic(int32_t) override { return R::kDone; }
    R StopMusic() override { return R::kDone; }
    R PlayMovie(const std::string&) override { return R::kDone; }
    R StartQuake(int32_t, int32_t, int32_t, int32_t) override { return R::kDone; }
    R StartFlash(int32_t) override { return R::kDone; }
    R OpenBacklog() override { return R::kDone; }
    R ShowPopupMenu() override { return R::kDone; }
    R SavePoint() override { return R::kDone; }
    R EndSceneReplay() override { return R::kDone; }
    R ReturnToTitle() override { return R::kDone; }
};

struct OneFile {
    const uint8_t* data;
    size_t size;
    static int Read(void* context, const std::string&, std::vector<uint8_t>* out)
    {
        auto* self = static_cast<OneFile*>(context);
        out->assign(self->data, self->data + self->size);
        return 0;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SCENARIO script;
    if (script.loadFromMemory(data, size) != scenario::LoadResult::kOk)
        return 0;
    // Every file name (calls across files) serves the same bytes.
    OneFile file{data, size};
    for (bool services : {true, false}) {
        AnyHost host;
        host.services = services;
        std::map<int32_t, int32_t> systemInt;
        ScenarioExecutor exec;
        exec.setHost(&host);
        exec.setFileReader(&OneFile::Read, &file);
        exec.setSystemVariables(&systemInt);
        if (!exec.openScenario("f"))
            continue;
        scenario::StepInput click;
        click.advance = true;
        for (int frame = 0; frame < 8 && exec.step(frame % 2 ? click : scenario::StepInput{}) == kStepContinue;
             ++frame) {
        }
    }
    return 0;
}
