// The cost of one step of each transition on the full 640 x 480 stage. Every iteration
// runs one whole transition on a virtual clock that moves 10 ms a step; "per_step" is the
// time of one step, which must stay far below the timer interval it runs at.
#include <benchmark/benchmark.h>

#include "core/StagePresenter.h"
#include "core/Transitions.h"
#include "data/CommandStrings.h"
#include "data/Random.h"
#include "graphics/StageImages.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/headless/ReplayStageWindow.h"

namespace kelva {
namespace {

class BenchHost final : public TransitionHost {
public:
    explicit BenchHost(ManualClock& clock) : m_clock(clock) {}
    void Present() override {}
    void PresentRect(const TRect&) override {}
    void SetTimerInterval(int) override {}
    int TextInterval() const override { return 30; }
    int64_t NowMs() override { return m_clock.NowMs(); }

private:
    ManualClock& m_clock;
};

// A host whose presents go through the presenter, as the stage's do.
class PresentingHost final : public TransitionHost {
public:
    PresentingHost(ManualClock& clock, StagePresenter& presenter) : m_clock(clock), m_presenter(presenter) {}
    void Present() override { m_presenter.MarkChanged(); }
    void PresentRect(const TRect& rect) override { m_presenter.MarkChanged(rect); }
    void SetTimerInterval(int) override {}
    int TextInterval() const override { return 30; }
    int64_t NowMs() override { return m_clock.NowMs(); }

private:
    ManualClock& m_clock;
    StagePresenter& m_presenter;
};

void PaintStripes(TNkDIB& image, TColor a, TColor b)
{
    for (int y = 0; y < image.Height(); y += 16) image.FillRect(TRect{0, y, image.Width(), y + 8}, a);
    for (int y = 8; y < image.Height(); y += 16) image.FillRect(TRect{0, y, image.Width(), y + 8}, b);
}

void BM_TransitionStep(benchmark::State& state, const char* effect, const char* param)
{
    ManualClock clock;
    Transcript log(clock, "");
    StageImages stage(nullptr, nullptr);
    PaintStripes(stage.StageImage, MakeColor(200, 40, 40), MakeColor(40, 40, 200));
    BenchHost host(clock);
    MersenneRandom random(1);
    CNovelFileHeader header;
    Transitions transitions(header, stage, host, random, log);
    int64_t steps = 0;
    for (auto _ : state) {
        PaintStripes(stage.ScreenImage, MakeColor(20, 120, 20), MakeColor(240, 240, 240));
        transitions.SetEffect(effect, param, "1000");
        transitions.StartTransition();
        while (transitions.Active()) {
            transitions.StepTransition();
            clock.Advance(10);
            ++steps;
        }
    }
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One BLEND tick as the player runs it: the step, then the presenter composing the
// changed part, comparing it with what is shown and handing it to the window.
void BM_BlendTickWithPresent(benchmark::State& state)
{
    ManualClock clock;
    Transcript log(clock, "");
    StageImages stage(nullptr, nullptr);
    PaintStripes(stage.StageImage, MakeColor(200, 40, 40), MakeColor(40, 40, 200));
    RecordingMessageBox messages(false);
    ReplayStageWindow window(clock, messages, {}, "");
    StagePresenter presenter(window, clock, stage.ScreenImage);
    PresentingHost host(clock, presenter);
    MersenneRandom random(1);
    CNovelFileHeader header;
    Transitions transitions(header, stage, host, random, log);
    presenter.Start();
    int64_t steps = 0;
    for (auto _ : state) {
        PaintStripes(stage.ScreenImage, MakeColor(20, 120, 20), MakeColor(240, 240, 240));
        presenter.MarkChanged();
        presenter.Flush(true);
        transitions.SetEffect("BLEND", "1", "1000");
        transitions.StartTransition();
        while (transitions.Active()) {
            transitions.StepTransition();
            presenter.Flush(true);
            clock.Advance(10);
            ++steps;
        }
    }
    state.counters["per_step"] = benchmark::Counter(
        static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BlendTickWithPresent)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

BENCHMARK_CAPTURE(BM_TransitionStep, none, "NONE", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, blind, "BLIND", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, blind_vertical, "BLIND", "2")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, shutter, "SHUTTER", "3")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, blend, "BLEND", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, puzzle, "PUZZLE", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, rotating_shutter, "R-SUTTER", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, camera, "CAMERA", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, wind, "WIND", "1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TransitionStep, crossline, "CROSSLINE", "1")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelva
