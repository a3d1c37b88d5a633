// fstool update build / show: update packages for the setup's "/update" flow.

#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "InputFile.h"
#include "SigningCommands.h"
#include "ToolCommand.h"
#include "core/Exception.h"
#include "setup/UpdatePackage.h"
#include "storage/DataRecords.h"
#include "storage/FileIo.h"
#include "storage/PackageSignature.h"

namespace marlowen::fstool {

namespace {

std::string ReadTextFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
}

// The folder part of a path, with its separator ("" for a bare name).
std::string FolderOf(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Reads a manifest into the action table; every fault names the manifest and the line.
class TManifestReader {
public:
    TManifestReader(std::string path, TDataRecords& actions) : Path_(std::move(path)), Actions_(actions) {}

    void Read() {
        const std::string text = ReadTextFile(Path_);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            ++LineNumber_;
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ReadLine(line);
            start = end + 1;
        }
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const {
        throw Exception(Path_ + ":" + std::to_string(LineNumber_) + ": " + reason);
    }

    void ReadLine(const std::string& line) {
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') return;
        const std::vector<std::string> fields = SplitTabs(line);
        if (fields[0] == "update") {
            ReadUpdate(fields);
        } else if (fields[0] == "delete") {
            ReadDelete(fields);
        } else {
            Fail("unknown action \"" + fields[0] + "\" (update or delete)");
        }
    }

    void RequireFields(const std::vector<std::string>& fields, size_t count) const {
        if (fields.size() != count) {
            Fail(fields[0] + " needs " + std::to_string(count) + " tab-separated fields, found " +
                 std::to_string(fields.size()));
        }
    }

    void ReadUpdate(const std::vector<std::string>& fields) {
        RequireFields(fields, 5);
        const std::string& fileName = fields[1];
        const std::string& source = fields[4];
        if (fileName.empty() && fields[3].empty()) Fail("update names neither a file nor a link");
        if (fileName.empty() != source.empty()) Fail("a file name and its source file go together");
        std::string body;
        if (!source.empty()) body = ReadSource(source);
        AddUpdateAction(Actions_, "U", fileName, fields[2], fields[3], body);
    }

    void ReadDelete(const std::vector<std::string>& fields) {
        RequireFields(fields, 4);
        if (fields[1].empty() && fields[2].empty() && fields[3].empty()) {
            Fail("delete names no file, folder or link");
        }
        AddUpdateAction(Actions_, "D", fields[1], fields[2], fields[3]);
    }

    std::string ReadSource(const std::string& source) const {
        const std::string path = IsAbsolute(source) ? source : FolderOf(Path_) + source;
        try {
            return ReadTextFile(path);
        } catch (const Exception& error) {
            Fail("cannot read \"" + source + "\": " + error.Message());
        }
    }

    std::string Path_;
    TDataRecords& Actions_;
    int LineNumber_ = 0;
};

int Build(const TCommandLine& line) {
    line.RequirePositional(3);
    TUpdatePackageHeader header;
    header.FilesFolder = line.Required("files-folder");
    header.LinksFolder = line.Required("links-folder");
    header.UpdateLevel = static_cast<uint32_t>(line.Integer("level", 1, std::numeric_limits<uint32_t>::max()));
    const std::string key = line.Required("key");

    TDataRecords actions;
    AddUpdateActionFields(actions);
    TManifestReader(line.Positional()[1], actions).Read();
    const std::vector<uint8_t> package = WriteUpdatePackage(header, actions, key, line.Value("comment", ""));
    SaveFileReplacing(line.Positional()[2], package.data(), package.size());
    if (line.Has("sign")) SignPackageFile(line.Required("sign"), line.Positional()[2]);
    return 0;
}

// A field's text, or "" when the table does not define it (packages of other writers).
std::string FieldText(const TDataRecord& record, const char* name) {
    const TFieldDef* field = record.Owner().FieldDefs().Find(name);
    if (field == nullptr || (field->FieldType() != TFieldType::Text && field->FieldType() != TFieldType::Blob)) {
        return "";
    }
    return record.GetText(name);
}

std::string BodySize(const TDataRecord& record) {
    const TFieldDef* field = record.Owner().FieldDefs().Find(UpdateField::Body);
    if (field == nullptr || field->FieldType() != TFieldType::Blob) return "-";
    return std::to_string(record.GetBlob(UpdateField::Body).Size());
}

int Show(const TCommandLine& line) {
    line.RequirePositional(2);
    TUpdatePackageHeader header;
    TDataRecords actions;
    ReadUpdatePackage(ReadWholeFile(line.Positional()[1]), line.Required("key"), header, actions);
    std::cout << "files folder: " << header.FilesFolder << "\n"
              << "links folder: " << header.LinksFolder << "\n"
              << "update level: " << header.UpdateLevel << "\n"
              << "actions: " << actions.Count() << "\n";
    if (line.Has("public")) {
        const std::string keyPath = line.Required("public");
        const std::vector<uint8_t> keyText = ReadWholeFile(keyPath);
        const auto key = PackageSignature::ParsePublicKey(std::string(keyText.begin(), keyText.end()));
        if (!key) throw Exception("\"" + keyPath + "\" is not a public key file (64 hexadecimal digits)");
        std::cout << "signature: " << (SignatureHolds({*key}, line.Positional()[1]) ? "holds" : "does not hold") << "\n";
    }
    for (const TDataRecord* record : actions) {
        std::cout << FieldText(*record, UpdateField::Action) << "\t" << FieldText(*record, UpdateField::FileName)
                  << "\t" << FieldText(*record, UpdateField::Path) << "\t" << FieldText(*record, UpdateField::Link)
                  << "\t" << BodySize(*record) << "\n";
    }
    return 0;
}

int Update(const std::vector<std::string>& args) {
    const TCommandLine line(args, {"key", "level", "files-folder", "links-folder", "comment", "sign", "public"});
    const std::string action = line.Positional().empty() ? std::string() : line.Positional()[0];
    if (action == "build") return Build(line);
    if (action == "show") return Show(line);
    throw EUsageError(action.empty() ? "missing build or show" : "unknown action \"" + action + "\" (build or show)");
}

}  // namespace

std::vector<TToolCommand> UpdateCommands() {
    return {
        {"update", "builds or shows an update package for \"Setup.exe /update\"",
         "usage: fstool update build --key KEY --level N --files-folder DIR --links-folder DIR\n"
         "                           [--comment TEXT] [--sign SECRET_FILE] MANIFEST OUT\n"
         "       fstool update show --key KEY [--public PUBLIC_FILE] PACKAGE\n\n"
         "build writes OUT, an update package sealed with KEY, holding the actions MANIFEST lists.\n"
         "The setup applies it only to an installation whose update level is below N (1 to\n"
         "4294967295) and then records N. DIR are the Windows folders on the target machine that\n"
         "the actions' files and folders (--files-folder) and shortcuts (--links-folder) are\n"
         "relative to. OUT is written only when everything succeeded. With --sign, OUT.sig is\n"
         "written too, as \"fstool sign\" writes it.\n\n"
         "MANIFEST is UTF-8 text with one action per line, the fields separated by one TAB each\n"
         "(so names may hold spaces); empty fields are allowed, lines that are blank or start\n"
         "with \"#\" are ignored, and lines may end in CR LF:\n\n"
         "  update<TAB>FILE<TAB>PATH<TAB>LINK<TAB>SOURCE\n"
         "      writes DIR\\PATH\\FILE (creating its folders) with the bytes of SOURCE, and/or\n"
         "      makes the shortcut LINKS\\LINK.lnk (LINK also its description) to that file,\n"
         "      or to the folder DIR\\PATH\\ when FILE is empty. FILE and SOURCE go together;\n"
         "      SOURCE is a file of this machine, relative to the manifest's folder.\n"
         "  delete<TAB>FILE<TAB>PATH<TAB>LINK\n"
         "      deletes DIR\\PATH\\FILE, the shortcut LINKS\\LINK.lnk and the folder DIR\\PATH\n"
         "      (only when empty); each non-empty field is one independent deletion.\n\n"
         "PATH and LINK may hold \"\\\" to reach subfolders. Actions run in manifest order.\n"
         "A faulty line prints \"MANIFEST:LINE: reason\" and exits with status 1.\n\n"
         "show prints the files folder, the links folder, the update level and the number of\n"
         "actions (with --public, whether PACKAGE.sig holds: \"signature: holds\" or \"does not hold\"),\n"
         "then one line per action: its kind (U or D), file, path, link and the size of\n"
         "its content in bytes, separated by TABs. A wrong key or a damaged package prints\n"
         "\"Данные повреждены или испорчены.\" and exits with status 1.\n",
         Update},
    };
}

}  // namespace marlowen::fstool
