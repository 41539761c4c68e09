#include "sources/websearch/email_field.h"

#include "sources/framework/email_lookup.h"

namespace velmora::homepage {

std::string findEmail(std::string_view page) {
    std::string candidate = emailCandidate(page);
    return !candidate.empty() && isAcceptableEmail(candidate) ? candidate : std::string();
}

}  // namespace velmora::homepage
