#include "platform/sdl/SdlFrameOutput.h"

#include <cstdint>
#include <cstring>

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

// A window point as a window pixel and back: they differ on a high-density screen.
struct PointScale {
    int Points = 1;
    int Pixels = 1;
    int ToPixels(int point) const { return static_cast<int>(static_cast<int64_t>(point) * Pixels / Points); }
    int ToPoints(int pixel) const { return static_cast<int>(static_cast<int64_t>(pixel) * Points / Pixels); }
};

std::pair<PointScale, PointScale> WindowPointScales(SDL_Window* window)
{
    int points[2] = {0, 0}, pixels[2] = {0, 0};
    SDL_GetWindowSize(window, &points[0], &points[1]);
    SDL_GetWindowSizeInPixels(window, &pixels[0], &pixels[1]);
    if (points[0] <= 0 || points[1] <= 0 || pixels[0] <= 0 || pixels[1] <= 0) return {};
    return {{points[0], pixels[0]}, {points[1], pixels[1]}};
}

// The stage as a texture, drawn by the renderer into the stage's place in the window.
class RendererOutput final : public SdlFrameOutput {
public:
    RendererOutput(SDL_Window* window, StageScaling scaling, SDL_Renderer* renderer, SDL_Texture* texture)
        : SdlFrameOutput(window, scaling), m_renderer(renderer), m_texture(texture)
    {
    }

    void Present(const uint8_t* pixels, int pitch, const StageArea& changed) override
    {
        const SDL_Rect rect = ToSdl(changed);
        SDL_UpdateTexture(m_texture.get(), &rect, AreaStart(pixels, pitch, changed), pitch);
        Redraw();
    }

    void Redraw() override
    {
        const StageViewport view = Viewport();
        const SDL_Rect to{view.X, view.Y, view.Width, view.Height};
        SDL_SetRenderDrawColor(m_renderer.get(), 0, 0, 0, 255);
        SDL_RenderClear(m_renderer.get());
        SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, &to);
        SDL_RenderPresent(m_renderer.get());
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
    SurfaceOutput(SDL_Window* window, StageScaling scaling, SDL_Surface* frame)
        : SdlFrameOutput(window, scaling), m_frame(frame)
    {
    }

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
        const StageViewport view = StageViewport::ForWindow(surface->w, surface->h, m_scaling);
        // A part alone can be scaled only by whole pixels: smoothing blends across its edges.
        const int factor = view.Factor();
        if (surface->w != m_drawnWidth || surface->h != m_drawnHeight || factor == 0 ||
            (factor > 1 && m_scaling == StageScaling::Smooth))
            return Redraw();
        SDL_Rect from = ToSdl(changed);
        SDL_Rect to{view.X + from.x * factor, view.Y + from.y * factor, from.w * factor, from.h * factor};
        if (factor == 1) {
            SDL_BlitSurface(m_frame.get(), &from, surface, &to);
        } else {
            SDL_BlitScaled(m_frame.get(), &from, surface, &to);
        }
        SDL_UpdateWindowSurfaceRects(m_window, &to, 1);
    }

    void Redraw() override
    {
        SDL_Surface* surface = SDL_GetWindowSurface(m_window);
        if (!surface) return;
        const StageViewport view = StageViewport::ForWindow(surface->w, surface->h, m_scaling);
        SDL_Rect to{view.X, view.Y, view.Width, view.Height};
        if (view.Width != surface->w || view.Height != surface->h) {
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        }
        if (view.Factor() == 1) {
            SDL_BlitSurface(m_frame.get(), nullptr, surface, &to);
        } else if (m_scaling != StageScaling::Smooth || !StretchSmoothly(surface, to)) {
            SDL_BlitScaled(m_frame.get(), nullptr, surface, &to);
        }
        m_drawnWidth = surface->w;
        m_drawnHeight = surface->h;
        SDL_UpdateWindowSurface(m_window);
    }

    std::string Describe() const override { return "software (window surface)"; }

private:
    // Linear filtering, which SDL does only between surfaces of one format of 32 bits a
    // pixel: the stage is converted to the window's format first. False when it can't be.
    bool StretchSmoothly(SDL_Surface* surface, SDL_Rect& to)
    {
        const SDL_PixelFormat& format = *surface->format;
        if (format.BytesPerPixel != 4) return false;
        if (!m_converted || m_converted->format->format != format.format) {
            m_converted.reset(SDL_CreateRGBSurfaceWithFormat(0, kStageWidth, kStageHeight,
                                                             format.BitsPerPixel, format.format));
            if (!m_converted) return false;
        }
        return SDL_BlitSurface(m_frame.get(), nullptr, m_converted.get(), nullptr) == 0 &&
               SDL_SoftStretchLinear(m_converted.get(), nullptr, surface, &to) == 0;
    }

    std::unique_ptr<SDL_Surface, SdlDeleter> m_frame;
    std::unique_ptr<SDL_Surface, SdlDeleter> m_converted;  // the stage in the window's format
    int m_drawnWidth = 0;  // the window surface's size when it was last drawn whole
    int m_drawnHeight = 0;
};

std::unique_ptr<SdlFrameOutput> CreateRendererOutput(SDL_Window* window, StageScaling scaling,
                                                     std::string& error)
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
    SDL_SetTextureScaleMode(texture,
                            scaling == StageScaling::Smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    return std::make_unique<RendererOutput>(window, scaling, renderer, texture);
}

std::unique_ptr<SdlFrameOutput> CreateSurfaceOutput(SDL_Window* window, StageScaling scaling,
                                                    std::string& error)
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
    return std::make_unique<SurfaceOutput>(window, scaling, frame);
}

}  // namespace

StageViewport SdlFrameOutput::Viewport() const
{
    int width = 0, height = 0;
    SDL_GetWindowSizeInPixels(m_window, &width, &height);
    return StageViewport::ForWindow(width, height, m_scaling);
}

std::pair<int, int> SdlFrameOutput::EventToStage(int x, int y) const
{
    const auto [across, down] = WindowPointScales(m_window);
    return Viewport().ToStage(across.ToPixels(x), down.ToPixels(y));
}

std::pair<int, int> SdlFrameOutput::StageToWindow(int x, int y) const
{
    const auto [across, down] = WindowPointScales(m_window);
    const auto [pixelX, pixelY] = Viewport().ToWindow(x, y);
    return {across.ToPoints(pixelX), down.ToPoints(pixelY)};
}

std::unique_ptr<SdlFrameOutput> CreateSdlFrameOutput(SDL_Window* window, RendererChoice choice,
                                                     StageScaling scaling, std::string& error)
{
    if (ResolveRendererChoice(choice) == RendererChoice::Accelerated) {
        auto output = CreateRendererOutput(window, scaling, error);
        // Asked for by name, the renderer is all or nothing; chosen here, the surface
        // stands in for it.
        if (output || choice == RendererChoice::Accelerated) return output;
    }
    return CreateSurfaceOutput(window, scaling, error);
}

}  // namespace kelva
