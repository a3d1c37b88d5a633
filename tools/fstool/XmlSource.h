#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace marlowen {
class TXMLNode;
}

// XML text of the skin sources turned into stored document trees (native builds: pugixml).
namespace marlowen::fstool {

// The element tree of the XML file at path: element names and typed attribute values (above);
// text, comments, processing instructions and the declaration are dropped. Raises Exception for
// an unreadable file ("path: ..."), malformed XML ("path:line:column: ..."), a document without
// exactly one root element, and elements nested deeper than a stored tree may be.
std::unique_ptr<TXMLNode> LoadXmlSource(const std::string& path);

}  // namespace marlowen::fstool
