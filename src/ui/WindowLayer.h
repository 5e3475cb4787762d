// The dialog windows over the stage, bottom to top. Input goes to the topmost window
// under the pointer (inside its shape), keys to the window with the focus; while a modal
// window is up nothing reaches the story beneath. The windows are drawn over the stage's
// picture as it is shown, so closing one needs no redraw of the story.
#pragma once

#include <functional>
#include <vector>

#include "graphics/StageOverlay.h"
#include "platform/Window.h"
#include "ui/DialogWindow.h"

namespace kelva {

// The stage's event loop, run nested while a modal window waits for its answer.
class ModalLoop {
public:
    virtual ~ModalLoop() = default;
    // Runs until `finished` holds or the stage closes; false when the stage closed.
    virtual bool RunUntil(const std::function<bool()>& finished) = 0;
};

class WindowLayer final : public StageOverlay {
public:
    // `changed` is called whenever the windows' picture changed.
    explicit WindowLayer(std::function<void()> changed) : m_changed(std::move(changed)) {}
    ~WindowLayer() override;

    void SetModalLoop(ModalLoop& loop) { m_loop = &loop; }

    // Shows the window on top of the others and gives it the focus.
    void Show(DialogWindow& window);
    void Hide(DialogWindow& window);
    // Shows the window and runs the stage's loop until its ModalResult is set; hides it
    // again and returns the result, or 0 when the stage closed first.
    int ShowModal(DialogWindow& window);
    bool ModalShowing() const { return m_modalDepth > 0; }
    // Whether any window is up, modal or not.
    bool Showing() const { return !m_windows.empty(); }

    // True when the event was the windows' and must not reach the stage.
    bool HandleInput(const InputEvent& event);
    // Whether the focused window's active control takes typed text: the platform's text
    // entry is on only then.
    bool WantsTextInput() const { return m_focused && m_focused->WantsText(); }
    void DrawOver(TNkDIB& frame) override;
    void Changed() { m_changed(); }

private:
    friend class DialogWindow;
    // Takes the window off the layer; `notify` false for a window being destroyed, whose
    // controls and handlers may already be gone.
    void Detach(DialogWindow& window, bool notify);
    DialogWindow* WindowAt(int x, int y) const;
    void Focus(DialogWindow* window);
    void Hover(int x, int y);
    bool MouseDown(const InputEvent& event);
    bool MouseUp(const InputEvent& event);
    void Drag(int x, int y);

    std::function<void()> m_changed;
    ModalLoop* m_loop = nullptr;
    std::vector<DialogWindow*> m_windows;  // bottom to top
    DialogWindow* m_focused = nullptr;
    int m_modalDepth = 0;
    DialogWindow* m_hoveredWindow = nullptr;  // the window holding m_hovered and m_pressed
    TControl* m_hovered = nullptr;
    TControl* m_pressed = nullptr;
    DialogWindow* m_pressedWindow = nullptr;  // the window of m_pressed
    DialogWindow* m_dragged = nullptr;
    TPoint m_dragFrom;
};

}  // namespace kelva
