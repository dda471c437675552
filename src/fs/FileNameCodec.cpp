#include "fs/FileNameCodec.h"

namespace {

constexpr char16_t FirstEscape = 0xDC80;
constexpr char16_t LastEscape = 0xDCFF;

bool isEscape(QChar c) {
    return c.unicode() >= FirstEscape && c.unicode() <= LastEscape;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of the bytes, or 0 when there is none:
// no overlong forms, no surrogates, nothing beyond U+10FFFF.
qsizetype validSequenceLength(const unsigned char* at, qsizetype left) {
    const unsigned char lead = at[0];
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || at[1] < low || at[1] > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if (!isContinuation(at[i]))
            return 0;
    return length;
}

// QString::fromUtf8, except that a leading byte-order mark stays in the name: Qt drops it.
QString utf8Text(QByteArrayView bytes) {
    static const QByteArrayView mark("\xef\xbb\xbf");
    QString text;
    while (bytes.startsWith(mark)) {
        text += QChar(QChar::ByteOrderMark);
        bytes = bytes.sliced(mark.size());
    }
    return text + QString::fromUtf8(bytes);
}

} // namespace

QString decodeFileName(QByteArrayView bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    while (at < size) {
        const qsizetype length = validSequenceLength(data + at, size - at);
        if (length == 0)
            break;
        at += length;
    }
    if (at == size)
        return utf8Text(bytes);
    QString name = utf8Text(bytes.first(at));
    while (at < size) {
        const qsizetype start = at;
        qsizetype length = 0;
        while (at < size && (length = validSequenceLength(data + at, size - at)) > 0)
            at += length;
        name += utf8Text(bytes.sliced(start, at - start));
        if (at < size) {
            name += QChar(char16_t(FirstEscape + (data[at] - 0x80)));
            ++at;
        }
    }
    return name;
}

QByteArray encodeFileName(const QString& name) {
    if (!holdsUndecodableBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isUndecodableByteAt(name, i))
            continue;
        bytes += QStringView(name).sliced(start, i - start).toUtf8();
        bytes += char(0x80 + (name[i].unicode() - FirstEscape));
        start = i + 1;
    }
    bytes += QStringView(name).sliced(start).toUtf8();
    return bytes;
}

bool isUndecodableByteAt(const QString& name, qsizetype at) {
    // A low surrogate after a high one is half of a character, not an escaped byte.
    return isEscape(name[at]) && (at == 0 || !name[at - 1].isHighSurrogate());
}

bool holdsUndecodableBytes(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isUndecodableByteAt(name, i))
            return true;
    return false;
}

QString displayedFileName(const QString& name) {
    // As the file list shows names: Qt's own reading of the bytes.
    return holdsUndecodableBytes(name) ? QString::fromUtf8(encodeFileName(name)) : name;
}
