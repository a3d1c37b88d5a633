#include "skin/SkinContext.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/MultiLanguageException.h"
#include "core/Utf.h"

namespace marlowen {

void TSkinBuild::ControlCreated() {
    if (ControlCount_ >= MaxControls_) {
        const std::u16string limit = Utf8ToUtf16(std::to_string(MaxControls_));
        if (Documents_.empty()) {
            throw EMultiLanguageException::CreateFmt(
                u"[rus]Графических элементов больше %s.[eng]More than %s controls.", {limit});
        }
        throw EMultiLanguageException::CreateFmt(
            u"[rus]Документ %s: графических элементов больше %s.[eng]Document %s: more than %s controls.",
            {Utf8ToUtf16(Documents_.front().Path), limit});
    }
    ++ControlCount_;
}

void TSkinBuild::OpenDocument(std::string_view path, const TXMLNode& root) {
    const auto open = std::find_if(Documents_.begin(), Documents_.end(),
                                   [&root](const TOpenDocument& d) { return d.Root == &root; });
    if (open != Documents_.end()) {
        std::string chain;
        for (auto it = open; it != Documents_.end(); ++it) chain += it->Path + " -> ";
        throw Exception("Документ " + std::string(path) + " включает сам себя: " + chain + std::string(path) + ".");
    }
    if (DocumentDepth() >= kMaxDocumentDepth) {
        throw EMultiLanguageException::CreateFmt(
            u"[rus]Документ %s: вложение документов глубже %s.[eng]Document %s: documents nested deeper than %s.",
            {Utf8ToUtf16(path), Utf8ToUtf16(std::to_string(kMaxDocumentDepth))});
    }
    Documents_.push_back({std::string(path), &root});
}

TDocumentInclusion::TDocumentInclusion(const TSkinContext& context, std::string_view path, const TXMLNode& root)
    : Build_(context.Build) {
    Build_.OpenDocument(path, root);
}

}  // namespace marlowen
