#include "app/FileListModel.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

unsigned char foldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

int compareFolded(std::string_view a, std::string_view b) {
    const QString foldedA = QString::fromUtf8(a.data(), qsizetype(a.size())).toCaseFolded();
    const QString foldedB = QString::fromUtf8(b.data(), qsizetype(b.size())).toCaseFolded();
    return QStringView(foldedA).compare(QStringView(foldedB));
}

// Plain ASCII is folded byte by byte; from the first non-ASCII byte on, the rest of both names
// is compared by Unicode case folding.
int compareWithoutCase(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if ((ca | cb) & 0x80)
            return compareFolded(a.substr(i), b.substr(i));
        const unsigned char fa = foldAscii(ca), fb = foldAscii(cb);
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return 0;
}

} // namespace

bool nameBefore(std::string_view a, std::string_view b) {
    const int folded = compareWithoutCase(a, b);
    return folded != 0 ? folded < 0 : a < b;
}

SortedNames::Ref SortedNames::store(std::string_view name) {
    const Ref ref{std::uint32_t(m_bytes.size()), std::uint32_t(name.size())};
    m_bytes.append(name);
    m_liveBytes += name.size();
    return ref;
}

void SortedNames::append(std::string_view name) {
    m_refs.push_back(store(name));
}

void SortedNames::sort() {
    std::sort(m_refs.begin(), m_refs.end(),
              [this](Ref a, Ref b) { return nameBefore(view(a), view(b)); });
}

std::string_view SortedNames::at(qint64 row) const {
    return view(m_refs[size_t(row)]);
}

qint64 SortedNames::find(std::string_view name, bool& listed) const {
    const auto it =
        std::lower_bound(m_refs.begin(), m_refs.end(), name, [this](Ref ref, std::string_view key) {
            return nameBefore(view(ref), key);
        });
    listed = it != m_refs.end() && view(*it) == name;
    return qint64(it - m_refs.begin());
}

void SortedNames::insertAt(qint64 row, std::string_view name) {
    const Ref ref = store(name);
    m_refs.insert(m_refs.begin() + row, ref);
}

void SortedNames::eraseAt(qint64 row) {
    m_liveBytes -= m_refs[size_t(row)].length;
    m_refs.erase(m_refs.begin() + row);
    // Removed names leave their bytes behind; a list that keeps changing packs them now and then.
    if (m_bytes.size() > 4096 && m_bytes.size() > 2 * m_liveBytes)
        compact();
}

void SortedNames::compact() {
    std::string packed;
    packed.reserve(m_liveBytes);
    for (Ref& ref : m_refs) {
        const std::string_view name = view(ref);
        ref.offset = std::uint32_t(packed.size());
        packed.append(name);
    }
    m_bytes = std::move(packed);
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return int(std::min<qint64>(m_names.size(), std::numeric_limits<int>::max()));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return nameAt(index.row());
}

QString FileListModel::nameAt(qint64 row) const {
    const std::string_view name = m_names.at(row);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

void FileListModel::replaceAll(SortedNames names) {
    beginResetModel();
    m_names = std::move(names);
    endResetModel();
}

void FileListModel::setPresent(std::string_view name, bool present) {
    bool listed = false;
    const qint64 row = m_names.find(name, listed);
    if (present && !listed) {
        beginInsertRows({}, int(row), int(row));
        m_names.insertAt(row, name);
        endInsertRows();
    } else if (!present && listed) {
        beginRemoveRows({}, int(row), int(row));
        m_names.eraseAt(row);
        endRemoveRows();
    }
}
