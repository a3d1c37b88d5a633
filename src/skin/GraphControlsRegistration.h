#pragma once

namespace marlowen {

class TGraphElementRegistry;

// Each unit of controls enters its elements into the registry.
void RegisterButtonElements(TGraphElementRegistry& registry);     // GraphButtons, GraphCheckBoxes
void RegisterLabelElements(TGraphElementRegistry& registry);      // GraphImage, GraphLabel, GraphMultiLine
void RegisterListElements(TGraphElementRegistry& registry);       // GraphLists
void RegisterConditionElements(TGraphElementRegistry& registry);  // GraphConditions

}  // namespace marlowen
