// Writes small encoder-made GIF files into the folder given: the seed corpus's share of
// pictures that exercise interlacing, local tables, transparency, comments and a full LZW table.

#include "SyntheticChart.h"
#include "gif/GIFEncoder.h"

#include <QDir>

#include <cstdio>
#include <random>

namespace {

gif::ColourTable greyTable(int size) {
    gif::ColourTable t;
    for (int i = 0; i < size; ++i)
        t.append(qRgb(i, i, i));
    return t;
}

gif::EncoderFrame frame(int left, int top, int w, int h, int colours, std::mt19937& rng) {
    gif::EncoderFrame f;
    f.left = left;
    f.top = top;
    f.width = w;
    f.height = h;
    f.indices.resize(std::size_t(w) * h);
    for (auto& v : f.indices)
        v = static_cast<std::uint8_t>(rng() % 4 ? 0 : rng() % colours);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    std::mt19937 rng(1);
    std::vector<std::pair<const char*, gif::EncoderInput>> seeds;

    seeds.emplace_back("enc-chart-80x60.gif", gif::makeChartLikeInput(80, 60));
    seeds.emplace_back("enc-noise-70x70.gif", gif::makeNoisyInput(70, 70, 3));
    {
        gif::EncoderInput in = gif::makeChartLikeInput(33, 17);
        in.frames[0].interlaced = true;
        in.commentPlacement = gif::CommentPlacement::AfterLastImage;
        in.comments.push_back(QByteArray(255, 'a') + QByteArray(45, 'b'));
        in.writeTrailer = false;
        seeds.emplace_back("enc-interlaced-comment-after.gif", in);
    }
    {
        gif::EncoderInput in;
        in.screenWidth = 20;
        in.screenHeight = 12;
        in.globalTable = greyTable(4);
        in.frames.push_back(frame(0, 0, 20, 12, 4, rng));
        gif::EncoderFrame f = frame(3, 2, 9, 9, 16, rng);
        f.localTable = greyTable(16);
        f.transparentIndex = 5;
        f.interlaced = true;
        f.comments.push_back("second frame");
        in.frames.push_back(f);
        gif::EncoderFrame g = frame(15, 8, 9, 9, 2, rng);
        g.transparentIndex = 1;
        g.delay = 20;
        in.frames.push_back(g);
        seeds.emplace_back("enc-frames-local-transparent.gif", in);
    }
    {
        gif::EncoderInput in;
        in.screenWidth = 9;
        in.screenHeight = 7;
        gif::EncoderFrame f = frame(1, 1, 5, 4, 2, rng);
        f.localTable = greyTable(2);
        f.transparentIndex = 0;
        in.frames.push_back(f);
        seeds.emplace_back("enc-small-frame-local-only.gif", in);
    }
    {
        gif::EncoderInput in;
        in.screenWidth = 4;
        in.screenHeight = 4;
        in.frames.push_back(frame(0, 0, 4, 4, 3, rng));
        seeds.emplace_back("enc-no-colour-table.gif", in);
    }

    int written = 0;
    for (const auto& [name, input] : seeds) {
        QString error;
        if (!gif::writeGifFile(dir.filePath(QLatin1String(name)), input, &error)) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
            return 1;
        }
        ++written;
    }
    std::printf("%d encoder seeds written to %s\n", written, argv[1]);
    return 0;
}
