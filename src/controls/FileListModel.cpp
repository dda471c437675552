#include "controls/FileListModel.h"

#include "fs/FileNameCodec.h"

#include <QString>
#include <algorithm>
#include <limits>

namespace {

// A run of digits sorts by its value: a marker that sorts where digits do, the count of
// significant digits (so a longer number sorts later), then the digits without leading zeros.
// The count is one more than the digits, so that it is never 0, the end-of-key byte below.
size_t appendNumber(std::string& key, std::string_view text, size_t start) {
    size_t end = start;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    size_t first = start;
    while (first < end && text[first] == '0')
        ++first;
    key += '0';
    key += static_cast<char>(std::min<size_t>(end - first + 1, 255));
    key.append(text.substr(first, end - first));
    return end;
}

// A letter's base form: case folded, accents and other marks dropped ("Ä" is "a", "ß" is "ss").
void appendBaseLetters(std::string& key, std::string_view text) {
    const QString decomposed = QString::fromUtf8(text.data(), qsizetype(text.size()))
                                   .normalized(QString::NormalizationForm_KD);
    QString base;
    base.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!c.isMark())
            base += c;
    }
    key += base.toCaseFolded().toStdString();
}

} // namespace

std::string sortKey(std::string_view name) {
    std::string key;
    key.reserve(name.size() + 8);
    size_t i = 0;
    while (i < name.size()) {
        const char c = name[i];
        if (c >= '0' && c <= '9') {
            i = appendNumber(key, name, i);
        } else if (static_cast<unsigned char>(c) < 0x80) {
            key += c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
            ++i;
        } else {
            // Letters beyond ASCII up to the next ASCII character, so that a combining mark stays
            // with the letter it belongs to.
            size_t end = i;
            while (end < name.size() && static_cast<unsigned char>(name[end]) >= 0x80)
                ++end;
            appendBaseLetters(key, name.substr(i, end - i));
            i = end;
        }
    }
    return key;
}

SortedNames::Ref SortedNames::store(std::string_view name) {
    const std::string folded = sortKey(name);
    const Ref ref{std::uint32_t(m_bytes.size()), std::uint32_t(name.size()),
                  std::uint32_t(folded.size())};
    m_bytes.append(name);
    m_bytes.append(folded);
    m_liveBytes += name.size() + folded.size();
    return ref;
}

bool SortedNames::before(Ref a, Ref b) const {
    const int byKey = key(a).compare(key(b));
    return byKey != 0 ? byKey < 0 : view(a) < view(b);
}

void SortedNames::append(std::string_view name) {
    m_refs.push_back(store(name));
}

void SortedNames::sort() {
    std::sort(m_refs.begin(), m_refs.end(), [this](Ref a, Ref b) { return before(a, b); });
}

std::string_view SortedNames::at(qint64 row) const {
    return view(m_refs[size_t(row)]);
}

qint64 SortedNames::find(std::string_view name, bool& listed) const {
    const std::string probeKey = sortKey(name);
    const auto it =
        std::lower_bound(m_refs.begin(), m_refs.end(), name, [&](Ref ref, std::string_view) {
            const int byKey = key(ref).compare(probeKey);
            return byKey != 0 ? byKey < 0 : view(ref) < name;
        });
    listed = it != m_refs.end() && view(*it) == name;
    return qint64(it - m_refs.begin());
}

void SortedNames::insertAt(qint64 row, std::string_view name) {
    const Ref ref = store(name);
    m_refs.insert(m_refs.begin() + row, ref);
}

void SortedNames::eraseAt(qint64 row) {
    m_liveBytes -= m_refs[size_t(row)].length + m_refs[size_t(row)].keyLength;
    m_refs.erase(m_refs.begin() + row);
    // Removed names leave their bytes behind; a list that keeps changing packs them now and then.
    if (m_bytes.size() > 4096 && m_bytes.size() > 2 * m_liveBytes)
        compact();
}

void SortedNames::compact() {
    std::string packed;
    packed.reserve(m_liveBytes);
    for (Ref& ref : m_refs) {
        const std::string_view both(m_bytes.data() + ref.offset, ref.length + ref.keyLength);
        ref.offset = std::uint32_t(packed.size());
        packed.append(both);
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
    // Shown with the replacement character for bytes that are not text.
    const std::string_view name = m_names.at(index.row());
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString FileListModel::nameAt(qint64 row) const {
    const std::string_view name = m_names.at(row);
    return decodeFileName(QByteArrayView(name.data(), qsizetype(name.size())));
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
