#include "XmlSource.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/Exception.h"
#include "core/StringHash.h"
#include "core/Utf.h"
#include "skin/XMLAttributeValue.h"
#include "skin/XMLNode.h"
#include "storage/MemStream.h"

namespace marlowen::fstool {

namespace {

// Line and column (both from 1, the column in characters) of a byte offset of UTF-8 text.
std::string Location(const uint8_t* text, size_t size, size_t offset) {
    offset = std::min(offset, size);
    size_t line = 1;
    size_t column = 1;
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((text[i] & 0xC0) != 0x80) {
            ++column;
        }
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

void Convert(const pugi::xml_node& source, TXMLNode& target, int32_t depth, const std::string& path) {
    if (depth >= TXMLNode::kMaxDepth) {
        throw Exception(path + ": elements are nested deeper than " + std::to_string(TXMLNode::kMaxDepth) +
                        " levels");
    }
    for (const pugi::xml_attribute& attribute : source.attributes()) {
        target.Attributes().Add(std::make_unique<TXMLProperty>(attribute.name(), AttributeValue(attribute.value())));
    }
    for (const pugi::xml_node& child : source.children()) {
        if (child.type() == pugi::node_element) Convert(child, target.AddChild(child.name()), depth + 1, path);
    }
}

}  // namespace


std::unique_ptr<TXMLNode> LoadXmlSource(const std::string& path) {
    TMemStream file;
    file.LoadFromFile(path);
    const auto size = static_cast<size_t>(file.Size());
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(file.Memory(), size, pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        const std::string at = Location(file.Memory(), size, static_cast<size_t>(result.offset));
        throw Exception(path + ":" + at + ": " + result.description());
    }
    const auto elements = std::count_if(document.children().begin(), document.children().end(),
                                        [](const pugi::xml_node& node) { return node.type() == pugi::node_element; });
    if (elements != 1) throw Exception(path + ": the document must have exactly one root element");
    const pugi::xml_node source = document.document_element();
    auto root = std::make_unique<TXMLNode>(source.name());
    Convert(source, *root, 0, path);
    return root;
}

}  // namespace marlowen::fstool
