#pragma once
// kmStreamSoundHelper: the ring buffer of a streamed sound: its write offset
// and the carry of bytes asked for that did not fit before the ring's end.
// Used under its CStreamSound's lock only.
#include <cstdint>
#include <memory>

#include "platform/Audio.h"

class CDirectSound;
class CPcmReader;

class kmStreamSoundHelper {
public:
    // Keeps both (the reader is not owned); counts itself in as a sound user.
    kmStreamSoundHelper(CDirectSound* device, CPcmReader* reader);
    // Stops and releases the buffer; counts itself out.
    virtual ~kmStreamSoundHelper();
    kmStreamSoundHelper(const kmStreamSoundHelper&) = delete;
    kmStreamSoundHelper& operator=(const kmStreamSoundHelper&) = delete;

    // Carry, write offset and ring size to 0; true.
    virtual bool Reset();
    // A silent looping-capable ring of that many seconds of the reader's
    // format; null (after a message) when it cannot be made.
    virtual std::shared_ptr<platform::SoundBuffer> CreateDirectSoundBuffer(int seconds);
    // Writes n bytes (plus the carry) from the reader at the write offset.
    // Returns false on a lock or unlock failure (the count is then 0);
    // *written gets the bytes the reader delivered.
    virtual bool UpdateDirectSound(uint32_t n, uint32_t* written);
    virtual uint32_t GetWriteOffset() const { return writeOffset_; }
    // Carry and write offset to 0, then the reader to that byte offset.
    virtual void Seek(uint32_t bytes);
    virtual uint32_t GetBufferSize() const { return ringSize_; }
    // 0 ok, 1 lock failed (buffer stopped), 2 unlock failed: zero-fills the ring.
    virtual int ClearBuffer();
    // Writes silence over `bytes` from the write offset on (wrapping round the
    // ring), leaving the offset where it is; false when the lock fails.
    bool FillSilence(uint32_t bytes);
    // From now until the next Seek, UpdateDirectSound writes silence instead
    // of reading, and moves the write offset over it: after a non-looping
    // file's end, what the cursor frees is silenced as it goes.
    void WriteSilenceFromNowOn() { silence_ = true; }

private:
    // Locks, retrying once after restoring lost buffers.
    uint8_t SilenceByte() const;
    int32_t LockRing(uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1, void** p2, uint32_t* n2);

    CDirectSound* device_;
    std::shared_ptr<platform::SoundBuffer> buffer_;
    CPcmReader* reader_;
    uint32_t carry_ = 0;
    bool silence_ = false;
    uint32_t writeOffset_ = 0;
    uint32_t ringSize_ = 0;
    int seconds_ = 0;
};
