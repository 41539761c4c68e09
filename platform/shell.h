#pragma once
// Handing a document or an address to the desktop: the user's browser, mail
// program or help viewer. The window talks to this interface only, so tests
// can record what would have been opened.
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class Shell {
  public:
    virtual ~Shell() = default;

    // Opens a URL ("http://...", "mailto:...", "file://...") or a file path
    // with the user's default program. Returns false when no program could be
    // started; whatever the program itself reports is its own business.
    virtual bool open(const std::string& target) = 0;

    // Starts a program (argv[0] looked up on PATH) without waiting for it.
    virtual bool start(const std::vector<std::string>& argv) = 0;
};

// The desktop's opener (xdg-open); programs are started detached, so they
// live on after the window and never become zombies of it.
std::unique_ptr<Shell> makeDesktopShell();

// Full path of `program` found on PATH (or the name itself when it holds a
// "/" and is executable); empty when there is none.
std::string findProgram(const std::string& program);

}  // namespace velmora
