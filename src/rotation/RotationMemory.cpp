#include "rotation/RotationMemory.h"

#include "fs/FileNameCodec.h"
#include "fs/FileSystemObject.h"
#include "fs/StateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <numeric>

namespace {

// The record: this tag with its version, the music folder's length and bytes, the number of
// songs, a checksum of their keys, then the keys in ascending order, all little-endian.
constexpr char Tag[8] = {'Q', 'V', 'X', 'R', 'O', 'T', '0', '1'};

// FNV-1a over 16-bit units: stable across builds and platforms, unlike qHash.
std::uint64_t keyOf(const QString& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const QChar unit : text)
        hash = (hash ^ unit.unicode()) * 1099511628211ull;
    return hash;
}

std::uint64_t checksumOf(const std::vector<std::uint64_t>& keys) {
    std::uint64_t sum = keys.size();
    for (const std::uint64_t key : keys)
        sum = (sum ^ key) * 1099511628211ull + 0x9e3779b97f4a7c15ull;
    return sum;
}

void append64(QByteArray& bytes, std::uint64_t value) {
    const std::uint64_t little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// Reads a number at `at` and moves past it; false when the bytes end first.
bool take64(const QByteArray& bytes, qsizetype& at, std::uint64_t& value) {
    if (bytes.size() - at < qsizetype(sizeof value))
        return false;
    value = qFromLittleEndian<std::uint64_t>(bytes.constData() + at);
    at += sizeof value;
    return true;
}

// The keys the record holds for the music folder; none when it is not a whole, valid record of
// this version for this folder.
std::vector<std::uint64_t> readRecord(const QString& record, const QByteArray& folder) {
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    qsizetype at = sizeof Tag;
    std::uint64_t folderSize = 0, count = 0, checksum = 0;
    if (!bytes.startsWith(QByteArrayView(Tag, sizeof Tag)) || !take64(bytes, at, folderSize) ||
        folderSize != std::uint64_t(folder.size()) ||
        bytes.mid(at, qsizetype(folderSize)) != folder)
        return {};
    at += qsizetype(folderSize);
    // The count is checked against the bytes before anything is made of it.
    if (!take64(bytes, at, count) || !take64(bytes, at, checksum) ||
        (bytes.size() - at) % qsizetype(sizeof(std::uint64_t)) != 0 ||
        count != std::uint64_t(bytes.size() - at) / sizeof(std::uint64_t))
        return {};
    std::vector<std::uint64_t> keys(count);
    for (std::uint64_t& key : keys)
        take64(bytes, at, key);
    if (checksumOf(keys) != checksum ||
        std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<>()) != keys.end())
        return {};
    return keys;
}

} // namespace

RotationMemory::RotationMemory(QString musicFolder) : m_musicFolder(std::move(musicFolder)) {
    const QByteArray folder = encodeFileName(m_musicFolder);
    m_record = userStateFolder() + QStringLiteral("/quavex/rotation/") +
               QString::number(keyOf(m_musicFolder), 16).rightJustified(16, QLatin1Char('0'));
    m_out = readRecord(m_record, folder);
}

void RotationMemory::markOut(const QString& name) {
    m_marks.push_back(keyOf(name));
}

void RotationMemory::fold() {
    if (m_folded == m_marks.size())
        return;
    std::vector<std::uint64_t> added(m_marks.begin() + std::ptrdiff_t(m_folded), m_marks.end());
    std::sort(added.begin(), added.end());
    const auto middle = m_out.insert(m_out.end(), added.begin(), added.end());
    std::inplace_merge(m_out.begin(), middle, m_out.end());
    m_out.erase(std::unique(m_out.begin(), m_out.end()), m_out.end());
    m_folded = m_marks.size();
}

std::vector<QString> RotationMemory::setAsideOut(std::vector<QString>& candidates) {
    fold();
    std::vector<QString> out;
    if (m_out.empty())
        return out;
    // The keys are spread evenly, so their top bits point straight at a run of about one key:
    // one look at the table and one at the keys, where a binary search over a million keys
    // takes some twenty, most of them misses of the cache.
    const int bits = std::min(24, int(std::bit_width(m_out.size())));
    const int shift = 64 - bits;
    std::vector<std::uint32_t> firstOf((std::size_t(1) << bits) + 1, 0);
    for (const std::uint64_t key : m_out)
        ++firstOf[(key >> shift) + 1];
    std::partial_sum(firstOf.begin(), firstOf.end(), firstOf.begin());
    const auto isOut = [&](std::uint64_t key) {
        const std::size_t bucket = key >> shift;
        return std::find(m_out.begin() + firstOf[bucket], m_out.begin() + firstOf[bucket + 1],
                         key) != m_out.begin() + firstOf[bucket + 1];
    };
    // In passes, so that the misses of one name do not wait for those of the name before.
    std::vector<std::uint64_t> keys(candidates.size());
    std::transform(candidates.begin(), candidates.end(), keys.begin(), keyOf);
    std::vector<char> outNow(keys.size());
    std::transform(keys.begin(), keys.end(), outNow.begin(), isOut);
    const auto outCount = std::size_t(std::count(outNow.begin(), outNow.end(), 1));
    out.reserve(outCount);
    std::vector<QString> in;
    in.reserve(candidates.size() - outCount);
    for (std::size_t i = 0; i < candidates.size(); ++i)
        (outNow[i] ? out : in).push_back(std::move(candidates[i]));
    candidates = std::move(in);
    return out;
}

void RotationMemory::beginNewCycle() {
    m_out = m_marks;
    std::sort(m_out.begin(), m_out.end());
    m_out.erase(std::unique(m_out.begin(), m_out.end()), m_out.end());
    m_folded = m_marks.size();
}

std::size_t RotationMemory::outCount() {
    fold();
    return m_out.size();
}

bool RotationMemory::save(FileSystemObject& fso) {
    fold();
    const QByteArray folder = encodeFileName(m_musicFolder);
    QByteArray bytes;
    bytes.reserve(qsizetype(sizeof Tag + 3 * sizeof(std::uint64_t)) + folder.size() +
                  qsizetype(m_out.size() * sizeof(std::uint64_t)));
    bytes.append(Tag, sizeof Tag);
    append64(bytes, std::uint64_t(folder.size()));
    bytes.append(folder);
    append64(bytes, m_out.size());
    append64(bytes, checksumOf(m_out));
    for (const std::uint64_t key : m_out)
        append64(bytes, key);
    // Written beside the record and renamed over it once flushed, so a crash leaves the old
    // record or the new one whole.
    return QDir().mkpath(QFileInfo(m_record).path()) && fso.WriteRecord(m_record, bytes);
}

std::unique_ptr<RotationMemory> openRotationMemory(bool wanted, const QString& musicFolder) {
    if (!wanted)
        return nullptr;
    return std::make_unique<RotationMemory>(musicFolder);
}
