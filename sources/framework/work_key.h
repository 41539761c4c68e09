#pragma once
// The work key S[I]D{X}: source number, index, detail row (0 = listing step)
// and an unused fourth number, read by the positions of the first "[", "]",
// "{" and "}".
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

struct WorkKey {
    std::int32_t source = 0;
    std::int32_t index = 0;
    std::int32_t detail = 0;
    std::int32_t extra = 0;

    // Throws std::invalid_argument on a malformed key; the worker step's
    // error guard turns that into an ended step like any other error.
    static WorkKey parse(std::string_view key);

    // "S[I]D{0}"
    static std::string make(std::int32_t source, std::int32_t index, std::int32_t detail);
    std::string str() const { return make(source, index, detail); }
    bool isListing() const { return detail == 0; }
};

}  // namespace velmora
