// The picture side of the preview pane: a camera-sized JPEG loaded and fitted
// into the 165 x 155 box.
#include "../../tests/support/PictureBytes.h"
#include "attachments/core/PictureFit.h"
#include "attachments/core/PictureLoader.h"
#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

using namespace quorvex;

namespace {

class NoMessages final : public MessageService {
public:
    MessageAnswer show(MessageKind, const std::string &, MessageButtons) override { return MessageAnswer::Ok; }
    void showException(const std::string &) override {}
};

void BM_PreviewJpeg12MP(benchmark::State &state)
{
    char tmpl[] = "/tmp/quorvex-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(tmpl) + "/photo.jpg";
    FileSystem::writeFileAtomic(path, test::makeJpeg(4000, 3000, test::JpegHeader::Exif, 90));
    NoMessages messages;
    PictureLoader loader(messages);
    const RasterImage black(5, 5, pixelFromRgb(0, 0, 0));
    RasterImage buffer, box;
    for (auto _ : state) {
        if (loader.LoadImage(buffer, path) != 0 ||
            !PictureFit::GetAspectedImage(buffer, box, black, 165, 155, FitOptions{}, messages)) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(box.pixels.data());
    }
    FileSystem::RemoveFolder(std::string(tmpl) + "/");
}
BENCHMARK(BM_PreviewJpeg12MP)->Unit(benchmark::kMillisecond);

} // namespace
