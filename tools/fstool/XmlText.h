#pragma once

#include <string>

namespace marlowen {
class TXMLNode;
}

namespace marlowen::fstool {

// The tree as indented XML text (UTF-8, two spaces a level), with a declaration first. Attribute
// values are written as their text (booleans "true" and "false"), so that "fstool pack" types
// integers and booleans back as they were; a wide or 8-bit string holding such text would come
// back typed as well.
std::string XmlText(const TXMLNode& root);

}  // namespace marlowen::fstool
