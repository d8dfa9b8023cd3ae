// Runs a fuzz target's checks on saved inputs in an ordinary build, so that
// the seed corpus and every kept finding stay tests without clang or
// libFuzzer. Arguments are files or folders of inputs; a folder that does not
// exist holds no inputs (the regressions folder appears with the first
// finding). A broken property traps, which fails the test.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

bool replay(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    std::printf("replaying %s (%lld bytes)\n", qPrintable(path),
                static_cast<long long>(bytes.size()));
    std::fflush(stdout);
    // A copy of exactly the input's size, so that ASan sees a read past it.
    const QByteArray exact(bytes.constData(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(exact.constData()),
                           static_cast<std::size_t>(exact.size()));
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    int replayed = 0;
    bool readable = true;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const QFileInfo info(path);
        if (info.isDir()) {
            const QStringList names = QDir(path).entryList(QDir::Files, QDir::Name);
            for (const QString &name : names) {
                readable = replay(QDir(path).filePath(name)) && readable;
                ++replayed;
            }
        } else if (info.exists()) {
            readable = replay(path) && readable;
            ++replayed;
        }
    }
    std::printf("%d input(s) replayed\n", replayed);
    // No input at all means the paths are wrong, not that all is well.
    return replayed > 0 && readable ? 0 : 1;
}
