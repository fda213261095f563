// Creates a folder tree like a large application's build output: FOLDERS folders over four
// levels, FILES empty files spread over them, names of mixed case with common extensions.
//
//   qm_gen_file_tree DIR [FILES=200000] [FOLDERS=20000]

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>

namespace {

const char* const kStems[] = {"Core",   "ui",    "Plugin", "lang",   "Render", "data",
                              "Helper", "tools", "Net",    "schema", "Icons",  "readme"};
const char* const kExts[] = {".dll", ".exe", ".ini", ".json", ".png", ".qm", ".txt", ".xml"};

QString Name(QRandomGenerator& rng, int index, bool folder) {
    QString name = QString::fromLatin1(kStems[rng.bounded(12)]) + QString::number(index);
    if (!folder)
        name += QString::fromLatin1(kExts[rng.bounded(8)]);
    return name;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fputs("usage: qm_gen_file_tree DIR [FILES=200000] [FOLDERS=20000]\n", stderr);
        return 2;
    }
    const int files = args.size() > 2 ? args[2].toInt() : 200000;
    const int folderCount = args.size() > 3 ? args[3].toInt() : 20000;
    QRandomGenerator rng(1);

    // Each new folder goes below a random earlier one, at most four levels deep.
    QStringList folders{args[1]};
    QList<int> depth{0};
    while (folders.size() < folderCount + 1) {
        int parent = static_cast<int>(rng.bounded(folders.size()));
        while (depth[parent] >= 4)
            parent = static_cast<int>(rng.bounded(folders.size()));
        folders.append(folders[parent] + u'/' + Name(rng, static_cast<int>(folders.size()), true));
        depth.append(depth[parent] + 1);
    }
    for (const QString& f : folders) {
        if (!QDir().mkpath(f)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(f));
            return 1;
        }
    }
    for (int i = 0; i < files; ++i) {
        QFile file(folders[rng.bounded(folders.size())] + u'/' + Name(rng, i, false));
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
