#pragma once
// CPcmReader: the one interface through which sounds get plain PCM. Built-in
// readers start looping (a read that reaches the end wraps to the start)
// until SetLoop(false). Audio reader plug-ins present this same table, so
// everything a plug-in needs from the base is inline here.
#include <cstdint>

#include "sound/WaveFormat.h"

class CPcmReader {
public:
    virtual ~CPcmReader() = default;
    // Deletes the reader (safe on null through the free function below).
    virtual void Release() { delete this; }
    // False when the file cannot be read by this reader.
    virtual bool Open(const char* name) = 0;
    // Never more than asked; less only at the end of a non-looping stream or on an error.
    virtual uint32_t Read(void* buffer, uint32_t bytes) = 0;
    // Milliseconds of the whole stream.
    virtual int GetLength() = 0;
    // Milliseconds of the read position.
    virtual int GetPosition() = 0;
    // Moves the read position to a byte offset of the PCM stream.
    virtual bool Seek(uint32_t bytes) = 0;
    // Returns the previous flag.
    virtual bool SetLoop(bool loop) = 0;
    // Format of the PCM delivered; null when not open.
    virtual const WAVEFORMATEX* GetFormat() = 0;
    // Bytes of PCM in the whole stream.
    virtual uint32_t GetSize() = 0;
    // Bytes holding that many seconds.
    virtual uint32_t GetBufferSize(uint32_t seconds) = 0;
    // Whole seconds only: (ms / 1000) x nAvgBytesPerSec; 0 without a format.
    virtual uint32_t MsToBytes(int ms)
    {
        const WAVEFORMATEX* f = GetFormat();
        if (!f || ms < 0) {
            return 0;
        }
        return static_cast<uint32_t>(ms / 1000) * f->nAvgBytesPerSec;
    }
    // bytes x 1000 / nAvgBytesPerSec (64-bit); 0 without a format or rate.
    virtual int BytesToMs(uint32_t bytes)
    {
        const WAVEFORMATEX* f = GetFormat();
        if (!f || f->nAvgBytesPerSec == 0) {
            return 0;
        }
        return static_cast<int>(static_cast<uint64_t>(bytes) * 1000 / f->nAvgBytesPerSec);
    }
};

// The audio reader plug-in export: asked for "AudioReaderPlugin", stores a
// new CPcmReader in *out and returns 0.
extern "C" typedef int (*AudioReaderCreateInstance)(void** out, const char* interfaceName);
