#pragma once
// kmFile: a sound file's raw (or compressed) data and its wave format, for
// the PCM readers. kmCreateAudioFile opens a RIFF WAVE file as a kmMmioFile,
// anything else as a kmMp3File.
#include <cstdint>
#include <memory>

#include "sound/WaveFormat.h"

class kmFile {
public:
    // Closes; false when nothing was open.
    virtual bool Close() = 0;
    // Opens and parses the named file; false on failure (nothing left open).
    virtual bool Open(const char* name) = 0;
    virtual ~kmFile() = default;
    // Copies up to `bytes` of the data; returns the count (0 at the end or when closed).
    virtual int Read(void* buffer, uint32_t bytes) = 0;
    // Back to the first data byte.
    virtual int Rewind() = 0;
    // Moves forward (or back) within the data.
    virtual int Skip(int bytes) = 0;
    // Position within the data in bytes (-1 when closed).
    virtual int Tell() = 0;
    // The data's wave format; null when closed.
    virtual WAVEFORMATEX* GetFormat() = 0;
    // Data bytes.
    virtual uint32_t GetSize() = 0;
};

// A kmMmioFile when the name opens as RIFF WAVE, else a kmMp3File when it
// opens as MP3, else null. The caller owns the result.
kmFile* kmCreateAudioFile(const char* name);

// kmCreateAudioFile with its format: null when the name opens as neither
// kind, or (after reporting `noFormatMessage`) when the file has no format.
std::unique_ptr<kmFile> kmOpenAudioSource(const char* name, const char* noFormatMessage, WAVEFORMATEX** format);
