#include "platform/sdl/SdlFrameOutput.h"

#include <cstring>

#include "platform/sdl/StageViewport.h"

namespace kelva {

namespace {

struct SdlDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

SDL_Rect ToSdl(const StageArea& area)
{
    return SDL_Rect{area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top};
}

const uint8_t* AreaStart(const uint8_t* pixels, int pitch, const StageArea& area)
{
    return pixels + static_cast<ptrdiff_t>(area.Top) * pitch + area.Left * 3;
}

// The stage as a texture, drawn scaled by the renderer (which letterboxes it through its
// logical size and reports mouse points in stage pixels).
class RendererOutput final : public SdlFrameOutput {
public:
    RendererOutput(SDL_Renderer* renderer, SDL_Texture* texture) : m_renderer(renderer), m_texture(texture) {}

    void Present(const uint8_t* pixels, int pitch, const StageArea& changed) override
    {
        const SDL_Rect rect = ToSdl(changed);
        SDL_UpdateTexture(m_texture.get(), &rect, AreaStart(pixels, pitch, changed), pitch);
        Redraw();
    }

    void Redraw() override
    {
        SDL_SetRenderDrawColor(m_renderer.get(), 0, 0, 0, 255);
        SDL_RenderClear(m_renderer.get());
        SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, nullptr);
        SDL_RenderPresent(m_renderer.get());
    }

    std::pair<int, int> EventToStage(int x, int y) override { return {x, y}; }

    std::pair<int, int> StageToWindow(int x, int y) override
    {
        int windowX = 0, windowY = 0;
        SDL_RenderLogicalToWindow(m_renderer.get(), static_cast<float>(x), static_cast<float>(y), &windowX,
                                  &windowY);
        return {windowX, windowY};
    }

    std::string Describe() const override
    {
        SDL_RendererInfo info;
        const bool known = SDL_GetRendererInfo(m_renderer.get(), &info) == 0;
        return std::string("accelerated (") + (known ? info.name : "?") + ")";
    }

private:
    std::unique_ptr<SDL_Renderer, SdlDeleter> m_renderer;
    std::unique_ptr<SDL_Texture, SdlDeleter> m_texture;
};

// The stage copied into the window's own pixels: no 3D library is loaded. It keeps a copy
// of the stage to draw the window anew when it is exposed or resized.
class SurfaceOutput final : public SdlFrameOutput {
public:
    SurfaceOutput(SDL_Window* window, SDL_Surface* frame) : m_window(window), m_frame(frame) {}

    void Present(const uint8_t* pixels, int pitch, const StageArea& changed) override
    {
        const size_t left = static_cast<size_t>(changed.Left) * 3;
        const size_t bytes = static_cast<size_t>(changed.Right - changed.Left) * 3;
        auto* frame = static_cast<uint8_t*>(m_frame->pixels);
        for (int y = changed.Top; y < changed.Bottom; ++y) {
            std::memcpy(frame + static_cast<ptrdiff_t>(y) * m_frame->pitch + left,
                        pixels + static_cast<ptrdiff_t>(y) * pitch + left, bytes);
        }
        SDL_Surface* surface = SDL_GetWindowSurface(m_window);
        if (!surface) return;
        if (surface->w != kStageWidth || surface->h != kStageHeight) return Redraw();
        SDL_Rect rect = ToSdl(changed);
        SDL_Rect to = rect;
        SDL_BlitSurface(m_frame.get(), &rect, surface, &to);
        SDL_UpdateWindowSurfaceRects(m_window, &rect, 1);
    }

    void Redraw() override
    {
        SDL_Surface* surface = SDL_GetWindowSurface(m_window);
        if (!surface) return;
        const StageViewport view = StageViewport::ForWindow(surface->w, surface->h);
        SDL_Rect to{view.X, view.Y, view.Width, view.Height};
        if (view.Width == kStageWidth && view.Height == kStageHeight) {
            if (surface->w != kStageWidth || surface->h != kStageHeight) {
                SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            }
            SDL_BlitSurface(m_frame.get(), nullptr, surface, &to);
        } else {
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            SDL_BlitScaled(m_frame.get(), nullptr, surface, &to);
        }
        SDL_UpdateWindowSurface(m_window);
    }

    std::pair<int, int> EventToStage(int x, int y) override { return Viewport().ToStage(x, y); }
    std::pair<int, int> StageToWindow(int x, int y) override { return Viewport().ToWindow(x, y); }
    std::string Describe() const override { return "software (window surface)"; }

private:
    StageViewport Viewport() const
    {
        int width = 0, height = 0;
        SDL_GetWindowSize(m_window, &width, &height);
        return StageViewport::ForWindow(width, height);
    }

    SDL_Window* m_window;
    std::unique_ptr<SDL_Surface, SdlDeleter> m_frame;
};

std::unique_ptr<SdlFrameOutput> CreateRendererOutput(SDL_Window* window, std::string& error)
{
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    SDL_Texture* texture = renderer
                               ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_BGR24,
                                                   SDL_TEXTUREACCESS_STREAMING, kStageWidth, kStageHeight)
                               : nullptr;
    if (!texture) {
        error = SDL_GetError();
        if (renderer) SDL_DestroyRenderer(renderer);
        return nullptr;
    }
    // Full screen scales the stage and letterboxes it; mouse coordinates come back in
    // stage pixels.
    SDL_RenderSetLogicalSize(renderer, kStageWidth, kStageHeight);
    return std::make_unique<RendererOutput>(renderer, texture);
}

std::unique_ptr<SdlFrameOutput> CreateSurfaceOutput(SDL_Window* window, std::string& error)
{
    // SDL would otherwise put the window surface on a renderer where it can, which is the
    // very 3D library this output does without.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* frame =
        SDL_CreateRGBSurfaceWithFormat(0, kStageWidth, kStageHeight, 24, SDL_PIXELFORMAT_BGR24);
    if (!frame) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_FillRect(frame, nullptr, 0);
    return std::make_unique<SurfaceOutput>(window, frame);
}

}  // namespace

std::unique_ptr<SdlFrameOutput> CreateSdlFrameOutput(SDL_Window* window, RendererChoice choice,
                                                     std::string& error)
{
    if (ResolveRendererChoice(choice) == RendererChoice::Accelerated) {
        auto output = CreateRendererOutput(window, error);
        // Asked for by name, the renderer is all or nothing; chosen here, the surface
        // stands in for it.
        if (output || choice == RendererChoice::Accelerated) return output;
    }
    return CreateSurfaceOutput(window, error);
}

}  // namespace kelva
