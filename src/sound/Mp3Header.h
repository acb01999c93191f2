#pragma once
// The first MP3 frame header as the MP3 file source reads it: layer, bitrate,
// sample rate and channels, turned into the 30-byte Layer-3 wave format.
#include <cstdint>

#include "sound/WaveFormat.h"

enum Mp3HeaderResult : int {
    kMp3HeaderOk = 0,
    kMp3HeaderNoSync = 1,       // the bytes do not start with a frame sync
    kMp3HeaderBadLayer = 2,     // layer bits 00
};

// Builds the Layer-3 format from the 4 header bytes; kMp3HeaderOk and *out
// filled, or a failure code with *out untouched.
int Mp3HeaderToFormat(const uint8_t header[4], MPEGLAYER3WAVEFORMAT* out);

// Size of an ID3v2 tag that starts the 10 bytes, footer included; 0 when
// they do not start with "ID3".
uint32_t Id3v2TagSize(const uint8_t head[10]);
