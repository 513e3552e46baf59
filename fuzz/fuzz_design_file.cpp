// SPDX-License-Identifier: GPL-3.0-or-later
// What the window and the web page open: a design file from anywhere. Any bytes are either
// refused in words or give a design; a design given is written out again as a file that reads
// back to the same design and is then written the same, byte for byte.

#include "files/design_file.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevan::check;
    using brevan::fuzz::require;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = readDesignFile(text);
    if (const auto* refusal = std::get_if<std::string>(&read)) {
        require(!refusal->empty(), "a refusal says why", text);
        return 0;
    }
    const std::string written = designFileJson(std::get<DesignFile>(read));
    const auto again = readDesignFile(written);
    require(std::holds_alternative<DesignFile>(again), "a written design reads back", written);
    require(designFileJson(std::get<DesignFile>(again)) == written,
            "a design read back is written the same", written);
    return 0;
}
