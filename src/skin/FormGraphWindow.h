#pragma once

#include <cstdint>
#include <memory>

#include "platform/FormHost.h"
#include "skin/GraphContainer.h"
#include "skin/SkinContext.h"

namespace marlowen {

class TGraphWindow;
class THintWindowControl;
class TXMLNode;

// A border-less top-level form whose whole surface is one skinned control tree: a graph container
// filling the client area that holds the TGraphWindow loaded from a window document. The form
// takes the window's size and shape, turns activation into the window's active or passive look,
// shows the container's hints through the program's hint window, and can stand modal over
// another form.
//
// The hint window: the program keeps ONE THintWindowControl for all its forms (made over its
// backend's hint popup, living as long as the program's forms) and hands it to every form, which
// borrows it.
//
// The form's window comes from the platform (TWindowHosts::CreateForm) and is hidden until shown.
class TFormGraphWindow : public TFormHostEvents {
public:
    // Client size before a skin is loaded.
    static constexpr int32_t kInitialWidth = 570;
    static constexpr int32_t kInitialHeight = 328;
    static constexpr uint32_t kFormHintDelay = 1500;
    static constexpr uint32_t kFormHintTime = 5000;
    // Hints show this far below the pointer (units: pixels at the container's scale).
    static constexpr int32_t kHintOffsetY = 22;
    // The posted message that closes the form.
    static constexpr uint32_t kCloseMessage = kUserMessage + 1;
    // The posted message by which a closed form with FreeOnClose frees itself.
    static constexpr uint32_t kReleaseMessage = kUserMessage + 2;

    TFormGraphWindow(const TSkinContext& context, THintWindowControl& hintWindow);
    // Frees the window tree, then the container; a modal relation in either direction is cleared
    // (a parent gets its input back).
    ~TFormGraphWindow() override;
    TFormGraphWindow(const TFormGraphWindow&) = delete;
    TFormGraphWindow& operator=(const TFormGraphWindow&) = delete;

    TFormHost& Host() const { return *Host_; }
    TGraphContainer& Container() const { return *Container_; }
    // The loaded window; none before LoadSkin or after a failed load.
    TGraphWindow* Window() const;
    TFormGraphWindow* ModalParent() const { return ModalParent_; }
    TFormGraphWindow* ModalChild() const { return ModalChild_; }

    // When set, closing hides the form and frees it when the posted release message arrives: it
    // must then have been made with new and be owned by nobody else.
    bool FreeOnClose = false;

    // Looks the window document up in the resources (EXMLNotFound) and loads it.
    void LoadSkin(const std::string& documentName);
    // Frees the previous window, builds a new one from the node (a failure frees it and passes
    // on), takes its size at the form's current position and applies its shape.
    virtual void LoadSkinNode(const TXMLNode& node);
    // Draws the form at a display scale: the container takes it, and a loaded window's form is
    // sized to its device pixels and shaped again.
    void SetScale(const TDisplayScale& scale);
    // Centres the form on the work area, halves rounded toward zero; nothing when maximized.
    void CenterOnWorkArea();
    // Stands the form modal over `parent` (disabling the parent's input), or, with none, ends the
    // relation (the parent takes input again and comes to the front).
    void SetModalParent(TFormGraphWindow* parent);

    // A form with a modal child brings the child forward instead; otherwise the window takes its
    // active look and the container the focus.
    virtual void ActivateForm(bool clicked);
    virtual void DeactivateForm();
    virtual void Minimize();
    virtual void CloseBySkin();
    // Shows the control's hint at (screenX, screenY + 22).
    virtual void ShowHintWindow(TCustomGraphControl& control, int32_t screenX, int32_t screenY);
    virtual void HideHintWindow();
    // Input of the form's window (and with it the container and every skin control).
    virtual void DisableInput();
    virtual void EnableInput();

    // TFormHostEvents
    void FormActivation(TFormActivation state) override;
    void FormHidden() override;
    void FormCloseRequest() override;
    void FormResized() override;
    void FormMessage(uint32_t message) override;
    // On a display of another scale the form keeps the system's top-left and takes the window's
    // size at the new scale.
    void FormDpiChanged(int32_t dpi, const TScreenRect& suggested) override;

private:
    void FreeWindow();
    void FitToWindow(TGraphWindow& window);

    const TSkinContext& Context_;
    THintWindowControl& HintWindow_;
    // Declared first: the container's window lies in the form and goes before it.
    std::unique_ptr<TFormHost> Host_;
    std::unique_ptr<TGraphContainer> Container_;
    // The window, owned by the container's control list.
    TWeakRef<TCustomGraphControl> Window_;
    TFormGraphWindow* ModalParent_ = nullptr;
    TFormGraphWindow* ModalChild_ = nullptr;
};

}  // namespace marlowen
