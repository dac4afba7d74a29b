#include "records/TemplateListsModel.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "records/TemplateBinary.h"

#include <QFile>

#include <algorithm>

namespace {

const char kFolder[] = "templates";
const char kModesFile[] = "ModesVisibility";

// No template file comes near this; a bigger one is not the key's and is not read whole.
constexpr qint64 kMaxFileBytes = 64 * 1024;

bool isTemplatesFolder(const QString &folder)
{
    QString f = folder;
    while (f.startsWith(QLatin1Char('/')))
        f.remove(0, 1);
    return f == QLatin1String(kFolder);
}

template <typename Entry, size_t N>
void copyEntries(std::array<Entry, N> &to, const std::array<Entry, N> &from, const QVector<int> &indexes,
                 QVector<int> *done)
{
    for (int i : indexes) {
        if (i < 0 || i >= int(N) || done->contains(i))
            continue;
        to[size_t(i)] = from[size_t(i)];
        done->append(i);
    }
    std::sort(done->begin(), done->end());
}

QVector<int> allIndexes(int n)
{
    QVector<int> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = i;
    return v;
}

} // namespace

TemplateListsModel::TemplateListsModel(QObject *parent)
    : QObject(parent)
{
}

int TemplateListsModel::count(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Fio:
        return FioTemplate::Count;
    case TemplateKind::Wheel:
        return WheelTemplate::Count;
    case TemplateKind::Uzel:
        return UzelTemplate::Count;
    }
    return 0;
}

bool TemplateListsModel::isEnabled(TemplateKind kind, int index) const
{
    if (index < 0 || index >= count(kind))
        return false;
    switch (kind) {
    case TemplateKind::Fio:
        return m_lists.fio[size_t(index)].enabled;
    case TemplateKind::Wheel:
        return m_lists.wheel[size_t(index)].enabled;
    case TemplateKind::Uzel:
        return m_lists.uzel[size_t(index)].enabled;
    }
    return false;
}

void TemplateListsModel::setLists(const TemplateLists &lists)
{
    m_lists = lists;
    for (TemplateKind k : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel})
        emit entriesChanged(int(k), allIndexes(count(k)));
    emit changed();
}

void TemplateListsModel::setEntries(TemplateKind kind, const TemplateLists &from, const QVector<int> &indexes)
{
    QVector<int> done;
    switch (kind) {
    case TemplateKind::Fio:
        copyEntries(m_lists.fio, from.fio, indexes, &done);
        break;
    case TemplateKind::Wheel:
        copyEntries(m_lists.wheel, from.wheel, indexes, &done);
        break;
    case TemplateKind::Uzel:
        copyEntries(m_lists.uzel, from.uzel, indexes, &done);
        break;
    }
    if (done.isEmpty())
        return;
    emit entriesChanged(int(kind), done);
    emit changed();
}

void TemplateListsModel::setList(TemplateKind kind, const TemplateLists &from)
{
    setEntries(kind, from, allIndexes(count(kind)));
}

void TemplateListsModel::setKeyMode(int mode)
{
    if (mode == m_keyMode)
        return;
    m_keyMode = mode;
    emit modesChanged();
}

void TemplateListsModel::setModes(const ModesVisibility &modes)
{
    m_modes = modes;
    emit modesChanged();
}

bool TemplateListsModel::loadFile(const QString &dir, const QString &fileName)
{
    TemplateKind kind = TemplateKind::Fio;
    bool isList = false;
    for (TemplateKind k : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        if (fileName == QLatin1String(TemplateBinary::fileName(k))) {
            kind = k;
            isList = true;
        }
    }
    if (!isList && fileName != QLatin1String(kModesFile))
        return false;

    QFile file(dir + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        td::log(QStringLiteral("Templates: cannot open %1: %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    const QByteArray bytes = file.read(kMaxFileBytes);

    if (!isList) {
        ModesVisibility modes;
        if (!modes.load(bytes)) {
            td::log(QStringLiteral("Templates: %1 holds %2 bytes, too short for its tables; kept the old ones")
                        .arg(fileName)
                        .arg(bytes.size()));
            return false;
        }
        setModes(modes);
        return true;
    }

    // Entries go where their own index byte says, so apply into a copy and take only those.
    TemplateLists incoming = m_lists;
    const TemplateBinary::ApplyResult r = TemplateBinary::apply(kind, bytes, &incoming);
    if (!r.problem.isEmpty())
        td::log(QStringLiteral("Templates: ") + r.problem);
    setEntries(kind, incoming, r.applied);
    return true;
}

int TemplateListsModel::loadFolder(const QString &dir)
{
    int loaded = 0;
    // The table first, so listeners that rebuild on changed() already offer the right algorithms.
    if (loadFile(dir, QLatin1String(kModesFile)))
        ++loaded;
    for (TemplateKind k : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        if (loadFile(dir, QLatin1String(TemplateBinary::fileName(k))))
            ++loaded;
    }
    return loaded;
}

void TemplateListsModel::reset()
{
    m_modes.reset();
    m_keyMode = 0;
    emit modesChanged();
    setLists(TemplateLists());
}

void TemplateListsModel::slot_files_got_dir(const QString &folder)
{
    if (!isTemplatesFolder(folder))
        return;
    const int n = loadFolder(Paths::downloadDir(QLatin1String(kFolder)));
    td::log(QStringLiteral("Templates: %1 of 4 template files read from the key").arg(n));
    emit receivedFromKey();
}

void TemplateListsModel::slot_files_got_file(const QStringList &folderAndFile)
{
    if (folderAndFile.size() != 2 || !isTemplatesFolder(folderAndFile.at(0)))
        return;
    if (!Paths::isSafeName(folderAndFile.at(1)))
        return;
    loadFile(Paths::downloadDir(QLatin1String(kFolder)), folderAndFile.at(1));
}
