#include "app/engine/profile_breaks.h"

#include "platform/gbk.h"

namespace velmora {

std::string insertProfileBreaks(std::string_view profile) {
    const size_t length = profile.size();
    const size_t step = kProfileLineBytes;
    if (length < step) return std::string(profile);

    // Byte classes of the original text: true where a byte is the second
    // byte of a double-byte character.
    std::string trail(length, 0);
    for (size_t i = 0; i + 1 < length; ++i) {
        if (gbk::isLeadByte(static_cast<unsigned char>(profile[i]))) {
            trail[i + 1] = 1;
            ++i;
        }
    }

    // Each insertion lands at least 100 bytes behind the previous one, so the
    // changed text can be built front to back: `out` is its finished prefix.
    // Inserted bytes are ASCII and never change how later bytes pair up.
    std::string out;
    out.reserve(length + 2 * (length / step) + 2);
    size_t source = 0;    // next byte of the profile to copy
    size_t inserted = 0;  // bytes inserted so far
    for (size_t i = step; i <= length; i += step) {
        // Position i of the changed text holds profile byte i - 1 - inserted.
        bool isTrail = trail[i - 1 - inserted] != 0;
        size_t before = isTrail ? i - 1 : i;  // 1-based position to insert before
        size_t copy = (before - 1) - out.size();
        out.append(profile.substr(source, copy));
        source += copy;
        out += "\r\n";
        inserted += 2;
    }
    out.append(profile.substr(source));
    return out;
}

}  // namespace velmora
