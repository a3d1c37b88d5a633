#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/ValueItems.h"
#include "skin/GraphControl.h"

namespace marlowen {

// Invisible grouping controls that show, hide or exchange parts of a screen from named condition
// values handed down the tree. None paints anything or takes the mouse.

// Defines condition values for its sub-tree: every attribute of its element, as text. It follows
// its parent's size.
class TSetConditionsControl : public TCustomGraphControl {
public:
    explicit TSetConditionsControl(const TSkinContext& context);

    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
    void LoadFromXML(const TXMLNode& node) override;
    bool HitTest(int32_t, int32_t) override { return false; }

    TValueItems& Conditions() { return Conditions_; }

private:
    // Hands the values to the sub-tree; inside a nested block its own values win.
    void HandDown();

    TValueItems Conditions_;
};

// Visible only when every tested condition matches. Each attribute of the element is a test:
// its name names a condition, its value is the expected value.
class TIfControl : public TCustomGraphControl {
public:
    explicit TIfControl(const TSkinContext& context);

    template <class T>
    static std::unique_ptr<TCustomGraphControl> CreateElement(TCustomGraphControl* parent, const TSkinContext& context,
                                                              const TXMLNode& node);
    void LoadFromXML(const TXMLNode& node) override;
    bool HitTest(int32_t, int32_t) override { return false; }
    void ConditionsChanged(const TValueItems* values) override;

    const TValueItems& Conditions() const { return Conditions_; }

protected:
    enum class TOutcome : uint8_t { Match, Differ };
    // What the comparisons decide: visible, hidden, or (none compared) unchanged.
    enum class TVerdict : uint8_t { Show, Hide, Keep };
    // Walks the values: `decide` gets each comparison's outcome and may end the walk with a
    // verdict; `atEnd` is the verdict after a walk that compared at least one value.
    TVerdict Evaluate(const std::function<TVerdict(TOutcome)>& decide, TVerdict atEnd) const;
    virtual TVerdict Decide() const;

private:
    TValueItems Conditions_;
    const TXMLNode* Node_ = nullptr;  // borrowed from the document
};

// Visible when any tested condition matches.
class TIfAnyControl : public TIfControl {
public:
    using TIfControl::TIfControl;

protected:
    TVerdict Decide() const override;
};

// Visible when no tested condition matches.
class TIfNotControl : public TIfControl {
public:
    using TIfControl::TIfControl;

protected:
    TVerdict Decide() const override;
};

// Builds the children of one named child element (a state) of its element; selecting another
// state frees the children and builds that state's.
class TGraphSwitch : public TCustomGraphControl {
public:
    explicit TGraphSwitch(const TSkinContext& context);

    void LoadFromXML(const TXMLNode& node) override;
    void ApplyXML(const TXMLNode& node) override;
    bool HitTest(int32_t, int32_t) override { return false; }
    void ConditionsChanged(const TValueItems* values) override;

    const std::string& State() const { return State_; }
    // Nothing when the name equals the current state (letter case counts). A name without an
    // element leaves the switch empty; OnChange is raised either way.
    void SelectState(const std::string& name);

    std::function<void(TGraphSwitch& sender)> OnChange;

protected:
    // Called once the controls of a state are built (also when the state has no element).
    virtual void StateBuilt() {}

private:
    const TXMLNode* Node_ = nullptr;
    std::string State_;
    TValueItems Conditions_;
};

// Builds the children of one named case of its element; the first case is selected at loading.
class TGraphSkinCase : public TCustomGraphControl {
public:
    using TCustomGraphControl::TCustomGraphControl;

    void LoadFromXML(const TXMLNode& node) override;
    bool HitTest(int32_t, int32_t) override { return false; }

    const std::string& Case() const { return Case_; }
    void SetCase(const std::string& name);

    std::function<void(TGraphSkinCase& sender)> OnChange;

private:
    const TXMLNode* Node_ = nullptr;
    std::string Case_;
};

}  // namespace marlowen
