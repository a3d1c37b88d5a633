#include "XmlText.h"

#include "core/ValueItems.h"
#include "skin/XMLNode.h"

namespace marlowen::fstool {

namespace {

// Markup characters and control characters as references, so that a parser reads the value back
// unchanged (it would turn a raw line break in an attribute into a space).
void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "&#" + std::to_string(static_cast<int>(c)) + ";";
                } else {
                    out += c;
                }
        }
    }
}

std::string ValueText(const TVariant& value) {
    if (value.Type() == TVarType::Boolean) return value.ToBoolean() ? "true" : "false";
    return value.ToString();
}

void AppendNode(std::string& out, const TXMLNode& node, size_t depth) {
    const std::string indent(depth * 2, ' ');
    out += indent + "<" + node.Name();
    for (const TValueItem* attribute : node.Attributes().Items()) {
        out += " " + attribute->Name() + "=\"";
        AppendEscaped(out, ValueText(attribute->Value()));
        out += "\"";
    }
    if (node.Nodes().Count() == 0) {
        out += "/>\n";
        return;
    }
    out += ">\n";
    for (const TXMLNode* child : node.Nodes().Nodes()) AppendNode(out, *child, depth + 1);
    out += indent + "</" + node.Name() + ">\n";
}

}  // namespace

std::string XmlText(const TXMLNode& root) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    AppendNode(out, root, 0);
    return out;
}

}  // namespace marlowen::fstool
