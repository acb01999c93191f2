#include "sound/kmFile.h"

#include "frame/ErrorLog.h"

#include "sound/kmMmioFile.h"
#include "sound/kmMp3File.h"

kmFile* kmCreateAudioFile(const char* name)
{
    auto* wave = new kmMmioFile;
    if (wave->Open(name)) {
        return wave;
    }
    delete wave;
    auto* mp3 = new kmMp3File;
    if (mp3->Open(name)) {
        return mp3;
    }
    delete mp3;
    return nullptr;
}

std::unique_ptr<kmFile> kmOpenAudioSource(const char* name, const char* noFormatMessage, WAVEFORMATEX** format)
{
    std::unique_ptr<kmFile> file(kmCreateAudioFile(name));
    if (!file) {
        return nullptr;
    }
    *format = file->GetFormat();
    if (!*format) {
        gErrorLog.Print("%s", noFormatMessage);
        return nullptr;
    }
    return file;
}
