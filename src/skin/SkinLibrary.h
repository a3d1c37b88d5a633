#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/Styles.h"

namespace marlowen {

class TFileSystem;
class TRegistry;
class TResources;
class TXMLNode;

// One entry of the games table ("XML\Global\Games.xml"), in menu order.
struct TGameInfo {
    std::string Condition;
    std::string MenuItem;
    std::string Caption;
    int32_t MaxPlayersCount = 0;
};

// Fills the style list from the root of the style document: one style per child element, named
// by the element; "Font" (a font item of the registry), "Color" and "Alignment" are optional.
// An unknown alignment name raises "Неверное описание св-ва Alignment: <value>".
void LoadStyles(TStyleList& styles, const TXMLNode& root, const TResources& resources);

// The alignment of a style document's name: "Left", "Right", "Center" or "Brick" (letter case
// ignored).
TTextAlignment StyleAlignment(const std::string& name);

// The skin framework's life: the instance owns the pack registry it hands out through
// Resources() until Shutdown; whatever draws from the packs gets the registry handed in (the skin
// context), never from a global.
// Start() runs the skin start-up before any window: packs beside the executable, styles, the
// skin list and the current skin, the automatic-update preference and the games table.
// Shutdown() (or the destructor) writes the current skin back and frees the packs.
class TSkinLibrary {
public:
    static constexpr const char* kSettingsKey = "Software\\Tovan\\MarlowenApp";

    TSkinLibrary();
    TSkinLibrary(const TSkinLibrary&) = delete;
    TSkinLibrary& operator=(const TSkinLibrary&) = delete;
    ~TSkinLibrary();

    // Raises whatever fails: a pack that cannot be read, a missing global document, a missing
    // font, a bad alignment name, a missing game attribute.
    void Start(const TFileSystem& files, TRegistry& registry, const std::string& executableFolder);
    // Writes "CurrentSkin" (when there is a current skin) and frees the registry of packs. A
    // failure to write is raised; the packs are freed all the same.
    void Shutdown();

    TResources& Resources() const { return *Resources_; }
    const TXMLNode* SkinList() const { return SkinList_; }
    const TXMLNode* CurrentSkin() const { return CurrentSkin_; }
    bool EnableAutoUpdate() const { return EnableAutoUpdate_; }
    const std::vector<TGameInfo>& Games() const { return Games_; }

private:
    void ReadAutoUpdate(TRegistry& registry);
    void ReadCurrentSkin(TRegistry& registry);
    void ReadGames();

    std::unique_ptr<TResources> Resources_;
    TRegistry* Registry_ = nullptr;  // borrowed from Start() until Shutdown()
    const TXMLNode* SkinList_ = nullptr;
    const TXMLNode* CurrentSkin_ = nullptr;
    bool EnableAutoUpdate_ = true;
    std::vector<TGameInfo> Games_;
};

}  // namespace marlowen
