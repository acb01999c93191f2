#pragma once
// kmMmioFile: a RIFF WAVE file read whole into memory through the file layer
// (loose file or archive entry), with its "fmt " block and "data" chunk found.
#include <memory>
#include <string>
#include <vector>

#include "frame/File.h"
#include "sound/kmFile.h"

class kmMmioFile : public virtual kmFile {
public:
    kmMmioFile();
    ~kmMmioFile() override;
    bool Close() override;
    bool Open(const char* name) override;
    // Reads within the data chunk only (trailing chunks are not sound).
    int Read(void* buffer, uint32_t bytes) override;
    int Rewind() override;
    // Clamped to the data chunk.
    int Skip(int bytes) override;
    int Tell() override;
    WAVEFORMATEX* GetFormat() override;
    uint32_t GetSize() override;

    // The whole format block (at least 18 bytes; larger for codec headers).
    const std::vector<uint8_t>& FormatBlock() const { return format_; }

private:
    WAVEFORMATEX* GetFormatUnchecked() { return reinterpret_cast<WAVEFORMATEX*>(format_.data()); }

    std::string name_;
    bool open_ = false;
    uint32_t dataSize_ = 0;
    std::vector<uint8_t> format_;
    size_t dataStart_ = 0;
    size_t position_ = 0;
    CFile file_;
};
