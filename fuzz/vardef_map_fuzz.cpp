// The variable-name file of the debug watch: any bytes parse without harm,
// and every name kept is one non-empty run without white space or NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/VarDefMap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const VarNames names = ParseVarDefMap(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [number, name] : names) {
        (void)number;
        if (name.empty() || name.size() > size || name.find_first_of(std::string_view(" \t\r\n\v\f\0", 7)) !=
                                                        std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
