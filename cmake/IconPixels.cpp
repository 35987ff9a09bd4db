// Build helper: writes a PNG picture's pixels as they lie in memory, 32-bit
// premultiplied ARGB (QImage::Format_ARGB32_Premultiplied), row after row,
// without a header. The program makes its icon of them at start-up without
// an image reader, which would load every image plug-in installed first.
//
//   wordlark_icon_pixels <picture.png> <pixels file>
#include <QFile>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <picture.png> <pixels file>\n", argv[0]);
        return 2;
    }
    QImage picture(QString::fromLocal8Bit(argv[1]), "PNG");
    if (picture.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    const qsizetype rowBytes = qsizetype(picture.width()) * 4;
    for (int y = 0; y < picture.height(); ++y)
        if (out.write(reinterpret_cast<const char*>(picture.constScanLine(y)), rowBytes) !=
            rowBytes) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
            return 1;
        }
    return out.flush() ? 0 : 1;
}
