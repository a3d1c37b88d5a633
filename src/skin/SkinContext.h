#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlowen {

class TGraphElementRegistry;
class TLanguages;
class TResources;
class TXMLNode;
struct TPlatform;
struct TSkinContext;

// What building controls from documents keeps track of in one context: the documents being built
// (inclusions nest: outermost first) and how many controls the context holds. Packs may come from
// an attacker: documents that include each other in a cycle, nest without end or double the tree
// at every level are refused with an Exception naming the document, before stack or memory runs
// out.
class TSkinBuild {
public:
    static constexpr int32_t kMaxControls = 100000;
    static constexpr int32_t kMaxDocumentDepth = 32;

    int32_t ControlCount() const { return ControlCount_; }
    int32_t MaxControls() const { return MaxControls_; }
    void SetMaxControls(int32_t maxControls) { MaxControls_ = maxControls; }

    // Every control's constructor counts itself in (so that no tree outgrows the limit, whatever
    // builds it), its destructor out. Raises EMultiLanguageException "Document <path>: more than
    // <max> controls." (naming the outermost document being built; without one, "More than <max>
    // controls.", and in Russian) when the context already holds MaxControls controls.
    void ControlCreated();
    void ControlDestroyed() noexcept { --ControlCount_; }

    // Raises Exception "Документ <path> включает сам себя: <chain>." for a document already being
    // built, and EMultiLanguageException "Document <path>: documents nested deeper than <max>."
    // (and in Russian) when kMaxDocumentDepth documents are being built.
    void OpenDocument(std::string_view path, const TXMLNode& root);
    void CloseDocument() noexcept { Documents_.pop_back(); }
    int32_t DocumentDepth() const { return static_cast<int32_t>(Documents_.size()); }

private:
    struct TOpenDocument {
        std::string Path;
        const TXMLNode* Root;
    };

    std::vector<TOpenDocument> Documents_;
    int32_t ControlCount_ = 0;
    int32_t MaxControls_ = kMaxControls;
};

// Marks a document as being built into controls in the context for the lifetime of the object,
// so that a document that includes itself, directly or through others, or one nested too deep is
// refused (see TSkinBuild::OpenDocument) instead of recursing until the stack runs out, and so
// that the control limit names the document it strikes in.
class TDocumentInclusion {
public:
    TDocumentInclusion(const TSkinContext& context, std::string_view path, const TXMLNode& root);
    ~TDocumentInclusion() { Build_.CloseDocument(); }
    TDocumentInclusion(const TDocumentInclusion&) = delete;
    TDocumentInclusion& operator=(const TDocumentInclusion&) = delete;

private:
    TSkinBuild& Build_;
};

// What every control of a skinned screen is built and run with: the loaded packs (documents,
// images, fonts, styles), the element registry that turns documents into controls, the platform
// (clock, shell, windows) and the languages whose changes the texts follow. Borrowed by every
// control; it outlives them all.
struct TSkinContext {
    TResources& Resources;
    const TGraphElementRegistry& Elements;
    TPlatform& Platform;
    TLanguages& Languages;
    // Changed as controls are built and freed, through the borrowed (const) context.
    mutable TSkinBuild Build{};
};

}  // namespace marlowen
