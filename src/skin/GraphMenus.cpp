#include "skin/GraphMenus.h"

#include <algorithm>
#include <vector>

#include "core/Exception.h"
#include "core/StringHash.h"
#include "core/Utf.h"
#include "core/ValueItems.h"
#include "platform/Application.h"
#include "platform/Platform.h"
#include "skin/Bitmap32.h"
#include "skin/GraphContainer.h"
#include "skin/GraphImages.h"
#include "skin/GraphMultiLine.h"
#include "skin/PaintContext.h"
#include "skin/PopupMenu.h"
#include "skin/Resources.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// Every item of the tree below `items`, in tree order.
template <class Visit>
void ForEachItem(const TMenuItems& items, const Visit& visit) {
    for (TCustomMenuItem* item : items.MenuItems()) {
        visit(*item);
        ForEachItem(item->Items(), visit);
    }
}

bool OnPathOf(const TCustomMenuItem& candidate, const TCustomMenuItem& item) {
    return &candidate == &item || TCustomTreeItem::IsAncestorOf(&candidate, &item);
}

void PaintDetached(TCustomGraphControl& control, const TPaintContext& at) {
    control.Paint(at);
    control.PaintChildren(at);
    control.PaintOverlay(at);
}

}  // namespace

// --- TCustomMenuItem ---

TCustomMenuItem::TCustomMenuItem(TGraphMenu& menu)
    : TCustomTreeItem(std::make_unique<TMenuItems>()), Menu_(menu) {}

TCustomMenuItem::~TCustomMenuItem() {
    Life_.End();
    Popup_.reset();
}

TMenuItems& TCustomMenuItem::Items() const { return static_cast<TMenuItems&>(Children()); }

bool TCustomMenuItem::HasChildren() const { return Items().Count() > 0; }

void TCustomMenuItem::SetSelected(bool selected) {
    Selected_ = selected;
    Repaint();
}

void TCustomMenuItem::SetExpanded(bool expanded) {
    if (expanded) {
        if (Expanded_ || !Enabled || !HasChildren()) return;
        std::unique_ptr<TFormPopupMenu> popup = MakePopup();
        // The popup draws at the scale of the window that opens it.
        if (TCustomGraphContainer* container = Menu_.GetContainer()) popup->Container().SetScale(container->Scale());
        popup->Container().Layout();
        const TPoint at = TopLevel() ? ToScreen(0, Height) : ToScreen(Width, 0);
        Popup_ = std::move(popup);
        Expanded_ = true;
        Popup_->ShowAt(SaturateInt32(int64_t{at.X} + PopupOffsetX), SaturateInt32(int64_t{at.Y} + PopupOffsetY));
    } else {
        if (!Expanded_) return;
        for (TCustomMenuItem* child : Items().MenuItems()) {
            if (child->Expanded()) child->SetExpanded(false);
        }
        // A popup opened again starts without a highlighted entry.
        if (TCustomMenuItem* selected = Items().SelectedItem()) selected->Selected_ = false;
        Items().SetSelectedItem(nullptr);
        Expanded_ = false;
        std::unique_ptr<TFormPopupMenu> popup = std::move(Popup_);
        popup->Hide();
    }
    Repaint();
}

std::unique_ptr<TFormPopupMenu> TCustomMenuItem::MakePopup() {
    return std::make_unique<TFormPopupMenu>(Menu_.Context(), Items());
}

void TCustomMenuItem::Click() { RaiseEvent(OnClick, *this); }

TPoint TCustomMenuItem::ToScreen(int32_t x, int32_t y) const {
    const int32_t px = SaturateInt32(int64_t{X} + x);
    const int32_t py = SaturateInt32(int64_t{Y} + y);
    TCustomMenuItem* parent = ParentItem();
    if (parent == nullptr) return Menu_.ClientToScreen(px, py);
    if (TFormPopupMenu* popup = parent->Popup()) return popup->Container().ClientToScreen(px, py);
    return {px, py};
}

TRect TCustomMenuItem::ScreenRect() const {
    // Both corners mapped: at a display scale the item's far edges are device pixels too.
    const TPoint p = ToScreen(0, 0);
    const TPoint q = ToScreen(Width, Height);
    return {p.X, p.Y, q.X, q.Y};
}

// --- what assistive technology reads of an item ---

std::u16string TCustomMenuItem::AccessibleCaption() const { return Utf8ToUtf16(Name); }

const TCustomGraphControl& TCustomMenuItem::PartOwner() const { return Menu_; }

std::vector<const TAccessiblePart*> TCustomMenuItem::ChildParts() const {
    std::vector<const TAccessiblePart*> parts;
    if (!Expanded_) return parts;
    for (const TCustomMenuItem* child : Items().MenuItems()) {
        if (child->Visible) parts.push_back(child);
    }
    return parts;
}

void TCustomMenuItem::DescribePart(TAccessibleDescription& description) const {
    description.Role = AccRole::MenuItem;
    description.Name = Utf16ToUtf8(AccessibleCaption());
    // The screen rectangle in the container's coordinates, wherever the item shows.
    const TRect r = ScreenRect();
    const TPoint screen = Menu_.ClientToScreen(0, 0);
    const TPoint container = Menu_.ClientToContainer(0, 0);
    description.Left = SaturateInt32(int64_t{r.Left} - screen.X + container.X);
    description.Top = SaturateInt32(int64_t{r.Top} - screen.Y + container.Y);
    description.Width = Width;
    description.Height = Height;
    if (!Enabled) description.State |= AccState::Unavailable;
    if (Checked) description.State |= AccState::Checked;
    if (Selected_) description.State |= AccState::HotTracked;
    if (Menu_.FocusedPart() == this) description.State |= AccState::Focused;
    if (Enabled) description.State |= AccState::Focusable;
    if (HasChildren()) {
        description.State |= AccState::HasPopup;
        description.DefaultAction = Expanded_ ? "Close" : "Open";
    } else {
        description.DefaultAction = "Execute";
    }
}

void TCustomMenuItem::DoPartAction() { Menu_.ItemAction(*this); }

void TCustomMenuItem::Repaint() {
    TCustomMenuItem* parent = ParentItem();
    if (parent == nullptr) {
        Menu_.InvalidateRect(SaturateInt32(int64_t{Menu_.Left()} + X), SaturateInt32(int64_t{Menu_.Top()} + Y), Width,
                             Height);
    } else if (TFormPopupMenu* popup = parent->Popup()) {
        popup->Container().InvalidateRect(X, Y, SaturateInt32(int64_t{X} + Width), SaturateInt32(int64_t{Y} + Height));
    }
}

void TCustomMenuItem::Paint(const TPaintContext& /*paint*/) {}

// --- TMenuItems ---

TCustomMenuItem* TMenuItems::AddItem(std::unique_ptr<TCustomMenuItem> item) {
    TCustomMenuItem* added = Add(std::move(item));
    if (Menu_ != nullptr) {
        Menu_->LayoutTopRow();
        Menu_->Invalidate();
    }
    return added;
}

// --- TXMLMenuItem ---

TXMLMenuItem::TXMLMenuItem(TGraphMenu& menu) : TCustomMenuItem(menu) {}

TXMLMenuItem::~TXMLMenuItem() = default;

void TXMLMenuItem::LoadFromXML(const TXMLNode& node, int32_t level, const std::string& inheritedPopup,
                               const std::string& inheritedTemplate) {
    TGraphMenu& menu = Menu();
    const TResources& resources = menu.Context().Resources;
    std::string levelTemplate = menu.DefaultItemTemplate();
    std::string levelPopup = menu.DefaultPopup();
    if (const TXMLNode* levels = menu.Levels()) {
        if (const TXMLNode* own = levels->FindChild("Level" + std::to_string(level))) {
            levelTemplate = own->Attributes().GetTextDef("ItemTemplate", levelTemplate);
            levelPopup = own->Attributes().GetTextDef("Popup", levelPopup);
        }
    }
    const TValueItems& a = node.Attributes();
    Name = node.Name();
    std::string templatePath = a.GetTextDef("Template", inheritedTemplate);
    if (templatePath.empty()) templatePath = levelTemplate;
    if (templatePath.empty()) throw Exception("Не задан шаблон элемента меню.");
    std::string popupPath = a.GetTextDef("Popup", inheritedPopup);
    if (popupPath.empty()) popupPath = levelPopup;

    Tag = a.GetIntegerDef("Tag", 0);
    Enabled = a.GetBooleanDef("Enabled", true);
    Checked = a.GetBooleanDef("Checked", false);
    Visible = a.GetBooleanDef("Visible", true);
    Caption = a.GetWideTextDef("Caption", u"");
    auto image = [&](std::string_view name, const TBitmap32* fallback) -> const TBitmap32* {
        const std::string path = a.GetTextDef(name, "");
        return path.empty() ? fallback : &resources.GetImage(path);
    };
    Image = image("Image", nullptr);
    SelectedImage = image("SelectedImage", Image);
    ExpandedImage = image("ExpandedImage", SelectedImage);
    DisabledImage = image("DisabledImage", Image);

    const TXMLNode& itemTemplate = resources.GetXML(templatePath);
    const TValueItems& t = itemTemplate.Attributes();
    Width = t.GetInteger("Width");
    Height = t.GetInteger("Height");
    MinWidth = t.GetInteger("MinWidth");
    PopupOffsetX = t.GetIntegerDef("OffsetPopUpX", 0);
    PopupOffsetY = t.GetIntegerDef("OffsetPopUpY", 0);
    ItemControl_ = std::make_unique<TCustomGraphControl>(menu.Context());
    ItemControl_->SetBounds(0, 0, Width, Height);
    {
        // A template may hold a menu whose items use that template again.
        const TDocumentInclusion building(menu.Context(), templatePath, itemTemplate);
        ItemControl_->CreateChildren(itemTemplate);
    }
    MinWidth = a.GetIntegerDef("MinWidth", MinWidth);
    Height = a.GetIntegerDef("Height", Height);

    if (node.Nodes().Count() == 0) return;
    if (popupPath.empty()) throw Exception("Не задан шаблон окна меню.");
    PopupTemplate_ = &resources.GetXML(popupPath);
    const std::string childPopup = a.GetTextDef("ChildsPopups", inheritedPopup);
    const std::string childTemplate = a.GetTextDef("ChildsTemplate", inheritedTemplate);
    for (const TXMLNode* element : node.Nodes().Nodes()) {
        auto child = std::make_unique<TXMLMenuItem>(menu);
        child->LoadFromXML(*element, level + 1, childPopup, childTemplate);
        Items().AddItem(std::move(child));
    }
}

void TXMLMenuItem::ShowState() {
    TValueItems values;
    values.SetBoolean("Selected", Selected());
    values.SetBoolean("Expanded", Expanded());
    values.SetBoolean("Enabled", Enabled);
    values.SetBoolean("Disabled", !Enabled);
    values.SetBoolean("Checked", Checked);
    values.SetBoolean("HasChildren", HasChildren());
    ItemControl_->Controls().BroadcastConditions(&values);
    ItemControl_->SetBounds(0, 0, Width, Height);
    TGraphControls& controls = ItemControl_->Controls();
    if (auto* caption = dynamic_cast<TGraphMultiLine*>(controls.FindControl("Caption"))) {
        if (caption->Text() != Caption) {
            caption->SetText(Caption);
        } else {
            caption->Relayout();
        }
    }
    const std::pair<std::string_view, const TBitmap32*> images[] = {
        {"Image", Image}, {"SelectedImage", SelectedImage}, {"ExpandedImage", ExpandedImage},
        {"DisabledImage", DisabledImage}};
    for (const auto& [name, picture] : images) {
        if (auto* target = dynamic_cast<TCustomGraphImage*>(controls.FindControl(name))) {
            if (target->Image() != picture) target->SetImage(picture);
        }
    }
}

void TXMLMenuItem::Paint(const TPaintContext& paint) {
    if (ItemControl_ == nullptr) return;
    ShowState();
    PaintDetached(*ItemControl_, paint);
}

std::u16string TXMLMenuItem::AccessibleCaption() const {
    return Caption.empty() ? TCustomMenuItem::AccessibleCaption() : Caption;
}

std::unique_ptr<TFormPopupMenu> TXMLMenuItem::MakePopup() {
    auto popup = TCustomMenuItem::MakePopup();
    if (PopupTemplate_ != nullptr) {
        popup->AlignToScreen = PopupTemplate_->Attributes().GetBooleanDef("AlignToScreen", true);
        popup->Container().LoadTemplate(*PopupTemplate_);
    }
    return popup;
}

// --- TGraphMenu ---

TGraphMenu::TGraphMenu(const TSkinContext& context)
    : TCustomGraphControl(context), Items_(std::make_unique<TMenuItems>(this)) {
    TabStop = true;  // the top row is walked with the arrows
}

TGraphMenu::~TGraphMenu() {
    // The popups close with their items; nothing is raised any more.
    OnActivate = nullptr;
    OnDeactivate = nullptr;
    Tasks_.clear();
    Items_.reset();
}

uint32_t TGraphMenu::Now() const { return Context().Platform.Application.TickCount(); }

void TGraphMenu::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TXMLNode& structure = Context().Resources.GetXML(node.Attributes().GetText("Structure"));
    DefaultItemTemplate_ = structure.Attributes().GetTextDef("DefaultItemTemplate", "");
    DefaultPopup_ = structure.Attributes().GetTextDef("DefaultPopup", "");
    Levels_ = structure.FindChild("Levels");
    if (const TXMLNode* items = structure.FindChild("Items")) {
        const std::string popup = items->Attributes().GetTextDef("ChildsPopups", "");
        const std::string itemTemplate = items->Attributes().GetTextDef("ChildsTemplate", "");
        for (const TXMLNode* element : items->Nodes().Nodes()) {
            auto item = std::make_unique<TXMLMenuItem>(*this);
            item->LoadFromXML(*element, 1, popup, itemTemplate);
            Items_->AddItem(std::move(item));
        }
    }
    State_ = TState::Active;
    Deactivate();
}

void TGraphMenu::SetAlignment(TAlignment alignment) {
    if (alignment == Alignment_) return;
    Alignment_ = alignment;
    LayoutTopRow();
    Invalidate();
}

void TGraphMenu::LayoutTopRow() {
    int64_t x = 0;
    for (TCustomMenuItem* item : Items_->MenuItems()) {
        if (!item->Visible) continue;
        item->X = SaturateInt32(x);
        item->Y = 0;
        item->Height = Height();
        x += item->MinWidth;
    }
    int64_t shift = 0;
    if (Alignment_ == TAlignment::Right) shift = int64_t{Width()} - x;
    if (Alignment_ == TAlignment::Center) shift = (int64_t{Width()} - x) / 2;
    for (TCustomMenuItem* item : Items_->MenuItems()) {
        item->X = SaturateInt32(int64_t{item->X} + shift);
    }
}

// A menu hidden or disabled while active leaves last (OnDeactivate may free it).
void TGraphMenu::SetVisible(bool value) {
    const bool leave = !value && State_ == TState::Active;
    TCustomGraphControl::SetVisible(value);
    if (leave && State_ == TState::Active) Leave();
}

void TGraphMenu::SetEnabled(bool value) {
    const bool leave = !value && State_ == TState::Active;
    TCustomGraphControl::SetEnabled(value);
    if (leave && State_ == TState::Active) Leave();
}

void TGraphMenu::DoResized() {
    LayoutTopRow();
}

void TGraphMenu::Paint(const TPaintContext& paint) {
    TCustomGraphControl::Paint(paint);
    for (TCustomMenuItem* item : Items_->MenuItems()) {
        if (!item->Visible) continue;
        const TRect r{item->X, item->Y, SaturateInt32(int64_t{item->X} + item->Width),
                      SaturateInt32(int64_t{item->Y} + item->Height)};
        if (paint.Intersects(r)) item->Paint(paint.Offset(item->X, item->Y));
    }
    DrawFocusCue(paint);
}

// The container's focus ring, on the highlighted item of the top row.
void TGraphMenu::DrawFocusCue(const TPaintContext& paint) const {
    const TCustomGraphContainer* container = GetContainer();
    const TCustomMenuItem* item = Items_->SelectedItem();
    if (container == nullptr || !container->FocusCuesShown() || !Focused() || State_ != TState::Passive ||
        item == nullptr || !item->Visible || item->Width <= 0 || item->Height <= 0) {
        return;
    }
    const uint32_t color = container->FocusColorOf(*this);
    const int32_t right = SaturateInt32(int64_t{item->X} + item->Width);
    const int32_t bottom = SaturateInt32(int64_t{item->Y} + item->Height);
    paint.FillRect({item->X, item->Y, right, item->Y + 1}, color);
    paint.FillRect({item->X, bottom - 1, right, bottom}, color);
    paint.FillRect({item->X, item->Y, item->X + 1, bottom}, color);
    paint.FillRect({right - 1, item->Y, right, bottom}, color);
}

TCustomMenuItem* TGraphMenu::FindItem(std::string_view name) const {
    TCustomMenuItem* found = nullptr;
    ForEachItem(*Items_, [&](TCustomMenuItem& item) {
        if (found == nullptr && TextEquals(item.Name, name)) found = &item;
    });
    return found;
}

namespace {

TCustomMenuItem* HitIn(const TMenuItems& items, const TPoint& screen) {
    for (TCustomMenuItem* item : items.MenuItems()) {
        if (!item->Visible) continue;
        if (item->Expanded()) {
            if (TCustomMenuItem* inner = HitIn(item->Items(), screen)) return inner;
        }
        const TRect r = item->ScreenRect();
        if (screen.X >= r.Left && screen.X < r.Right && screen.Y >= r.Top && screen.Y < r.Bottom) return item;
    }
    return nullptr;
}

}  // namespace

TCustomMenuItem* TGraphMenu::ItemAt(int32_t x, int32_t y) const { return HitIn(*Items_, ClientToScreen(x, y)); }

void TGraphMenu::Select(TCustomMenuItem* item) {
    if (item != nullptr) {
        auto* owner = static_cast<TMenuItems*>(item->Owner());
        if (owner == nullptr) {
            item->SetSelected(true);
            return;
        }
        TMenuItems& list = *owner;
        TCustomMenuItem* previous = list.SelectedItem();
        if (previous == item && item->Selected()) return;
        if (previous != nullptr) previous->SetSelected(false);
        list.SetSelectedItem(item);
        item->SetSelected(true);
        if (State_ == TState::Active || Focused()) NotifyItem(AccEvent::Focus, *item);
        return;
    }
    // No item: the highlight leaves every list, but the items whose popups are open stay marked.
    auto clear = [](TMenuItems& list) {
        TCustomMenuItem* selected = list.SelectedItem();
        if (selected == nullptr || selected->Expanded()) return;
        list.SetSelectedItem(nullptr);
        selected->SetSelected(false);
    };
    clear(*Items_);
    ForEachItem(*Items_, [&](TCustomMenuItem& each) {
        if (each.Expanded()) clear(each.Items());
    });
}

void TGraphMenu::CollapseOthers(const TCustomMenuItem* keep) {
    std::vector<TCustomMenuItem*> doomed;
    for (TCustomMenuItem* item : Items_->MenuItems()) {
        if (item->Expanded() && (keep == nullptr || !OnPathOf(*item, *keep))) doomed.push_back(item);
    }
    ForEachItem(*Items_, [&](TCustomMenuItem& item) {
        if (!item.TopLevel() && item.Expanded() && keep != nullptr && !OnPathOf(item, *keep) &&
            OnPathOf(*item.ParentItem(), *keep)) {
            doomed.push_back(&item);
        }
    });
    for (TCustomMenuItem* item : doomed) Collapse(*item);
}

void TGraphMenu::Expand(TCustomMenuItem& item) {
    if (item.Expanded() || !item.Enabled || !item.HasChildren()) return;
    CollapseOthers(&item);
    item.SetExpanded(true);
    Deepest_ = TWeakRef<TCustomMenuItem>(&item);
    NotifyItem(AccEvent::MenuPopupStart, item);
    if (TCustomGraphContainer* container = GetContainer()) container->Host().SetFocus();
}

void TGraphMenu::Collapse(TCustomMenuItem& item) {
    const bool wasExpanded = item.Expanded();
    item.SetExpanded(false);
    if (wasExpanded) NotifyItem(AccEvent::MenuPopupEnd, item);
    // The items below it closed with it.
    if (TCustomMenuItem* deepest = Deepest_.Get(); deepest != nullptr && OnPathOf(item, *deepest)) {
        Deepest_ = TWeakRef<TCustomMenuItem>(item.ParentItem());
    }
}

void TGraphMenu::CollapseAll() {
    for (TCustomMenuItem* item : Items_->MenuItems()) {
        if (item->Expanded()) Collapse(*item);
    }
    Deepest_ = TWeakRef<TCustomMenuItem>();
}

// --- delayed tasks ---

void TGraphMenu::RequestTask(TTaskKind kind, TCustomMenuItem& item, uint32_t delay) {
    for (auto it = Tasks_.begin(); it != Tasks_.end(); ++it) {
        if (it->Item.Get() != &item) continue;
        if (it->Kind != kind) Tasks_.erase(it);
        return;
    }
    Tasks_.push_back({kind, TWeakRef<TCustomMenuItem>(&item), Now(), delay});
}

void TGraphMenu::RemoveTask(const TCustomMenuItem& item) {
    Tasks_.erase(std::remove_if(Tasks_.begin(), Tasks_.end(),
                                [&](const TMenuTaskItem& task) { return task.Item.Get() == &item; }),
                 Tasks_.end());
}

void TGraphMenu::RunDueTask() {
    const uint32_t now = Now();
    // Tasks whose item is gone never run; due tasks that would change nothing (opening what is
    // open, closing what is closed) go without taking the frame's turn.
    for (auto it = Tasks_.begin(); it != Tasks_.end();) {
        TCustomMenuItem* item = it->Item.Get();
        const bool due = static_cast<uint32_t>(now - it->Start) >= it->Delay;
        if (item == nullptr || (due && item->Expanded() == (it->Kind == TTaskKind::Expand))) {
            it = Tasks_.erase(it);
            continue;
        }
        if (!due) {
            ++it;
            continue;
        }
        const TTaskKind kind = it->Kind;
        Tasks_.erase(it);
        if (kind == TTaskKind::Expand) {
            Expand(*item);
        } else {
            Collapse(*item);
        }
        return;
    }
}

void TGraphMenu::DoFrameChanged() {
    // The frames only measure time: nothing of the menu depends on the frame number.
    if (State_ == TState::Active) RunDueTask();
}

void TGraphMenu::RequestPath(TCustomMenuItem& item) {
    for (TCustomMenuItem* parent = item.ParentItem(); parent != nullptr; parent = parent->ParentItem()) {
        RequestTask(TTaskKind::Expand, *parent);
    }
    ForEachItem(*Items_, [&](TCustomMenuItem& other) {
        if (!other.HasChildren() || OnPathOf(other, item)) return;
        if (other.Expanded()) {
            RequestTask(TTaskKind::Collapse, other);
        } else {
            RemoveTask(other);
        }
    });
}

// --- states ---

void TGraphMenu::Activate() {
    if (State_ == TState::Active) return;
    State_ = TState::Active;
    NotifyAccessible(AccEvent::MenuStart);
    HasLastPoint_ = false;
    CaptureMouse();
    for (TCustomMenuItem* item : Items_->MenuItems()) {
        if (item->Visible && item->Enabled) {
            Select(item);
            break;
        }
    }
    Animate(0, 1, 0, 0, kTaskFrameTime);
    RaiseEvent(OnActivate, *this);
}

void TGraphMenu::Deactivate() {
    if (State_ == TState::Passive) return;
    State_ = TState::Passive;
    Tasks_.clear();
    StopAnimation();
    ReleaseMouse();
    CollapseAll();
    NotifyAccessible(AccEvent::MenuEnd);
    RaiseEvent(OnDeactivate, *this);
}

void TGraphMenu::Leave() {
    if (TCustomGraphContainer* container = GetContainer(); container != nullptr && container->ActiveMenu() == this) {
        container->SetActiveMenu(nullptr);
    } else {
        Deactivate();
    }
}

void TGraphMenu::CaptureLost() {
    if (State_ == TState::Active) Leave();
}

void TGraphMenu::DoMouseMove(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (State_ == TState::Active) {
        ActiveMouseMove(x, y);
    } else {
        PassiveMouseMove(x, y);
    }
}

void TGraphMenu::PassiveMouseMove(int32_t x, int32_t y) {
    TCustomMenuItem* item = ItemAt(x, y);
    // The focused menu keeps the keys' item where the pointer is on nothing.
    if (item != nullptr && item->Enabled) {
        Select(item);
    } else if (!Focused()) {
        Select(nullptr);
    }
    HasLastPoint_ = true;
    LastX_ = x;
    LastY_ = y;
}

void TGraphMenu::ActiveMouseMove(int32_t x, int32_t y) {
    if (HasLastPoint_ && x == LastX_ && y == LastY_) return;
    HasLastPoint_ = true;
    LastX_ = x;
    LastY_ = y;
    TCustomMenuItem* item = ItemAt(x, y);
    bool anythingExpanded = false;
    for (TCustomMenuItem* top : Items_->MenuItems()) anythingExpanded = anythingExpanded || top->Expanded();
    if (item == nullptr) {
        if (!anythingExpanded) {
            Leave();
        } else {
            Select(nullptr);
        }
        return;
    }
    if (!item->Enabled) {
        Select(nullptr);
        return;
    }
    if (!item->HasChildren()) {
        Select(item);
        RequestPath(*item);
        return;
    }
    Select(item);
    if (!anythingExpanded) return;
    if (!item->TopLevel()) {
        RequestPath(*item);
        RequestTask(TTaskKind::Expand, *item);
        return;
    }
    Tasks_.clear();
    CollapseOthers(item);
    Expand(*item);
}

void TGraphMenu::DoMouseLeave() {
    if (State_ == TState::Passive && !Focused()) Select(nullptr);
}

void TGraphMenu::DoLButtonDown(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (State_ == TState::Active) {
        ActiveLButtonDown(x, y);
    } else {
        PassiveLButtonDown(x, y);
    }
}

void TGraphMenu::PassiveLButtonDown(int32_t x, int32_t y) {
    TCustomMenuItem* item = ItemAt(x, y);
    if (item == nullptr) return;
    // The pressed item opens after the activation's and the press's events, unless they freed
    // it or left the menu passive.
    AfterEvent([this, pressed = TWeakRef<TCustomMenuItem>(item)] {
        TCustomMenuItem* still = pressed.Get();
        if (still == nullptr || State_ != TState::Active || !still->Enabled) return;
        Select(still);
        Expand(*still);
    });
    if (TCustomGraphContainer* container = GetContainer()) {
        container->SetActiveMenu(this);
    } else {
        Activate();
    }
}

void TGraphMenu::ActiveLButtonDown(int32_t x, int32_t y) {
    TCustomMenuItem* item = ItemAt(x, y);
    if (item == nullptr) {
        Leave();
        return;
    }
    if (!item->Enabled || !item->HasChildren()) return;
    Tasks_.clear();
    CollapseOthers(item);
    Expand(*item);
}

void TGraphMenu::DoLButtonUp(int32_t x, int32_t y, TShiftState /*shift*/) {
    if (State_ != TState::Active) return;
    TCustomMenuItem* item = ItemAt(x, y);
    if (item == nullptr || !item->Enabled || item->HasChildren()) return;
    // The item's OnClick comes after the leaving's OnDeactivate and the release's event.
    AfterEvent([clicked = TWeakRef<TCustomMenuItem>(item)] {
        if (TCustomMenuItem* still = clicked.Get()) still->Click();
    });
    Leave();
}

void TGraphMenu::DoRButtonDown(int32_t /*x*/, int32_t /*y*/, TShiftState /*shift*/) {
    if (State_ == TState::Active) Leave();
}

}  // namespace marlowen
