#pragma once
// What the website and e-mail boxes may hand to the shell. Their texts come
// from outside web pages, so only web addresses and plain mail addresses are
// opened: never "file:", "javascript:" or a mail link with parameters.
#include <QString>

#include <optional>

namespace velmora::gui::links {

// Removes leading and trailing characters 0..32 (a full-width space stays).
QString trimBlanks(const QString& text);

// The address the website box opens for its text: an http or https address
// as it stands, a text without a scheme as "http://" + text. nullopt for an
// empty text, another scheme or an address without a host.
std::optional<QString> websiteTarget(const QString& boxText);

// "mailto:" + the address, for a plain address (one "@", no blanks, no "?",
// no other URL syntax). nullopt otherwise.
std::optional<QString> mailtoTarget(const QString& boxText);

}  // namespace velmora::gui::links
