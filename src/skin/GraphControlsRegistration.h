#pragma once

namespace marlowen {

class TGraphElementRegistry;

// Each unit of controls enters its elements into the registry.
void RegisterButtonElements(TGraphElementRegistry& registry);     // GraphButtons
void RegisterCheckBoxElements(TGraphElementRegistry& registry);   // GraphCheckBoxes
void RegisterLabelElements(TGraphElementRegistry& registry);      // GraphLabels
void RegisterImageAndTextElements(TGraphElementRegistry& registry);  // GraphImages, GraphMultiLine
void RegisterListElements(TGraphElementRegistry& registry);       // GraphLists
void RegisterConditionElements(TGraphElementRegistry& registry);  // GraphConditions
void RegisterFrameElements(TGraphElementRegistry& registry);      // GraphFrames, GraphWindows
void RegisterEditElements(TGraphElementRegistry& registry);       // GraphEdits
void RegisterCardElements(TGraphElementRegistry& registry);       // GraphCards

}  // namespace marlowen
