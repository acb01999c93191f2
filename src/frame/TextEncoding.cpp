#include "frame/TextEncoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

// One iconv descriptor per call: conversions are rare (captions, file names,
// messages) and a shared descriptor would need a lock.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; with `lenient` an unconvertible byte becomes
    // "?" and is skipped, otherwise the conversion fails.
    bool Run(std::string_view in, std::string* out, bool lenient)
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        std::string result;
        result.reserve(in.size() * 3 / 2 + 4);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof(buffer);
            size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            result.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL (a sequence cut off at the end).
            if (!lenient) {
                return false;
            }
            result.push_back('?');
            ++src;
            --srcLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        *out = std::move(result);
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

bool SjisToUtf8Strict(std::string_view sjis, std::string* out)
{
    return Converter("UTF-8", "CP932").Run(sjis, out, false);
}

bool Utf8ToSjisStrict(std::string_view utf8, std::string* out)
{
    return Converter("CP932", "UTF-8").Run(utf8, out, false);
}

std::string SjisToUtf8(std::string_view sjis)
{
    std::string out;
    if (!Converter("UTF-8", "CP932").Run(sjis, &out, true)) {
        return std::string(sjis);
    }
    return out;
}

std::string Utf8ToSjis(std::string_view utf8)
{
    std::string out;
    if (!Converter("CP932", "UTF-8").Run(utf8, &out, true)) {
        return std::string(utf8);
    }
    return out;
}
