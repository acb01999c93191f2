#pragma once
// CPictureDecoder: decodes a picture that the program's own PNG, BMP and
// "bma" readers do not read: an uncompressed BMP held in memory, a JPEG, GIF
// or icon (in place of the system's OLE picture loader; image/OlePicture.h
// says how transparency is drawn), or anything an image plug-in accepts.
// Made per picture by gPictureDecoderFactory; works on a file image already
// loaded by a CFile that must outlive it.
#include <cstdint>
#include <memory>

#include "image/DIBSection.h"
#include "frame/Holder.h"
#include "image/ImagePlugin.h"
#include "image/PictureResult.h"

class CFile;
class OlePicture;
namespace platform {
class JpegDecoder;
}

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
};
constexpr uint8_t kPcReserved = 0x01, kPcExplicit = 0x02, kPcNoCollapse = 0x04;

class CPictureDecoder {
public:
    CPictureDecoder();
    virtual ~CPictureDecoder();  // releases first
    CPictureDecoder(const CPictureDecoder&) = delete;
    CPictureDecoder& operator=(const CPictureDecoder&) = delete;

    // LoadBitmap, else LoadOlePicture, else LoadPlugin: 0 ok, 1 nothing accepted the file.
    virtual int Load(CFile* file);
    // 0 and the size (a top-down BMP reports its negative height), 1 nothing loaded.
    virtual int GetSize(int* width, int* height);
    // Draws the picture at (0, 0) into the target (cut at its edges), fourth
    // bytes 0. 0 ok, 1 failure.
    virtual int Draw(const DibView& target);
    // Copies an uncompressed 24-bit BMP as 32-bit pixels with alpha 0.
    virtual PictureCopyResult CopyTo(uint32_t* pixels, int pitch);
    // Forgets the picture, unloads a plug-in; 0.
    virtual int Release();
    // An identity palette for an 8-bit screen from the BMP's colour table.
    virtual PicturePaletteResult GetPalette(PaletteEntry entries[256]);
    // 0 when the file image is a BMP (at least 54 bytes, "BM"), else 1.
    virtual int LoadBitmap(CFile* file);
    // Hands the file to the GIF or icon reader by its signature, else to the JPEG reader.
    virtual PictureJpegResult LoadOlePicture(CFile* file);
    // 0 when "spi/if<ext>.spi" loads, exports all three functions and accepts
    // the file (2048 bytes or more); else 1.
    virtual int LoadPlugin(CFile* file);
    // Frees the two blocks of the plug-in's last GetPicture.
    virtual void FreePluginImage();

private:
    // The BMP's 40-byte info header fields as stored (valid when bmpData_ is set).
    int32_t BmpWidth() const;
    int32_t BmpHeight() const;
    int BmpBitCount() const;
    uint32_t BmpCompression() const;

    const uint8_t* bmpData_ = nullptr;
    size_t bmpSize_ = 0;
    const uint8_t* bmpInfo_ = nullptr;
    uint32_t bmpBitsOffset_ = 0;
    std::unique_ptr<platform::JpegDecoder> picture_;
    std::unique_ptr<OlePicture> otherPicture_;  // a GIF or an icon
    void* plugin_ = nullptr;
    PluginIsSupported isSupported_ = nullptr;
    PluginGetPictureInfo getPictureInfo_ = nullptr;
    PluginGetPicture getPicture_ = nullptr;
    CFile* file_ = nullptr;
    void* pluginBits_ = nullptr;
    void* pluginInfo_ = nullptr;
};

// Makes the decoders; replaceable (tests install their own).
class CPictureDecoderFactory {
public:
    virtual ~CPictureDecoderFactory() = default;
    // A new decoder (never null for the default factory).
    virtual std::unique_ptr<CPictureDecoder> Create();
};

// The factory in use: the default one unless something installed another.
extern Holder<CPictureDecoderFactory> gPictureDecoderFactory;
