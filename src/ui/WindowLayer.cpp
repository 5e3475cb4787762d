#include "ui/WindowLayer.h"

#include <algorithm>

namespace kelva {

namespace {

// A window dragged by its title bar keeps this much of itself on the stage.
constexpr int kKeptOnStage = 32;

}  // namespace

WindowLayer::~WindowLayer()
{
    while (!m_windows.empty()) Hide(*m_windows.back());
}

void WindowLayer::Show(DialogWindow& window)
{
    if (window.m_layer != this) {
        window.m_layer = this;
        m_windows.push_back(&window);
    }
    Focus(&window);
    Changed();
}

void WindowLayer::Hide(DialogWindow& window)
{
    Detach(window, true);
}

void WindowLayer::Detach(DialogWindow& window, bool notify)
{
    const auto it = std::find(m_windows.begin(), m_windows.end(), &window);
    if (it == m_windows.end()) return;
    if (m_hoveredWindow == &window) {
        // Leaving the window leaves its controls too: a hot picture shows its plain face.
        if (m_hovered && notify) m_hovered->MouseLeave();
        m_hoveredWindow = nullptr;
        m_hovered = m_pressed = nullptr;
    }
    if (m_pressedWindow == &window) {
        m_pressedWindow = nullptr;
        m_pressed = nullptr;
    }
    if (m_dragged == &window) m_dragged = nullptr;
    m_windows.erase(it);
    window.m_layer = nullptr;
    if (m_focused == &window) {
        m_focused = nullptr;
        window.m_active = false;
        if (notify) window.Deactivated();
        Focus(m_windows.empty() ? nullptr : m_windows.back());
    }
    Changed();
}

int WindowLayer::ShowModal(DialogWindow& window)
{
    window.ModalResult = 0;
    Show(window);
    ++m_modalDepth;
    // Hidden again however the loop ends, the stage's closing included.
    struct Unwind {
        WindowLayer& layer;
        DialogWindow& window;
        ~Unwind()
        {
            --layer.m_modalDepth;
            layer.Hide(window);
        }
    } unwind{*this, window};
    if (m_loop) {
        m_loop->RunUntil([&window] {
            window.Idle();
            return window.ModalResult != 0;
        });
    }
    return window.ModalResult;
}

void WindowLayer::Focus(DialogWindow* window)
{
    if (m_focused == window) return;
    DialogWindow* previous = m_focused;
    m_focused = window;
    if (previous) {
        previous->m_active = false;
        previous->Deactivated();
        // A dialog awaiting its answer takes the focus straight back.
        if (previous->TakesFocusBack && previous->Visible() && !window) {
            m_focused = previous;
            window = previous;
        }
    }
    if (window) {
        window->m_active = true;
        window->Activated();
    }
    Changed();
}

DialogWindow* WindowLayer::WindowAt(int x, int y) const
{
    for (auto window = m_windows.rbegin(); window != m_windows.rend(); ++window) {
        if ((*window)->HitTest(x, y)) return *window;
    }
    return nullptr;
}

void WindowLayer::Hover(int x, int y)
{
    DialogWindow* window = WindowAt(x, y);
    TControl* control = window ? window->ControlAt(x, y) : nullptr;
    if (control != m_hovered) {
        if (m_hovered) m_hovered->MouseLeave();
        m_hovered = control;
        m_hoveredWindow = window;
        if (m_hovered) m_hovered->MouseEnter();
        Changed();
    }
    if (control && control->OnMouseMove) control->OnMouseMove(*control, MouseButton::Left, x, y);
}

void WindowLayer::Drag(int x, int y)
{
    DialogWindow& window = *m_dragged;
    window.Position.X = std::clamp(window.Position.X + x - m_dragFrom.X, kKeptOnStage - window.Width,
                                   kStageWidth - kKeptOnStage);
    window.Position.Y = std::clamp(window.Position.Y + y - m_dragFrom.Y, 0, kStageHeight - kKeptOnStage);
    m_dragFrom = {x, y};
    Changed();
}

bool WindowLayer::MouseDown(const InputEvent& event)
{
    Hover(event.x, event.y);  // a pointer is where it presses
    DialogWindow* window = WindowAt(event.x, event.y);
    if (!window) {
        // Beside every window: the focus leaves them (a modal dialog takes it back), and
        // only when no dialog awaits an answer does the stage get the click.
        Focus(nullptr);
        return ModalShowing();
    }
    Focus(window);
    TControl* control = window->ControlAt(event.x, event.y);
    if (control && !control->Enabled) control = nullptr;
    m_pressed = control;
    m_pressedWindow = window;
    m_hoveredWindow = window;
    if (auto* focusable = dynamic_cast<TWinControl*>(control)) window->SetActiveControl(focusable);
    if (control && control == window->DragHandle && event.button == MouseButton::Left) {
        m_dragged = window;
        m_dragFrom = {event.x, event.y};
    } else if (control) {
        control->MouseDown(event.button, event.x - window->Position.X, event.y - window->Position.Y,
                           event.clicks);
        if (control->OnMouseDown) control->OnMouseDown(*control, event.button, event.x, event.y);
    }
    Changed();
    return true;
}

bool WindowLayer::MouseUp(const InputEvent& event)
{
    const bool dragging = m_dragged != nullptr;
    m_dragged = nullptr;
    Hover(event.x, event.y);
    TControl* pressed = std::exchange(m_pressed, nullptr);
    if (pressed && !dragging) {
        // The control pressed gets its release wherever it comes, as a captured mouse.
        pressed->MouseUp(event.button, event.x - m_pressedWindow->Position.X,
                         event.y - m_pressedWindow->Position.Y);
        Changed();
    }
    DialogWindow* window = WindowAt(event.x, event.y);
    TControl* control = window ? window->ControlAt(event.x, event.y) : nullptr;
    if (control && control->OnMouseUp) control->OnMouseUp(*control, event.button, event.x, event.y);
    if (!dragging && control && control == pressed && event.button == MouseButton::Left && control->OnClick) {
        control->OnClick(*control);
    }
    return dragging || window || ModalShowing();
}

bool WindowLayer::HandleInput(const InputEvent& event)
{
    switch (event.type) {
        case InputEvent::Type::MouseMove:
            if (m_dragged) {
                Drag(event.x, event.y);
                return true;
            }
            Hover(event.x, event.y);
            if (m_pressed) {
                m_pressed->MouseDrag(event.x - m_pressedWindow->Position.X,
                                     event.y - m_pressedWindow->Position.Y);
                Changed();
            }
            return WindowAt(event.x, event.y) || ModalShowing();
        case InputEvent::Type::MouseDown:
            return MouseDown(event);
        case InputEvent::Type::MouseUp:
            return MouseUp(event);
        case InputEvent::Type::KeyDown:
            if (m_focused && m_focused->KeyDown(event.key)) return true;
            return ModalShowing();
        case InputEvent::Type::FocusLost:
            // The reader went to another program: the windows lose the focus with the stage
            // (a game menu closes), and the stage's loop pauses the story.
            Focus(nullptr);
            return false;
        case InputEvent::Type::TextInput:
            if (m_focused) m_focused->TextInput(event.text);
            return true;  // the stage has no use for typed text
        case InputEvent::Type::MouseWheel:
            if (m_focused) m_focused->MouseWheel(event.wheel);
            return m_focused || ModalShowing();
        case InputEvent::Type::KeyUp:
            return ModalShowing();
        case InputEvent::Type::Quit:
        case InputEvent::Type::FrameNeeded:
        case InputEvent::Type::FocusGained:
        case InputEvent::Type::PadDown:
        case InputEvent::Type::PadUp:
            return false;
    }
    return false;
}

void WindowLayer::DrawOver(TNkDIB& frame)
{
    for (DialogWindow* window : m_windows) window->PaintOnto(frame);
}

}  // namespace kelva
