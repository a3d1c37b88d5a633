#pragma once

namespace marlowen {

class TGraphElementRegistry;
class TResources;
struct TPlatform;

// What every control of a skinned screen is built and run with: the loaded packs (documents,
// images, fonts, styles), the element registry that turns documents into controls, and the
// platform (clock, shell, windows). Borrowed by every control; it outlives them all.
struct TSkinContext {
    TResources& Resources;
    const TGraphElementRegistry& Elements;
    TPlatform& Platform;
};

}  // namespace marlowen
