// Layer I: 4-bit allocations, 6-bit scale factors and 12 samples per subband.
#include <cmath>
#include <cstring>

#include "sound/mp3/Mp3BitReader.h"
#include "sound/mp3/Mp3State.h"

namespace mp3 {

namespace {

// 2 / (2^(n+1) - 1) for an allocation of n + 1 bits (n = 1 .. 15).
float gLayerIFactors[16];

}  // namespace

int StereoBound(const Mp3HeaderFields& h, int limit)
{
    int bound = limit;
    if (h.mode == 1) {
        bound = 4 * (h.modeExtension + 1);
    }
    return bound < limit ? bound : limit;
}

void BuildLayerITables()
{
    gLayerIFactors[0] = 0.0f;
    for (int n = 1; n < 16; ++n) {
        gLayerIFactors[n] = float(2.0 / ((1 << (n + 1)) - 1));
    }
}

bool InitLayerI(Mp3Decoder& st, const Mp3HeaderFields& header)
{
    st.layerSubbands = DecodedSubbands(st, st.sampleRate, 32);
    (void)header;
    std::memset(st.subbandBlock, 0, sizeof st.subbandBlock);
    return true;
}

void DecodeLayerI(Mp3Decoder& st, const Mp3HeaderFields& h, const uint8_t* frame, int frameBytes,
                  uint8_t* output)
{
    Mp3BitReader br(frame, size_t(frameBytes));
    br.Skip(h.crcPresent ? 48 : 32);
    int channels = h.mode == 3 ? 1 : 2;
    int bound = channels == 2 ? StereoBound(h, 32) : 32;
    int alloc[2][32];
    float scale[2][32];
    for (int sb = 0; sb < 32; ++sb) {
        if (sb < bound) {
            for (int ch = 0; ch < channels; ++ch) {
                alloc[ch][sb] = int(br.Read(4));
            }
        } else {
            alloc[0][sb] = alloc[1][sb] = int(br.Read(4));
        }
    }
    for (int sb = 0; sb < 32; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            scale[ch][sb] = alloc[ch][sb] ? gScaleFactors[br.Read(6)] : 0.0f;
        }
    }
    int limit = st.layerSubbands;
    for (int slot = 0; slot < 12; ++slot) {
        for (int sb = 0; sb < 32; ++sb) {
            int shared = sb >= bound ? 1 : 0;
            int code = 0;
            for (int ch = 0; ch < channels; ++ch) {
                int n = alloc[ch][sb];
                float value = 0.0f;
                if (n != 0) {
                    if (!shared || ch == 0) {
                        code = int(br.Read(n + 1));
                    }
                    value = gLayerIFactors[n] * float(code - (1 << n) + 1) * scale[ch][sb];
                }
                st.subbandBlock[ch][slot][sb] = sb < limit ? value : 0.0f;
            }
        }
    }
    if (channels == 2) {
        ApplyChannelCode(st, &st.subbandBlock[0][0][0], &st.subbandBlock[1][0][0], 12 * 32);
    }
    const float* in[2] = {&st.subbandBlock[0][0][0], &st.subbandBlock[1][0][0]};
    Synthesize(st, in, 32, 1, 12, output, 0);
}

}  // namespace mp3
