// Pictures through the general decoder, as the picture loader sees a ".jpg":
// the BMP test, the JPEG reader (in place of the OLE loader), then the
// plug-in look-up; then drawn into a section of the size they report.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image/DIBSection.h"
#include "frame/File.h"
#include "image/ImageLimits.h"
#include "frame/FileLayer.h"
#include "image/PictureDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The decoder reads a CFile, which loads by name: go through a file. The
    // file layer reads only inside the game folder, so /tmp is made that.
    static const std::string path = "/tmp/lantern_jpeg_fuzz_" + std::to_string(getpid()) + ".jpg";
    static const bool folderSet = (SetStartDirectory("/tmp"), true);
    (void)folderSet;
    static const struct Remover {
        ~Remover() { std::remove(path.c_str()); }
    } remover;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    CFile file;
    if (file.Load(path) != 0) {
        return 0;
    }
    CPictureDecoder decoder;
    int w = 0, h = 0;
    if (decoder.Load(&file) != 0 || decoder.GetSize(&w, &h) != 0) {
        return 0;
    }
    // Keep each run small: the readers cap sizes, the target here too.
    if (!IsPictureSizeValid(w, h) || int64_t{w} * h > (int64_t{1} << 22)) {
        return 0;
    }
    CDIBSection section;
    if (section.Create(w, h) == 0) {
        std::vector<uint32_t> copy(static_cast<size_t>(w) * static_cast<size_t>(h));
        if (decoder.CopyTo(copy.data(), w * 4) != 0) {
            decoder.Draw(section.GetView());
        }
    }
    return 0;
}
