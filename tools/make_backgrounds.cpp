// Paints the row background pictures the grid templates name, as procedural
// textures (no image comes from elsewhere): soft clouds on sky blue, wood grain
// and granite. Row strips are wide and low: the grid squeezes them into a row.
//   make_backgrounds OUTPUT_FOLDER

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h> // needs size_t and FILE first
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

struct Picture {
    int width, height;
    std::vector<std::uint8_t> rgb; // top-down, 3 bytes a pixel
    Picture(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {}
    void set(int x, int y, Rgb c)
    {
        std::uint8_t *p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        p[0] = static_cast<std::uint8_t>(std::clamp(std::lround(c.r), 0L, 255L));
        p[1] = static_cast<std::uint8_t>(std::clamp(std::lround(c.g), 0L, 255L));
        p[2] = static_cast<std::uint8_t>(std::clamp(std::lround(c.b), 0L, 255L));
    }
};

// Value noise on an integer lattice, wrapping every `period` cells across x so
// that the strips tile side by side without a seam.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_seed(seed) {}

    double at(double x, double y, int period) const
    {
        const double fx = std::floor(x), fy = std::floor(y);
        const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
        const double tx = smooth(x - fx), ty = smooth(y - fy);
        const double a = lattice(ix, iy, period), b = lattice(ix + 1, iy, period);
        const double c = lattice(ix, iy + 1, period), d = lattice(ix + 1, iy + 1, period);
        return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
    }

    // Fractal sum of octaves, 0..1.
    double fbm(double x, double y, int period, int octaves, double gain = 0.5) const
    {
        double sum = 0, amp = 1, norm = 0;
        for (int o = 0; o < octaves; ++o) {
            sum += amp * at(x, y + o * 17.0, period);
            norm += amp;
            amp *= gain;
            x *= 2;
            y *= 2;
            period *= 2;
        }
        return sum / norm;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double lattice(int x, int y, int period) const
    {
        x = ((x % period) + period) % period;
        std::uint32_t h = m_seed ^ (static_cast<std::uint32_t>(x) * 374761393u) ^ (static_cast<std::uint32_t>(y) * 668265263u);
        h = (h ^ (h >> 13)) * 1274126177u;
        h ^= h >> 16;
        return (h & 0xFFFFFF) / double(0xFFFFFF);
    }
    std::uint32_t m_seed;
};

Picture clouds(int w, int h, std::uint32_t seed, Rgb skyTop, Rgb skyBottom, Rgb cloud, double cover)
{
    Picture p(w, h);
    const Noise n(seed);
    const int cells = 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = double(x) / w * cells, v = double(y) / w * cells * 3.0;
            const double f = n.fbm(u, v, cells, 5, 0.55);
            const double amount = std::clamp((f - (1 - cover)) / cover, 0.0, 1.0);
            const Rgb sky = mix(skyTop, skyBottom, double(y) / (h - 1));
            p.set(x, y, mix(sky, cloud, std::pow(amount, 0.8)));
        }
    return p;
}

Picture wood(int w, int h, std::uint32_t seed, Rgb dark, Rgb light, double rings)
{
    Picture p(w, h);
    const Noise n(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = double(x) / w, v = double(y) / h;
            // Grain runs along the strip; the noise bends it into growth rings.
            const double warp = n.fbm(u * 3, v * 0.8, 3, 4) * 1.6 + u * 0.6;
            const double ring = 0.5 + 0.5 * std::sin((v * rings + warp) * 3.14159265 * 2);
            const double fibre = n.fbm(u * 64, v * 24, 64, 2) * 0.35;
            const double t = std::pow(ring, 2.2) * 0.75 + fibre;
            p.set(x, y, mix(light, dark, t));
        }
    return p;
}

Picture stone(int w, int h, std::uint32_t seed, Rgb base, Rgb veins, Rgb fleck, double contrast)
{
    Picture p(w, h);
    const Noise n(seed);
    std::uint32_t rnd = seed * 2654435761u + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = double(x) / w * 16, v = double(y) / w * 16;
            const double cloud = n.fbm(u, v, 16, 5, 0.6);
            Rgb c = mix(base, veins, (cloud - 0.5) * contrast + 0.5);
            // Grains of the granite: a few light and dark specks.
            rnd = rnd * 1664525u + 1013904223u;
            const double speck = (rnd >> 8) / double(1 << 24);
            if (speck < 0.06)
                c = mix(c, fleck, 0.55);
            else if (speck > 0.95)
                c = mix(c, veins, 0.5);
            p.set(x, y, c);
        }
    return p;
}

bool writeBmp(const std::string &path, const Picture &p)
{
    const int stride = (p.width * 3 + 3) & ~3;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride) * p.height;
    const std::uint32_t fileSize = 54 + imageSize;
    std::vector<std::uint8_t> out(fileSize, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = v & 0xFF;
        out[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(p.width));
    put32(22, static_cast<std::uint32_t>(p.height)); // positive: bottom-up rows
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    put32(38, 2835); // 72 dpi
    put32(42, 2835);
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t *src = &p.rgb[static_cast<std::size_t>(p.height - 1 - y) * p.width * 3];
        std::uint8_t *dst = &out[54 + static_cast<std::size_t>(y) * stride];
        for (int x = 0; x < p.width; ++x) {
            dst[x * 3] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3];
        }
    }
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

bool writeJpeg(const std::string &path, const Picture &p)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(p.width);
    cinfo.image_height = static_cast<JDIMENSION>(p.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&p.rgb[static_cast<std::size_t>(cinfo.next_scanline) * p.width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_backgrounds OUTPUT_FOLDER\n");
        return 2;
    }
    std::string out = argv[1];
    if (out.back() != '/')
        out += '/';
    const int w = 384, h = 32;
    const Rgb white{255, 255, 255};
    bool ok = true;
    // Light skies for black text; the third is a deeper blue that carries white text too.
    ok &= writeJpeg(out + "Clouds001.jpg", clouds(w, h, 11, {168, 208, 245}, {196, 226, 252}, white, 0.55));
    ok &= writeBmp(out + "Clouds002.bmp", clouds(w, h, 23, {190, 222, 250}, {214, 236, 253}, white, 0.65));
    ok &= writeBmp(out + "Clouds003.bmp", clouds(w, h, 37, {70, 130, 200}, {100, 158, 220}, {225, 238, 250}, 0.45));
    // Woods dark enough for white text.
    ok &= writeBmp(out + "Wood001.bmp", wood(w, h, 41, {92, 52, 24}, {150, 96, 52}, 2.5));
    ok &= writeBmp(out + "Wood002.bmp", wood(w, h, 53, {78, 36, 20}, {134, 72, 42}, 3.5));
    ok &= writeBmp(out + "Wood003.bmp", wood(w, h, 67, {106, 66, 34}, {168, 118, 70}, 2.0));
    // Two dark granites for white text and a light one for black text.
    ok &= writeBmp(out + "Stone001.bmp", stone(w, h, 71, {96, 96, 100}, {58, 58, 62}, {150, 150, 154}, 1.6));
    ok &= writeBmp(out + "Stone002.bmp", stone(w, h, 83, {112, 108, 104}, {72, 70, 68}, {170, 166, 160}, 1.6));
    ok &= writeBmp(out + "Stone003.bmp", stone(w, h, 97, {206, 206, 208}, {168, 168, 172}, {240, 240, 242}, 1.4));
    if (!ok) {
        std::fprintf(stderr, "make_backgrounds: cannot write into %s\n", out.c_str());
        return 1;
    }
    return 0;
}
