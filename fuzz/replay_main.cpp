// Stand-in for libFuzzer's driver where the compiler has none: feeds each file named on the
// command line (or each file inside a named folder) to LLVMFuzzerTestOneInput once.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool runFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = f.readAll();
    // A copy of exactly the file's size, so a read past the end is a sanitizer error.
    QByteArray exact(bytes.constData(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(exact.constData()), size_t(exact.size()));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    int files = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1Char('-')))
            continue; // libFuzzer options have no meaning here
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                ok = runFile(it.next()) && ok;
                ++files;
            }
        } else {
            ok = runFile(arg) && ok;
            ++files;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return ok && files > 0 ? 0 : 1;
}
