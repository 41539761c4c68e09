#include "sources/scriptdirectory/script_arguments.h"

namespace velmora::scriptdir {
namespace {

// The text still to be read, consumed from the front.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : rest_(text) {}

    // Drops the text up to and including the next separator (everything when
    // none is left).
    void skip() {
        size_t at = rest_.find(kSeparator);
        rest_ = at == std::string_view::npos ? std::string_view{} : rest_.substr(at + 3);
    }
    // The text in front of the next separator, then dropped like a skip.
    std::string_view take() {
        size_t at = rest_.find(kSeparator);
        std::string_view field =
            at == std::string_view::npos ? std::string_view{} : rest_.substr(0, at);
        skip();
        return field;
    }
    // The text in front of the next `",`, nothing dropped.
    std::string_view peek() const {
        size_t at = rest_.find("\",");
        return at == std::string_view::npos ? std::string_view{} : rest_.substr(0, at);
    }

  private:
    std::string_view rest_;
};

}  // namespace

std::array<std::string_view, kBriefArguments> splitBriefArguments(std::string_view text) {
    std::array<std::string_view, kBriefArguments> args{};
    for (auto& arg : args) {
        size_t at = text.find(kSeparator);
        if (at == std::string_view::npos) break;
        arg = text.substr(0, at);
        text.remove_prefix(at + 3);
    }
    return args;
}

InfoArguments readInfoArguments(std::string_view text) {
    Cursor c(text);
    InfoArguments a;
    c.skip();
    a.name = c.take();
    c.skip();
    a.contact = c.peek();
    c.skip();
    a.manager = c.take();
    c.skip();
    a.phone = c.peek();
    c.skip();
    c.take();
    c.skip();
    a.fax = c.peek();
    c.skip();
    c.take();
    c.skip();
    a.email = c.peek();
    c.skip();
    c.take();
    c.skip();
    a.address = c.peek();
    c.skip();
    c.take();
    c.skip();
    c.peek();
    c.skip();
    c.take();
    c.skip();
    a.postcode = c.peek();
    c.skip();
    c.take();
    c.skip();
    c.peek();
    c.skip();
    a.website = c.take();
    return a;
}

}  // namespace velmora::scriptdir
