#include "skin/GraphConditions.h"

#include <vector>

#include "core/StringHash.h"
#include "skin/GraphControlsRegistration.h"
#include "skin/GraphElementRegistry.h"
#include "skin/XMLNode.h"

namespace marlowen {

namespace {

// Condition blocks sit at (0, 0) of their parent, take its size and follow it.
void FillParent(TCustomGraphControl& control, const TCustomGraphControl* parent) {
    control.AnchorLeft = control.AnchorTop = control.AnchorRight = control.AnchorBottom = true;
    if (parent != nullptr) control.SetBounds(0, 0, parent->Width(), parent->Height());
}

}  // namespace

// --- SetConditions ---

TSetConditionsControl::TSetConditionsControl(const TSkinContext& context) : TCustomGraphControl(context) {
    Conditions_.OnChange = [this](TValueItems&) { HandDown(); };
}

void TSetConditionsControl::HandDown() {
    // The sweep reaches the sub-trees of nested blocks too: each hands its own values again, the
    // outer ones first, so that the values nearest to a control decide. They are found before any
    // handler runs, and nothing of this block is touched once the handlers may have freed it.
    std::vector<TWeakRef<TSetConditionsControl>> nested;
    for (TCustomGraphControl* c = NextInTree(); c != nullptr && c != NextSkippingChildren(); c = c->NextInTree()) {
        if (auto* block = dynamic_cast<TSetConditionsControl*>(c)) nested.emplace_back(block);
    }
    Controls().BroadcastConditions(&Conditions_);
    for (const TWeakRef<TSetConditionsControl>& ref : nested) {
        if (TSetConditionsControl* block = ref.Get()) block->Controls().BroadcastConditions(&block->Conditions_);
    }
}

std::unique_ptr<TCustomGraphControl> TSetConditionsControl::CreateElement(TCustomGraphControl* parent,
                                                                          const TSkinContext& context,
                                                                          const TXMLNode& node) {
    auto control = std::make_unique<TSetConditionsControl>(context);
    FillParent(*control, parent);
    control->LoadFromXML(node);
    return control;
}

void TSetConditionsControl::LoadFromXML(const TXMLNode& node) {
    SetName(node.Attributes().GetTextDef("Name", ""));
    auto onChange = std::move(Conditions_.OnChange);
    for (const TValueItem* attribute : node.Attributes().Items()) {
        Conditions_.Add(std::make_unique<TValueItem>(attribute->Name(), TVariant(attribute->Value().ToString())));
    }
    Conditions_.OnChange = std::move(onChange);
    CreateChildren(node);
    // The children built just now learn the values they were built under.
    HandDown();
}

// --- If, IfAny, IfNot ---

TIfControl::TIfControl(const TSkinContext& context) : TCustomGraphControl(context) {}

template <class T>
std::unique_ptr<TCustomGraphControl> TIfControl::CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                               const TXMLNode& node) {
    auto control = std::make_unique<T>(context);
    FillParent(*control, parent);
    control->LoadFromXML(node);
    return control;
}

void TIfControl::LoadFromXML(const TXMLNode& node) {
    Node_ = &node;
    CreateChildren(node);
}

TIfControl::TVerdict TIfControl::Evaluate(const std::function<TVerdict(TOutcome)>& decide, TVerdict atEnd) const {
    bool compared = false;
    for (const TValueItem* value : Conditions_.Items()) {
        const TValueItem* expected = Node_ != nullptr ? Node_->Attributes().Find(value->Name()) : nullptr;
        if (expected == nullptr) continue;
        bool match = false;
        try {
            switch (value->Value().Type()) {
                case TVarType::String:
                case TVarType::WideString:
                    match = TextEquals(value->Value().ToString(), expected->Value().ToString());
                    break;
                case TVarType::Integer:
                case TVarType::Int64: match = value->Value().ToInt64() == expected->Value().ToInt64(); break;
                case TVarType::Boolean: match = value->Value().ToBoolean() == expected->Value().ToBoolean(); break;
                default: continue;
            }
        } catch (const Exception&) {
            match = false;  // an expected value that is no number or boolean cannot match
        }
        compared = true;
        const TVerdict verdict = decide(match ? TOutcome::Match : TOutcome::Differ);
        if (verdict != TVerdict::Keep) return verdict;
    }
    return compared ? atEnd : TVerdict::Keep;
}

TIfControl::TVerdict TIfControl::Decide() const {
    return Evaluate([](TOutcome o) { return o == TOutcome::Differ ? TVerdict::Hide : TVerdict::Keep; }, TVerdict::Show);
}

TIfControl::TVerdict TIfAnyControl::Decide() const {
    return Evaluate([](TOutcome o) { return o == TOutcome::Match ? TVerdict::Show : TVerdict::Keep; }, TVerdict::Hide);
}

TIfControl::TVerdict TIfNotControl::Decide() const {
    return Evaluate([](TOutcome o) { return o == TOutcome::Match ? TVerdict::Hide : TVerdict::Keep; }, TVerdict::Show);
}

void TIfControl::ConditionsChanged(const TValueItems* values) {
    if (values != nullptr && values != &Conditions_) Conditions_.Merge(*values);
    switch (Decide()) {
        case TVerdict::Show: SetVisible(true); break;
        case TVerdict::Hide: SetVisible(false); break;
        case TVerdict::Keep: break;
    }
}

// --- Switch ---

TGraphSwitch::TGraphSwitch(const TSkinContext& context) : TCustomGraphControl(context) { TabStop = false; }

void TGraphSwitch::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    const TXMLNode* first = node.Nodes().FirstNode();
    State_ = node.Attributes().GetTextDef("State", first != nullptr ? first->Name() : std::string());
    Node_ = &node;
    if (const TXMLNode* state = node.FindChild(State_)) CreateChildren(*state);
    StateBuilt();
}

void TGraphSwitch::ApplyXML(const TXMLNode& node) {
    TCustomGraphControl::ApplyXML(node);
    SelectState(node.Attributes().GetTextDef("State", State_));
}

void TGraphSwitch::ConditionsChanged(const TValueItems* values) {
    if (values != nullptr && values != &Conditions_) Conditions_.Merge(*values);
}

void TGraphSwitch::SelectState(const std::string& name) {
    if (name == State_) return;
    State_ = name;
    if (Node_ == nullptr) return;
    Controls().Clear();
    if (const TXMLNode* state = Node_->FindChild(name)) {
        CreateChildren(*state);
        Controls().BroadcastConditions(&Conditions_);
    }
    StateBuilt();
    RaiseEvent(OnChange, *this);
}

// --- SkinCase ---

void TGraphSkinCase::LoadFromXML(const TXMLNode& node) {
    TCustomGraphControl::LoadFromXML(node);
    Node_ = &node;
    if (const TXMLNode* first = node.Nodes().FirstNode()) SetCase(first->Name());
}

void TGraphSkinCase::SetCase(const std::string& name) {
    if (name == Case_) return;
    Case_ = name;
    if (Node_ == nullptr) return;
    Controls().Clear();
    if (const TXMLNode* element = Node_->FindChild(name)) CreateChildren(*element);
    RaiseEvent(OnChange, *this);
}

void RegisterConditionElements(TGraphElementRegistry& registry) {
    registry.Register("SetConditions", &TSetConditionsControl::CreateElement);
    registry.Register("If", &TIfControl::CreateElement<TIfControl>);
    registry.Register("IfAny", &TIfControl::CreateElement<TIfAnyControl>);
    registry.Register("IfNot", &TIfControl::CreateElement<TIfNotControl>);
    registry.Register("Switch", &CreateElementOf<TGraphSwitch>);
    registry.Register("SkinCase", &CreateElementOf<TGraphSkinCase>);
}

}  // namespace marlowen
