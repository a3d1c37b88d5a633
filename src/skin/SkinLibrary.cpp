#include "skin/SkinLibrary.h"

#include "core/StringHash.h"
#include "platform/Registry.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// A stored setting of the wrong type (text where a number belongs, or the other way round) counts
// as absent: an odd value must not stop the program before it can even uninstall itself.
template <typename TRead>
auto SettingOrAbsent(TRead read) -> decltype(read()) {
    try {
        return read();
    } catch (const Exception&) {
        return std::nullopt;
    }
}

}  // namespace

TTextAlignment StyleAlignment(const std::string& name) {
    static const std::pair<const char*, TTextAlignment> kNames[] = {
        {"Left", TTextAlignment::Left},
        {"Right", TTextAlignment::Right},
        {"Center", TTextAlignment::Center},
        {"Brick", TTextAlignment::Justify},
    };
    for (const auto& [text, alignment] : kNames) {
        if (TextEquals(name, text)) return alignment;
    }
    throw Exception("Неверное описание св-ва Alignment: " + name);
}

void LoadStyles(TStyleList& styles, const TXMLNode& root, const TResources& resources) {
    styles.Clear();
    for (const TXMLNode* element : root.Nodes().Nodes()) {
        const TValueItems& attributes = element->Attributes();
        auto style = std::make_unique<TStyleItem>(element->Name());
        if (attributes.Find("Font") != nullptr) style->SetFont(&resources.GetFont(attributes.GetText("Font")));
        if (attributes.Find("Color") != nullptr) style->SetColor(attributes.GetColor("Color"));
        if (attributes.Find("FocusColor") != nullptr) style->SetFocusColor(attributes.GetColor("FocusColor"));
        if (attributes.Find("Alignment") != nullptr) {
            style->SetAlignment(StyleAlignment(attributes.GetText("Alignment")));
        }
        styles.Add(std::move(style));
    }
}

TSkinLibrary::TSkinLibrary() : Resources_(std::make_unique<TResources>()) {}

TSkinLibrary::~TSkinLibrary() {
    try {
        Shutdown();
    } catch (const Exception&) {
        // The program is ending; a current skin that cannot be stored is not worth a crash.
    }
}

void TSkinLibrary::Start(const TFileSystem& files, TRegistry& registry, const std::string& executableFolder) {
    Registry_ = &registry;
    Resources_->SetXorMask(0);
    Resources_->LoadPacks(files, executableFolder);
    LoadStyles(Resources_->Styles(), Resources_->GetXML("XML\\Global\\Styles.xml"), *Resources_);
    SkinList_ = &Resources_->GetXML("XML\\Global\\Skins.xml");
    ReadAutoUpdate(registry);
    ReadCurrentSkin(registry);
    ReadGames();
}

void TSkinLibrary::ReadAutoUpdate(TRegistry& registry) {
    EnableAutoUpdate_ = true;
    if (auto machine = registry.OpenKey(TRegistryRoot::LocalMachine, kSettingsKey, RegistryAccess::Read, false)) {
        EnableAutoUpdate_ = SettingOrAbsent([&] { return machine->ReadBoolean("EnableAutoUpdate"); }).value_or(true);
    }
    if (auto user = registry.OpenKey(TRegistryRoot::CurrentUser, kSettingsKey, RegistryAccess::ReadWrite, true)) {
        if (const auto value = SettingOrAbsent([&] { return user->ReadBoolean("EnableAutoUpdate"); })) {
            EnableAutoUpdate_ = *value;
        }
    }
}

void TSkinLibrary::ReadCurrentSkin(TRegistry& registry) {
    CurrentSkin_ = nullptr;
    if (auto user = registry.OpenKey(TRegistryRoot::CurrentUser, kSettingsKey, RegistryAccess::Read, false)) {
        if (const auto name = SettingOrAbsent([&] { return user->ReadString("CurrentSkin"); })) {
            CurrentSkin_ = SkinList_->FindChild(*name);
        }
    }
    if (CurrentSkin_ == nullptr) CurrentSkin_ = SkinList_->Nodes().FirstNode();
}

void TSkinLibrary::ReadGames() {
    Games_.clear();
    const TXMLNode& games = Resources_->GetXML("XML\\Global\\Games.xml");
    Games_.reserve(static_cast<size_t>(games.Nodes().Count()));
    for (const TXMLNode* game : games.Nodes().Nodes()) {
        const TValueItems& attributes = game->Attributes();
        Games_.push_back({attributes.GetText("Condition"), attributes.GetText("MenuItem"), attributes.GetText("Caption"),
                          attributes.GetInteger("MaxPlayersCount")});
    }
}

void TSkinLibrary::Shutdown() {
    if (!Resources_) return;
    // The packs go whatever happens to the registry write.
    struct TRelease {
        TSkinLibrary& Library;
        ~TRelease() {
            Library.Games_.clear();
            Library.SkinList_ = Library.CurrentSkin_ = nullptr;
            Library.Resources_.reset();
            Library.Registry_ = nullptr;
        }
    } release{*this};
    if (Registry_ != nullptr && CurrentSkin_ != nullptr) {
        Registry_->OpenKeyOrRaise(TRegistryRoot::CurrentUser, kSettingsKey, RegistryAccess::ReadWrite, true)
            ->WriteString("CurrentSkin", CurrentSkin_->Name());
    }
}

}  // namespace marlowen
