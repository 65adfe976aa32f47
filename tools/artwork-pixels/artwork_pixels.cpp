// Turns a picture into C++ source holding its pixels, ready for the screen: premultiplied 32-bit
// ARGB, as Qt paints them. The splash is shown before anything else at start-up, and decoding its
// PNG there took longer than showing it; built in as pixels it costs a page-in, not a decode.
//
//   artwork_pixels INPUT.png OUTPUT.cpp NAMESPACE
//
// The source defines NAMESPACE::kWidth, kHeight and kPixels (row after row, no padding), which
// "common/artwork_pixels.h" declares. Exit code 1 when the picture cannot be read or written.
#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kPixelsPerLine = 8;

bool WriteSource(const QImage& image, const char* path, const std::string& name,
                 const std::string& origin) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "// Generated from " << origin << " by artwork_pixels; do not edit.\n"
        << "#include \"common/artwork_pixels.h\"\n\n"
        << "namespace " << name << " {\n\n"
        << "extern const int kWidth = " << image.width() << ";\n"
        << "extern const int kHeight = " << image.height() << ";\n"
        << "extern const std::uint32_t kPixels[] = {\n";
    char word[16];
    int column = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            std::snprintf(word, sizeof word, "0x%08xu,", static_cast<unsigned>(line[x]));
            out << (column == 0 ? "    " : " ") << word;
            if (++column == kPixelsPerLine) {
                out << '\n';
                column = 0;
            }
        }
    }
    out << (column == 0 ? "" : "\n") << "};\n\n}  // namespace " << name << '\n';
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.png OUTPUT.cpp NAMESPACE\n",
                     argc > 0 ? argv[0] : "artwork_pixels");
        return 1;
    }
    // Image readers may need the application's library paths; no display is needed.
    QCoreApplication application(argc, argv);
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull()) {
        std::fprintf(stderr, "artwork_pixels: cannot read %s\n", argv[1]);
        return 1;
    }
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!WriteSource(pixels, argv[2], argv[3],
                     std::filesystem::path(argv[1]).filename().string())) {
        std::fprintf(stderr, "artwork_pixels: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
