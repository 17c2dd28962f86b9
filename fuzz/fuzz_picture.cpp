// libFuzzer target: the picture loader's own decoders and its content test.
// The first byte picks the decoder, so each sees inputs shaped for it.
#include "attachments/core/PictureDecoders.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using quorvex::PictureDecoders;
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string ext = PictureDecoders::sniffExtension(bytes.substr(0, PictureDecoders::SniffBytes), ".jpg");
    quorvex::RasterImage picture;
    std::string error;
    if ((data[0] & 1) == 0 || ext == ".gif")
        PictureDecoders::decodeGif(data + 1, size - 1, picture, error);
    else
        PictureDecoders::decodeJpeg(data + 1, size - 1, picture, error);
    return 0;
}
