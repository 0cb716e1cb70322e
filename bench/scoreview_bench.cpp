// The score window on a generated score of 20 staves x 600 measures
// (108,000 notes, beamed eighths and chords, key changes): opening the file
// and drawing the first screen (target under a second), and one scroll step
// redrawn (target under 50 ms). The view is the real ScoreView on Qt's
// offscreen platform, drawn into an image of a 1280 x 800 window; a scroll
// step redraws the whole viewport, more than the window's own scroll does.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <fstream>
#include <string>

#include "bench/scoregenerator.h"
#include "host/app/window/scoreview.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/musicxmlio.h"

namespace {

constexpr int kStaves = 20;
constexpr int kMeasures = 600;

std::string ScorePath()
{
    static const std::string path = [] {
        const std::string file = "/tmp/tonaro-scoreview-bench-" + std::to_string(getpid()) + ".musicxml";
        std::ofstream(file, std::ios::binary) << scoregenerator::GenerateMusicXml(kStaves, kMeasures);
        return file;
    }();
    return path;
}

tonaroengine::Document* Open()
{
    tonaroengine::MusicXmlError error;
    tonaroengine::Document* document = tonaroengine::OpenMusicXml(ScorePath(), &error);
    if (document == nullptr) std::fprintf(stderr, "%s\n", error.Text().c_str());
    return document;
}

void Close(tonaroengine::Document* document)
{
    tonaroengine::ReleaseMusicXmlSource(document);
    tonaroengine::Engine::Instance().CloseDocument(document->Number());
}

void BM_OpenAndDrawFirstScreen(benchmark::State& state)
{
    tonaroapp::ScoreView view;
    view.resize(1280, 800);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        tonaroengine::Document* document = Open();
        if (document == nullptr) {
            state.SkipWithError("the generated score does not open");
            return;
        }
        view.SetDocument(document);
        view.render(&image);
        state.PauseTiming();
        view.SetDocument(nullptr);
        Close(document);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenAndDrawFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine's open alone, for comparison: what the window adds is the
// difference.
void BM_OpenOnly(benchmark::State& state)
{
    for (auto _ : state) {
        tonaroengine::Document* document = Open();
        if (document == nullptr) {
            state.SkipWithError("the generated score does not open");
            return;
        }
        state.PauseTiming();
        Close(document);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ScrollStep(benchmark::State& state)
{
    tonaroengine::Document* document = Open();
    if (document == nullptr) {
        state.SkipWithError("the generated score does not open");
        return;
    }
    tonaroapp::ScoreView view;
    view.resize(1280, 800);
    view.SetDocument(document);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = view.verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->singleStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        view.render(&image);
    }
    view.SetDocument(nullptr);
    Close(document);
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(ScorePath().c_str());
    return 0;
}
