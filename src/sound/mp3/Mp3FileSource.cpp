// The stream reader's bytes through the program's file layer.
#include "frame/File.h"
#include "sound/mp3/Mp3ByteSource.h"

namespace {

class Mp3FileSource final : public Mp3ByteSource {
public:
    bool Open(const std::string& name) override { return file_.Open(name, "rb") == 0; }
    int Close() override { return file_.Close(); }
    int Read(void* buffer, int bytes) override { return file_.Handle().Read(buffer, bytes); }
    bool Seek(int64_t offset) override { return file_.Handle().Seek(offset, 0) == 0; }
    int64_t Size() override { return file_.Handle().GetSize(); }

private:
    CFile file_;
};

}  // namespace

std::unique_ptr<Mp3ByteSource> MakeMp3FileSource()
{
    return std::make_unique<Mp3FileSource>();
}
