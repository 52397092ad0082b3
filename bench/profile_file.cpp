// Reading an INI file of the largest size read (ProfileFile::MaxFileSize, 32 MiB) in the shapes
// that cost most per byte, next to the baseline of reading the same bytes, decoding them and
// splitting them into lines. Goal: every shape under 2 s and 1 GiB, within a small factor of
// the baseline (reading is one pass over the lines).
#include "platform/ProfileFile.h"
#include "platform/Text.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <map>

namespace {

enum Shape { ManySections, OneSectionManyKeys, OneNameRepeated, NoKeys, OneLongLine };

// Lines made by line(i) until the limit is reached.
QByteArray fill(const std::function<QByteArray(qint64)>& line) {
    QByteArray bytes;
    bytes.reserve(platform::ProfileFile::MaxFileSize);
    for (qint64 i = 0;; ++i) {
        const QByteArray next = line(i);
        if (bytes.size() + next.size() > platform::ProfileFile::MaxFileSize) break;
        bytes += next;
    }
    return bytes;
}

QByteArray contentOf(Shape shape) {
    switch (shape) {
    case ManySections:
        return fill([](qint64 i) { return "[S" + QByteArray::number(i) + "]\r\nk=v\r\n"; });
    case OneSectionManyKeys:
        return "[Lines]\r\n" +
               fill([](qint64 i) { return QByteArray::number(i) + "=1,2,3,4\r\n"; });
    case OneNameRepeated:
        return fill(
            [](qint64 i) { return "[Lines]\r\n" + QByteArray::number(i % 100) + "=v\r\n"; });
    case NoKeys:
        return fill([](qint64) { return QByteArray("[\r\n;\r\nx\r\n"); });
    case OneLongLine:
        return "[S]\r\nk=" + QByteArray(platform::ProfileFile::MaxFileSize - 16, 'v') + "\r\n";
    }
    return {};
}

// One file per shape, written once for the whole run.
QString fileOf(Shape shape) {
    static QTemporaryDir dir;
    static std::map<Shape, QString> files;
    if (const auto found = files.find(shape); found != files.end()) return found->second;
    const QString path = dir.filePath(QStringLiteral("shape%1.ini").arg(int(shape)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    file.write(contentOf(shape));
    files[shape] = path;
    return path;
}

void setBytes(benchmark::State& state, const QString& path) {
    state.SetBytesProcessed(qint64(state.iterations()) * QFile(path).size());
}

// The baseline: the same bytes read, decoded and split into lines.
void BM_PlainLineSplit(benchmark::State& state) {
    const QString path = fileOf(Shape(state.range(0)));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("cannot read");
        const QString text = platform::decodeText(file.readAll());
        qsizetype lines = 0;
        for (const QStringView line : QStringView(text).tokenize(u'\n')) {
            benchmark::DoNotOptimize(line.data());
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    setBytes(state, path);
}

void BM_ProfileFileRead(benchmark::State& state) {
    const QString path = fileOf(Shape(state.range(0)));
    for (auto _ : state) {
        const platform::ProfileFile file(path);
        benchmark::DoNotOptimize(file.sectionExists(QStringLiteral("Lines")));
    }
    setBytes(state, path);
}

// Reading and then looking every section's first key up, as the annotations are read.
void BM_ProfileFileReadAndLookUp(benchmark::State& state) {
    const QString path = fileOf(Shape(state.range(0)));
    for (auto _ : state) {
        const platform::ProfileFile file(path);
        benchmark::DoNotOptimize(file.readSectionValues(QStringLiteral("Lines")).size());
        benchmark::DoNotOptimize(file.readString(QStringLiteral("S1000"), QStringLiteral("k")));
    }
    setBytes(state, path);
}

void shapes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"shape"});
    for (const Shape shape :
         {ManySections, OneSectionManyKeys, OneNameRepeated, NoKeys, OneLongLine})
        b->Arg(shape);
    b->Unit(benchmark::kMillisecond)->Iterations(3);
}

} // namespace

BENCHMARK(BM_PlainLineSplit)->Apply(shapes);
BENCHMARK(BM_ProfileFileRead)->Apply(shapes);
BENCHMARK(BM_ProfileFileReadAndLookUp)->Apply(shapes);

BENCHMARK_MAIN();
