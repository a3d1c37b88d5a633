// fstool pack / list / xml: resource packs built from skin sources and inspected.

#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "InputFile.h"
#include "ToolCommand.h"
#include "XmlText.h"
#include "skin/Bitmap32.h"
#include "skin/FontImages.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"
#include "storage/MemStream.h"

#ifdef MARLOWEN_FSTOOL_HAS_PACK
#include <algorithm>
#include <filesystem>
#include <map>

#include "FontSource.h"
#include "PngSource.h"
#include "XmlSource.h"
#include "core/StringHash.h"
#include "skin/PackWriter.h"
#include "skin/ScaledImage.h"
#include "storage/FileIo.h"
#endif

namespace marlowen::fstool {

namespace {

std::string XmlSummary(const TXMLNode& root) {
    return "xml <" + root.Name() + ">, " + std::to_string(root.SubtreeCount()) + " nodes";
}

std::string BitmapSummary(const TBitmap32& bitmap) {
    return "bitmap " + std::to_string(bitmap.Width()) + "x" + std::to_string(bitmap.Height());
}

std::string FontSummary(const TFontImages& font) {
    return "font " + std::to_string(font.SymbolCount()) + " glyphs, line height " + std::to_string(font.LineHeight());
}

std::string ItemSummary(const TResourceItem& item) {
    if (item.Bitmap() != nullptr) return BitmapSummary(*item.Bitmap());
    if (item.Font() != nullptr) return FontSummary(*item.Font());
    if (item.XML() != nullptr) return XmlSummary(*item.XML());
    if (item.Sound() != nullptr) return "sound " + std::to_string(item.Sound()->Size()) + " bytes";
    return "no body";
}

// Loads a pack file as the setup does (unmasked); a damaged pack raises the loader's error on
// one line, after the pack's path.
void LoadPackFile(const std::string& path, TResources& resources) {
    std::vector<uint8_t> image = ReadWholeFile(path);
    resources.SetXorMask(0);
    try {
        resources.LoadPackImage(std::move(image));
    } catch (const Exception& e) {
        std::string message = e.Message();
        for (size_t at; (at = message.find("\r\n")) != std::string::npos;) message.replace(at, 2, " ");
        throw Exception(path + ": " + message);
    }
}

int List(const std::vector<std::string>& args) {
    const TCommandLine line(args, {});
    line.RequirePositional(1);
    TResources resources;
    LoadPackFile(line.Positional()[0], resources);
    for (const TResourceItem* item : resources.Items()) std::cout << item->Name() << "\t" << ItemSummary(*item) << "\n";
    return 0;
}

int Xml(const std::vector<std::string>& args) {
    const TCommandLine line(args, {});
    line.RequirePositional(2);
    TResources resources;
    LoadPackFile(line.Positional()[0], resources);
    std::cout << XmlText(resources.GetXML(line.Positional()[1]));
    return 0;
}

#ifdef MARLOWEN_FSTOOL_HAS_PACK

namespace fs = std::filesystem;

enum class TSourceKind { Xml, Png, Wav, Font };

struct TSourceFile {
    std::string ItemName;
    std::string Path;
    TSourceKind Kind;
    TDisplayScale Scale;  // a font rendered for a display scale
};

// The pack sources under the folder, ordered by item name; other files are noted and skipped.
// A folder that cannot be listed stops the pack with its name: a skin missing a part must not
// be packed as if whole.
std::vector<TSourceFile> FindSources(const fs::path& folder) {
    std::map<std::string, TSourceFile> byName;
    std::error_code error;
    fs::path visited;  // the entry before the step that failed: a folder is entered right after it
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::directory_entry& entry = *it;
        visited = entry.path();
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;
        const fs::path relative = entry.path().lexically_relative(folder);
        const std::string extension = UpperCase(relative.extension().u8string());
        std::string name = relative.u8string();
        TSourceKind kind;
        std::string itemExtension = relative.extension().u8string();
        if (extension == ".XML") {
            kind = TSourceKind::Xml;
        } else if (extension == ".PNG") {
            kind = TSourceKind::Png;
            itemExtension = ".bmp";
        } else if (extension == ".WAV") {
            kind = TSourceKind::Wav;
        } else if (extension == ".FONT") {
            kind = TSourceKind::Font;
            itemExtension = ".fnt";
        } else {
            std::cout << "skipped\t" << name << " (not .xml, .png, .wav or .font)\n";
            continue;
        }
        if (name.find('\\') != std::string::npos) throw Exception(name + ": a backslash in a source name");
        name = name.substr(0, name.size() - relative.extension().u8string().size()) + itemExtension;
        std::replace(name.begin(), name.end(), '/', '\\');
        const std::string path = entry.path().u8string();
        std::vector<TSourceFile> made{{name, path, kind, {}}};
        if (kind == TSourceKind::Font) {
            for (const TDisplayScale& scale : FontSourceScales(path)) {
                made.push_back({VariantName(name, scale), path, kind, scale});
            }
        }
        for (TSourceFile& source : made) {
            const std::string item = source.ItemName;
            const auto [at, added] = byName.emplace(item, std::move(source));
            if (!added) throw Exception(at->second.Path + " and " + path + " both make the item '" + item + "'");
        }
    }
    if (error) {
        std::error_code typeError;
        const fs::path failed =
            visited.empty() ? folder : fs::is_directory(visited, typeError) ? visited : visited.parent_path();
        throw Exception(failed.u8string() + ": cannot be listed (" + error.message() + ")");
    }
    std::vector<TSourceFile> sources;
    for (auto& [name, source] : byName) sources.push_back(std::move(source));
    return sources;
}

// The size of every bitmap packed so far, by item name.
using TBitmapSizes = std::map<std::string, std::pair<int32_t, int32_t>>;

// Adds one source as its item; returns the item's summary.
std::string AddSource(TPackWriter& writer, const TSourceFile& source, TBitmapSizes& sizes) {
    switch (source.Kind) {
        case TSourceKind::Xml: {
            const auto root = LoadXmlSource(source.Path);
            writer.AddXML(source.ItemName, *root);
            return XmlSummary(*root);
        }
        case TSourceKind::Png: {
            TBitmap32 bitmap;
            LoadPngSource(source.Path, bitmap);
            writer.AddBitmap(source.ItemName, bitmap);
            sizes[source.ItemName] = {bitmap.Width(), bitmap.Height()};
            return BitmapSummary(bitmap);
        }
        case TSourceKind::Wav: {
            const std::vector<uint8_t> bytes = ReadWholeFile(source.Path);
            writer.AddSound(source.ItemName, bytes);
            return "sound " + std::to_string(bytes.size()) + " bytes";
        }
        case TSourceKind::Font: {
            const std::vector<uint8_t> body = BuildFontItemBody(source.Path, source.Scale);
            // Read back as the setup will, so that a body the loader refuses never enters a pack.
            TMemStream stream;
            stream.WriteBuffer(body.data(), static_cast<int32_t>(body.size()));
            stream.SetPosition(0);
            TFontImages font;
            font.Load(stream);
            if (!stream.AtEnd()) throw Exception(source.Path + ": the font body has bytes past its end");
            writer.AddFontBody(source.ItemName, body);
            return FontSummary(font);
        }
    }
    return {};
}

// A picture drawn for a scale ("Next@2x.png") must come with its picture at 100 % ("Next.png")
// and be that picture's size at the scale: the setup would otherwise leave it unused.
void CheckVariants(const std::vector<TSourceFile>& sources, const TBitmapSizes& sizes) {
    std::string baseName;
    TDisplayScale factor;
    for (const TSourceFile& source : sources) {
        if (source.Kind != TSourceKind::Png || !ParseVariantName(source.ItemName, baseName, factor)) continue;
        const auto base = sizes.find(baseName);
        if (base == sizes.end()) {
            throw Exception(source.Path + ": a picture for " + factor.ToString() + " without its picture at 100% ('" +
                            baseName + "')");
        }
        const auto [width, height] = sizes.at(source.ItemName);
        const auto [baseWidth, baseHeight] = base->second;
        if (!TBitmap32::IsVariantSize(baseWidth, baseHeight, factor, width, height)) {
            throw Exception(source.Path + ": " + std::to_string(width) + "x" + std::to_string(height) + " is not the " +
                            std::to_string(baseWidth) + "x" + std::to_string(baseHeight) + " of '" + baseName +
                            "' at " + factor.ToString() + " (" + std::to_string(factor.Device(baseWidth)) + "x" +
                            std::to_string(factor.Device(baseHeight)) + ", a side may be one more where it is not whole)");
        }
    }
}

int Pack(const std::vector<std::string>& args) {
    const TCommandLine line(args, {});
    line.RequirePositional(2);
    const std::string& folder = line.Positional()[0];
    const std::string& output = line.Positional()[1];
    std::error_code error;
    if (!fs::is_directory(FilePath(folder), error)) throw Exception(folder + ": not a folder");

    TPackWriter writer;
    TBitmapSizes sizes;
    const std::vector<TSourceFile> sources = FindSources(FilePath(folder));
    for (const TSourceFile& source : sources) {
        const std::string summary = AddSource(writer, source, sizes);
        std::cout << source.ItemName << "\t" << summary << "\n";
    }
    CheckVariants(sources, sizes);
    const std::vector<uint8_t> image = writer.PackImage();
    SaveFileReplacing(output, image.data(), image.size());
    std::cout << output << ": " << writer.Count() << " items, " << image.size() << " bytes ("
              << writer.Items().Size() << " before compression)\n";
    return 0;
}

#else

int Pack(const std::vector<std::string>&) {
    throw Exception("fstool pack: this build cannot build packs (it has no XML or PNG reader); use the Linux fstool");
}

#endif

}  // namespace

std::vector<TToolCommand> PackCommands() {
    return {
#ifdef MARLOWEN_FSTOOL_HAS_PACK
        {"pack", "builds a resource pack (.fs) from a folder of skin sources",
#else
        {"pack", "builds a resource pack (not in this build: Linux fstool only)",
#endif
         "usage: fstool pack SRC_DIR OUT.fs\n\n"
         "Builds a resource pack from every file under SRC_DIR. Item names are the paths relative\n"
         "to SRC_DIR with \"\\\" between the parts (\"XML\\Install\\Window.xml\"); items are stored in\n"
         "the byte order of their names, so the same folder always gives the same pack. Extensions\n"
         "are matched ignoring letter case:\n\n"
         "  NAME.xml   XML text -> the stored document NAME.xml. Elements and attributes are kept;\n"
         "             text, comments and processing instructions are dropped. Attribute values\n"
         "             are typed, first rule that matches:\n"
         "               decimal integer (\"0\", \"-12\"; no \"+\", no leading zeros)  integer (64-bit\n"
         "                 beyond the 32-bit range)\n"
         "               0x followed by hexadecimal digits   integer; up to 0xFFFFFFFF the 32-bit\n"
         "                 pattern, so colours read back as written (64-bit beyond)\n"
         "               true / false, any letter case        boolean\n"
         "               ASCII text                           8-bit string\n"
         "               any other text                       wide string\n"
         "  NAME.png   -> the bitmap NAME.bmp, 32-bit ARGB with straight (not premultiplied) alpha\n"
         "  NAME.wav   -> the sound NAME.wav, the file's bytes\n"
         "  NAME.font  -> the bitmap font NAME.fnt, rasterised from the font description, and\n"
         "             NAME@1.5x.fnt, NAME@2x.fnt, ... for each scale its \"scales\" line asks for\n\n"
         "A picture drawn for a display scale is named for it, NAME@2x.png (also @1.25x, @1.5x,\n"
         "@1.75x, @2.5x, @3x): it becomes NAME@2x.bmp, which the setup draws at that scale in place\n"
         "of NAME.bmp (the nearest at or above the scale). It needs NAME.png beside it and must be\n"
         "that picture's size at the scale, each side rounded either way where it is not whole.\n\n"
         "Other files are skipped with a note. Each item is reported on one line, then a summary.\n"
         "Malformed XML is reported with its file, line and column; an image that is missing or\n"
         "unreadable by its file name. OUT.fs is written only when the whole pack was built.\n"
#ifndef MARLOWEN_FSTOOL_HAS_PACK
         "\nThis build of fstool cannot build packs (it has no XML or PNG reader): use the Linux\n"
         "build. \"list\" and \"xml\" work here.\n"
#endif
         ,
         Pack},
        {"list", "lists the items of a resource pack",
         "usage: fstool list PACK\n\n"
         "Prints one line per item in load order: the item name, a tab, then its kind and details:\n"
         "  bitmap WxH | font N glyphs, line height H | xml <Root>, N nodes | sound N bytes |\n"
         "  no body\n"
         "A damaged pack is refused with the loader's error (exit status 1).\n",
         List},
        {"xml", "prints a document of a resource pack as XML text",
         "usage: fstool xml PACK ITEM\n\n"
         "Prints the stored document ITEM (its exact name, e.g. \"XML\\Global\\Styles.xml\") as\n"
         "indented XML text. A damaged pack or a missing document fails with exit status 1.\n",
         Xml},
    };
}

}  // namespace marlowen::fstool
