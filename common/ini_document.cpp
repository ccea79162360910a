#include "common/ini_document.h"

#include "common/text_codec.h"
#include "common/text_lines.h"

namespace qarvel {
namespace {

// Blanks as the profile functions see them around names and values.
QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// Lines are decoded before they are looked at: in GBK the second byte of a
// Chinese character may be "[" or "]", so a byte-level scan could misread them.
IniDocument::Line parseLine(QByteArray raw, QStringView decoded) {
    IniDocument::Line parsed;
    parsed.raw = std::move(raw);
    const QString line = trimBlanks(decoded.toString());
    parsed.blank = line.isEmpty();
    if (line.isEmpty() || line.startsWith(u';')) return parsed;
    if (line.startsWith(u'[')) {
        const qsizetype close = line.indexOf(u']');
        if (close > 0) {
            parsed.kind = IniDocument::Line::Section;
            parsed.name = trimBlanks(line.mid(1, close - 1));
            return parsed;
        }
    }
    parsed.kind = IniDocument::Line::Key;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        parsed.name = line;
        return parsed;
    }
    parsed.name = trimBlanks(line.left(eq));
    QString value = trimBlanks(line.mid(eq + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    parsed.value = value;
    return parsed;
}

IniDocument::Line parseLine(QByteArray raw) {
    const QString decoded = fromGbk(raw);
    return parseLine(std::move(raw), decoded);
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool hasLineBreak(const QString& text) { return text.contains(u'\r') || text.contains(u'\n'); }

// The longest prefix whose GBK form fits in maxBytes, never ending inside a
// character (a surrogate pair counts as one character).
QString cutToGbkBytes(const QString& text, qsizetype maxBytes) {
    if (toGbk(text).size() <= maxBytes) return text;
    qsizetype used = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype len =
            (text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()) ? 2 : 1;
        const qsizetype bytes = toGbk(text.mid(pos, len)).size();
        if (used + bytes > maxBytes) break;
        used += bytes;
        pos += len;
    }
    return text.left(pos);
}

}  // namespace

IniDocument::IniDocument(const QByteArray& bytes) {
    // One decoding of the whole file, cut at the same places as the bytes: in
    // GBK no byte of a character is LF or CR, and each of them decodes to itself.
    const QList<QByteArray> raw = splitTextLines(bytes);
    const QString text = fromGbk(bytes);
    lines_.reserve(raw.size());
    qsizetype start = 0;
    for (const QByteArray& line : raw) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        QStringView decoded = QStringView(text).mid(start, end - start);
        if (decoded.endsWith(u'\r')) decoded.chop(1);
        lines_.append(parseLine(line, decoded));
        start = end + 1;
    }
}

std::optional<qsizetype> IniDocument::findSection(const QString& section) const {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::Section && sameName(line.name, section)) return i;
    }
    return std::nullopt;
}

// Index of the first line after the section that starts at headerLine.
qsizetype IniDocument::sectionEnd(qsizetype headerLine) const {
    qsizetype i = headerLine + 1;
    while (i < lines_.size() && lines_[i].kind != Line::Section) ++i;
    return i;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const QString wantedKey = trimBlanks(key);
    if (wantedKey.isEmpty()) return std::nullopt;
    const auto header = findSection(trimBlanks(section));
    if (!header) return std::nullopt;
    const qsizetype end = sectionEnd(*header);
    for (qsizetype i = *header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::Key && sameName(line.name, wantedKey)) return line.value;
    }
    return std::nullopt;
}

QString IniDocument::readString(const QString& section, const QString& key, const QString& defaultText) const {
    const std::optional<QString> stored = value(section, key);
    return cutToGbkBytes(stored ? *stored : trimBlanks(defaultText), kValueBufferSize - 1);
}

bool IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    const QString text = trimBlanks(value);
    if (sectionName.isEmpty() || keyName.isEmpty()) return false;
    if (hasLineBreak(sectionName) || hasLineBreak(keyName) || hasLineBreak(text)) return false;
    if (sectionName.contains(u']') || keyName.contains(u'=')) return false;
    // A key that looks like a section header or a comment would not read back.
    if (keyName.startsWith(u'[') || keyName.startsWith(u';')) return false;

    const auto header = findSection(sectionName);
    if (!header) {
        lines_.append(parseLine(toGbk(u'[' + sectionName + u']')));
        lines_.append(parseLine(toGbk(keyName + u'=' + text)));
        return true;
    }
    const qsizetype end = sectionEnd(*header);
    qsizetype lastFilled = *header;
    for (qsizetype i = *header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::Key && sameName(line.name, keyName)) {
            lines_[i] = parseLine(toGbk(line.name + u'=' + text));
            return true;
        }
        if (!line.blank) lastFilled = i;
    }
    lines_.insert(lastFilled + 1, parseLine(toGbk(keyName + u'=' + text)));
    return true;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

}  // namespace qarvel
