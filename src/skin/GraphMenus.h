#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/LifeToken.h"
#include "core/TreeItems.h"
#include "skin/AccessiblePart.h"
#include "skin/GraphControl.h"
#include "skin/Geometry.h"

namespace marlowen {

class TBitmap32;
class TCustomMenuItem;
class TFormPopupMenu;
class TGraphMenu;
class TMenuItems;
class TPaintContext;
class TXMLNode;

using TMenuItemEvent = std::function<void(TCustomMenuItem& item)>;

// One entry of a menu at any depth: its place (relative to the menu control for the top row, to
// its popup window below), its flags, and while expanded the popup that shows its children. To
// assistive technology it is a menu item of the menu bar, with the items of its open popup below.
class TCustomMenuItem : public TCustomTreeItem, public TAccessiblePart {
public:
    explicit TCustomMenuItem(TGraphMenu& menu);
    ~TCustomMenuItem() override;

    TGraphMenu& Menu() const { return Menu_; }
    // Ends where the destruction begins: a TWeakRef to the item answers none from then on.
    const TLifeToken& LifeToken() const override { return Life_; }
    TMenuItems& Items() const;
    TCustomMenuItem* ParentItem() const { return static_cast<TCustomMenuItem*>(Parent()); }
    TCustomMenuItem* NextMenuItem() const { return static_cast<TCustomMenuItem*>(NextItem()); }
    // An item of the top row (it has no parent item).
    bool TopLevel() const { return Parent() == nullptr; }
    bool HasChildren() const;

    std::string Name;
    TMenuItemEvent OnClick;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t MinWidth = 0;
    int32_t Height = 0;
    bool Visible = true;
    bool Enabled = true;
    bool Checked = false;
    int32_t Tag = 0;
    int32_t PopupOffsetX = 0;
    int32_t PopupOffsetY = 0;

    bool Selected() const { return Selected_; }
    bool Expanded() const { return Expanded_; }
    // The popup while expanded.
    TFormPopupMenu* Popup() const { return Popup_.get(); }

    // Stores the flag and repaints the item.
    void SetSelected(bool selected);
    // Opens the popup of an enabled item with children (collapsing nothing else) or closes it
    // with every popup below it; then repaints the item.
    void SetExpanded(bool expanded);
    // Raises OnClick (which may free the item and the menu).
    void Click();

    // The item's rectangle on the screen.
    TRect ScreenRect() const;
    // A point of the item to the screen.
    TPoint ToScreen(int32_t x, int32_t y) const;
    // Repaints the item where it shows: in its popup window, or in the menu control.
    void Repaint();

    // Paints the item with its top-left at the context's origin.
    virtual void Paint(const TPaintContext& paint);

    // Assistive technology: the name read out (the item's name; the documents' items their caption).
    virtual std::u16string AccessibleCaption() const;
    const TCustomGraphControl& PartOwner() const override;
    const TAccessiblePart* ParentPart() const override { return ParentItem(); }
    // The visible items of the open popup; none while it is closed.
    std::vector<const TAccessiblePart*> ChildParts() const override;
    void DescribePart(TAccessibleDescription& description) const override;
    bool HasPartAction() const override { return Enabled; }
    // Opens or closes a branch, clicks a leaf (TGraphMenu::ItemAction).
    void DoPartAction() override;

protected:
    // The popup that shows the children, laid out but not placed.
    virtual std::unique_ptr<TFormPopupMenu> MakePopup();

private:
    TGraphMenu& Menu_;
    TLifeToken Life_;
    bool Selected_ = false;
    bool Expanded_ = false;
    std::unique_ptr<TFormPopupMenu> Popup_;
};

// The children of an item, or the top row of a menu.
class TMenuItems : public TCustomTreeItems {
public:
    // The top row of `menu`, or (none) the children of an item.
    explicit TMenuItems(TGraphMenu* menu = nullptr) : Menu_(menu) {}

    TGraphMenu* Menu() const { return Menu_; }
    TCustomMenuItem* FirstMenuItem() const { return static_cast<TCustomMenuItem*>(First()); }
    TItemRange<TCustomMenuItem> MenuItems() const { return ItemsAs<TCustomMenuItem>(); }

    TCustomMenuItem* SelectedItem() const { return Selected_.Get(); }
    void SetSelectedItem(TCustomMenuItem* item) { Selected_ = TWeakRef<TCustomMenuItem>(item); }

    // Appends the item; on the top row the row is laid out again and the menu repainted.
    TCustomMenuItem* AddItem(std::unique_ptr<TCustomMenuItem> item);

private:
    TGraphMenu* Menu_;
    TWeakRef<TCustomMenuItem> Selected_;
};

// A menu item built from documents: an item template draws it, a popup template draws the
// popup of its children. The template's descendants named "Caption", "Image", "SelectedImage",
// "ExpandedImage" and "DisabledImage" receive the caption and the images.
class TXMLMenuItem : public TCustomMenuItem {
public:
    explicit TXMLMenuItem(TGraphMenu& menu);
    ~TXMLMenuItem() override;

    std::u16string Caption;
    const TBitmap32* Image = nullptr;
    const TBitmap32* SelectedImage = nullptr;
    const TBitmap32* ExpandedImage = nullptr;
    const TBitmap32* DisabledImage = nullptr;

    TCustomGraphControl* ItemControl() const { return ItemControl_.get(); }
    const TXMLNode* PopupTemplate() const { return PopupTemplate_; }

    // The item's element at a depth (1: the top row), with the template and popup paths its
    // parent hands down; its child elements become its children.
    void LoadFromXML(const TXMLNode& node, int32_t level, const std::string& inheritedPopup,
                     const std::string& inheritedTemplate);

    // Hands the conditions, size, caption and images to the template's controls and paints them.
    void Paint(const TPaintContext& paint) override;
    std::u16string AccessibleCaption() const override;

protected:
    std::unique_ptr<TFormPopupMenu> MakePopup() override;

private:
    void ShowState();

    const TXMLNode* PopupTemplate_ = nullptr;  // borrowed from the packs
    std::unique_ptr<TCustomGraphControl> ItemControl_;
};

// The "Menu" element: a bar of top-level items whose popups open, to any depth, with the delays
// of a system menu. Passive, it only shows which item is under the pointer; a press on an item
// makes it the container's active menu, which holds the mouse and follows the pointer through
// the popups until a leaf is clicked, the pointer is pressed outside, Escape or the right button
// is pressed, or the capture is lost.
class TGraphMenu : public TCustomGraphControl {
public:
    static constexpr uint32_t kTaskDelay = 300;
    static constexpr int32_t kTaskFrameTime = 50;

    enum class TState : uint8_t { Passive, Active };
    enum class TAlignment : uint8_t { Left, Right, Center };
    enum class TTaskKind : uint8_t { Expand, Collapse };

    // One pending expansion or collapse, due `Delay` ms after `Start`.
    struct TMenuTaskItem {
        TTaskKind Kind;
        TWeakRef<TCustomMenuItem> Item;
        uint32_t Start;
        uint32_t Delay;
    };

    explicit TGraphMenu(const TSkinContext& context);
    ~TGraphMenu() override;

    // The shared attributes and "Structure" (the structure document: its defaults, "Levels" and
    // "Items"; a document without "Items" makes an empty menu).
    void LoadFromXML(const TXMLNode& node) override;

    TMenuItems& Items() const { return *Items_; }
    TState State() const { return State_; }
    TAlignment Alignment() const { return Alignment_; }
    void SetAlignment(TAlignment alignment);
    TCustomMenuItem* DeepestExpanded() const { return Deepest_.Get(); }
    const std::vector<TMenuTaskItem>& Tasks() const { return Tasks_; }
    const TXMLNode* Levels() const { return Levels_; }
    const std::string& DefaultItemTemplate() const { return DefaultItemTemplate_; }
    const std::string& DefaultPopup() const { return DefaultPopup_; }

    // The first item named so (ignoring letter case) anywhere in the tree, in tree order.
    TCustomMenuItem* FindItem(std::string_view name) const;
    // The visible item at a point of the menu control: open popups first, deepest first.
    TCustomMenuItem* ItemAt(int32_t x, int32_t y) const;

    // Selects the item (none: no item) in its list; the list's previous choice is unselected.
    void Select(TCustomMenuItem* item);
    // Opens the item's popup, closing every popup that is not on its way.
    void Expand(TCustomMenuItem& item);
    void Collapse(TCustomMenuItem& item);
    // Collapses every expanded item that is neither `keep` nor one of its ancestors.
    void CollapseOthers(const TCustomMenuItem* keep);
    // Queues an expansion or collapse; the opposite request for the same item cancels it.
    void RequestTask(TTaskKind kind, TCustomMenuItem& item, uint32_t delay = kTaskDelay);
    void RemoveTask(const TCustomMenuItem& item);
    void ClearTasks() { Tasks_.clear(); }
    // Lays the top row out: each visible item as wide as its minimum width, shifted by the
    // alignment.
    void LayoutTopRow();
    // The item the keys act on: the highlighted item of the deepest open list, else the deepest
    // open item, else the highlighted item of the top row.
    TCustomMenuItem* KeyItem() const;
    // What a person's default action does: a branch opens (the menu becoming active) or closes,
    // a leaf is clicked after the menu left the active state.
    void ItemAction(TCustomMenuItem& item);

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // A menu that is hidden or disabled while active closes its popups and lets the mouse go.
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    void Paint(const TPaintContext& paint) override;
    void CaptureLost() override;
    void Activate() override;
    void Deactivate() override;
    // The menu shows the focus on its highlighted item.
    bool DrawsFocusRectangle() const override { return false; }

    // Assistive technology: the menu bar, with the top row's visible items as its children.
    int32_t AccessibleRole() const override { return AccRole::MenuBar; }
    std::vector<const TAccessiblePart*> AccessibleParts() const override;
    // The key item while the menu is active or focused.
    const TAccessiblePart* FocusedPart() const override;

protected:
    void DoResized() override;
    void DoLButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoLButtonUp(int32_t x, int32_t y, TShiftState shift) override;
    void DoRButtonDown(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseMove(int32_t x, int32_t y, TShiftState shift) override;
    void DoMouseLeave() override;
    void DoKeyDown(uint32_t virtualKey, bool extended, bool repeated, bool& processed) override;
    void DoEnter() override;
    void DoExit() override;
    void DoFrameChanged() override;

private:
    friend class TCustomMenuItem;

    // The delayed requests for the pointer resting on an item that is not itself opened at once:
    // its ancestors open, every other open branch closes.
    void RequestPath(TCustomMenuItem& item);
    void CollapseAll();
    // Leaves the active state through the container.
    void Leave();
    void RunDueTask();
    void PassiveMouseMove(int32_t x, int32_t y);
    void ActiveMouseMove(int32_t x, int32_t y);
    void PassiveLButtonDown(int32_t x, int32_t y);
    void ActiveLButtonDown(int32_t x, int32_t y);
    // The keyboard (GraphMenuKeyboard.cpp).
    void PassiveKeyDown(uint32_t virtualKey, bool& processed);
    void ActiveKeyDown(uint32_t virtualKey, bool& processed);
    // Opens the item's popup with its first (last) usable item highlighted.
    void OpenByKey(TCustomMenuItem& item, bool atLast);
    // Highlights the next (previous) usable item of the top row after `from`; `open` opens its popup.
    void StepTopRow(const TCustomMenuItem* from, bool forward, bool open);
    // Becomes the container's active menu; then `then` runs, unless the activation's handlers
    // freed the item or left the menu passive.
    void EnterWith(TCustomMenuItem& item, std::function<void(TCustomMenuItem&)> then);
    void DrawFocusCue(const TPaintContext& paint) const;
    void NotifyItem(uint32_t event, const TCustomMenuItem& item) const;
    uint32_t Now() const;

    std::unique_ptr<TMenuItems> Items_;
    std::vector<TMenuTaskItem> Tasks_;
    TState State_ = TState::Passive;
    TAlignment Alignment_ = TAlignment::Left;
    TWeakRef<TCustomMenuItem> Deepest_;
    bool HasLastPoint_ = false;
    int32_t LastX_ = 0;
    int32_t LastY_ = 0;
    const TXMLNode* Levels_ = nullptr;  // borrowed from the packs
    std::string DefaultItemTemplate_;
    std::string DefaultPopup_;
};

}  // namespace marlowen
